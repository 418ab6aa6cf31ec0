// The program's working directory in the browser's storage: a folder per
// page kept in IndexedDB (emscripten's IDBFS), mounted and read before the
// program starts, and written back after every change to a file in it, so
// that KIVET.SCR survives a reload. The page's buttons download the script
// file and put a file from the user's disk in its place.
//
// A page whose address names a script (airfield.html?script=check.scr, a
// file beside the page) works in a folder in memory instead, whose KIVET.SCR
// is that file, fetched before the program starts: the run plays it as a
// headless run does, and the page's own stored KIVET.SCR is not touched.

mergeInto(LibraryManager.library, {
  $KivetStorage__deps: ['$FS', '$IDBFS'],
  $KivetStorage__postset: 'KivetStorage.install();',
  $KivetStorage: {
    SCRIPT: 'KIVET.SCR',
    directory: '',
    syncing: false,
    again: false,

    scriptName: null,      // the script of the page's address, or null

    install: function() {
      KivetStorage.scriptName = KivetStorage.scriptOfAddress();
      addOnPreRun(KivetStorage.scriptName === null ? KivetStorage.mount : KivetStorage.fetchScript);
      if (typeof document == 'undefined') return;
      if (document.readyState == 'loading') {
        document.addEventListener('DOMContentLoaded', KivetStorage.setUpButtons);
      } else {
        KivetStorage.setUpButtons();
      }
    },

    // The page's name (airfield for airfield.html) names its folder.
    folderName: function() {
      var path = (typeof location != 'undefined' && location.pathname) || '';
      var name = path.substring(path.lastIndexOf('/') + 1).replace(/\.html?$/i, '');
      return name.replace(/[^A-Za-z0-9_.-]/g, '_') || 'program';
    },

    // ?script=NAME, a file beside the page or in a folder below it; null
    // when the address names none. Other addresses (another site, a folder
    // above the page's) are not fetched: the name is kept, and the run has
    // no script.
    scriptOfAddress: function() {
      if (typeof location == 'undefined' || typeof URLSearchParams == 'undefined') return null;
      var name = new URLSearchParams(location.search).get('script');
      return name === null ? null : name;
    },

    scriptAllowed: function(name) {
      return /^[^\/\\:?#]/.test(name) && !/(^|[\/\\])\.\.([\/\\]|$)/.test(name) &&
             name.indexOf(':') < 0 && name.indexOf('\\') < 0;
    },

    fetchScript: function() {
      var name = KivetStorage.scriptName;
      var directory = '/kivet-script';
      KivetStorage.directory = directory;
      FS.mkdirTree(directory);
      FS.chdir(directory);
      if (!KivetStorage.scriptAllowed(name)) {
        KivetStorage.note('The script "' + name + '" is not a file beside the page: nothing is played.');
        return;
      }
      addRunDependency('kivet-script');
      fetch(name, {cache: 'no-store'}).then(function(response) {
        if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
        return response.arrayBuffer();
      }).then(function(buffer) {
        FS.writeFile(directory + '/' + KivetStorage.SCRIPT, new Uint8Array(buffer));
        KivetStorage.note('Playing "' + name + '" from its start.');
      }, function(error) {
        KivetStorage.note('The script "' + name + '" could not be loaded (' + error.message + ').');
      }).finally(function() {
        removeRunDependency('kivet-script');
      });
    },

    mount: function() {
      var directory = '/kivet/' + KivetStorage.folderName();
      KivetStorage.directory = directory;
      FS.mkdirTree(directory);
      FS.mount(IDBFS, {}, directory);
      FS.chdir(directory);
      addRunDependency('kivet-storage');
      FS.syncfs(true, function(error) {
        if (error) {
          KivetStorage.note('The browser keeps no files for this page: KIVET.SCR lasts until the page is closed.');
        } else {
          // Only now: what the reading itself writes must not be written back.
          KivetStorage.watchChanges();
        }
        removeRunDependency('kivet-storage');
      });
    },

    inFolder: function(path) {
      return typeof path == 'string' && path.indexOf(KivetStorage.directory + '/') == 0;
    },

    // Every write, truncation, closing, removal or renaming in the folder is
    // written back to the browser's storage.
    watchChanges: function() {
      var watch = function(name, pathOf) {
        var original = FS[name];
        FS[name] = function() {
          var result = original.apply(FS, arguments);
          if (KivetStorage.inFolder(pathOf(arguments))) KivetStorage.save();
          return result;
        };
      };
      var streamPath = function(args) { return args[0] && args[0].path; };
      var nodePath = function(args) {
        return typeof args[0] == 'string' ? FS.lookupPath(args[0]).path : FS.getPath(args[0]);
      };
      var firstPath = function(args) {
        return typeof args[0] == 'string' ? FS.lookupPath(args[0], {parent: true}).path + '/' : '';
      };
      watch('write', streamPath);
      watch('close', streamPath);
      watch('truncate', nodePath);
      watch('unlink', firstPath);
      watch('rename', firstPath);
    },

    save: function() {
      if (KivetStorage.syncing) {
        KivetStorage.again = true;
        return;
      }
      KivetStorage.syncing = true;
      document.documentElement.setAttribute('data-kivet-saving', 'yes');
      FS.syncfs(false, function(error) {
        KivetStorage.syncing = false;
        if (error) KivetStorage.note('The browser did not keep the last change to KIVET.SCR (its storage may be full).');
        if (KivetStorage.again) {
          KivetStorage.again = false;
          KivetStorage.save();
          return;
        }
        document.documentElement.removeAttribute('data-kivet-saving');
      });
    },

    scriptPath: function() { return KivetStorage.directory + '/' + KivetStorage.SCRIPT; },

    // Whether the program has the script file open (recording or playing).
    scriptInUse: function() {
      var path = KivetStorage.scriptPath();
      return FS.streams.some(function(stream) { return stream && stream.path == path; });
    },

    note: function(text) {
      var note = document.getElementById('kivet-note');
      if (note) note.textContent = text;
    },

    download: function() {
      var bytes;
      try {
        bytes = FS.readFile(KivetStorage.scriptPath());
      } catch (e) {
        KivetStorage.note('There is no KIVET.SCR yet: record one with Run > Record Script (Ctrl+R).');
        return;
      }
      var link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([bytes], {type: 'text/plain'}));
      link.download = KivetStorage.SCRIPT;
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(function() { URL.revokeObjectURL(link.href); }, 1000);
      KivetStorage.note('');
    },

    open: function(file) {
      if (KivetStorage.scriptInUse()) {
        KivetStorage.note('KIVET.SCR is being recorded or played: stop that first, then open the file again.');
        return;
      }
      file.arrayBuffer().then(function(buffer) {
        FS.writeFile(KivetStorage.scriptPath(), new Uint8Array(buffer));
        KivetStorage.note('"' + file.name + '" is now KIVET.SCR: play it with Run > Playback Script (Ctrl+P).');
      });
    },

    setUpButtons: function() {
      var download = document.getElementById('kivet-download');
      var open = document.getElementById('kivet-open');
      var chooser = document.getElementById('kivet-open-file');
      if (download) download.addEventListener('click', KivetStorage.download);
      if (open && chooser) {
        open.addEventListener('click', function() { chooser.click(); });
        chooser.addEventListener('change', function() {
          if (chooser.files && chooser.files[0]) KivetStorage.open(chooser.files[0]);
          chooser.value = '';
        });
      }
    },
  },

  kivet_page_plays_script__deps: ['$KivetStorage'],
  kivet_page_plays_script: function() { return KivetStorage.scriptName === null ? 0 : 1; },
});

// The page's menu bar: one drop-down menu with check marks, grayed lines,
// separators, shortcuts shown at the right and letters that choose entries
// ('&' marks them in the texts). Chosen by the pointer, or from the keyboard
// (Alt with the title's letter or F10 to open, arrows and Enter, or an
// entry's letter). A choice reaches the program as a command.

mergeInto(LibraryManager.library, {
  $KivetMenu: {
    title: null,     // the menu bar's button
    list: null,      // the drop-down
    entries: [],     // {command, element, letter, grayed, checkable}
    titleLetter: '',
    highlighted: -1,
    disabled: false,

    // Splits "&Halt animation\tCtrl+H" into its label, with the marked
    // letter underlined, and the shortcut.
    fill: function(element, text) {
      var tab = text.indexOf('\t');
      var label = tab < 0 ? text : text.substring(0, tab);
      var letter = '';
      element.textContent = '';
      var plain = '';
      var flush = function() {
        if (plain) element.appendChild(document.createTextNode(plain));
        plain = '';
      };
      for (var i = 0; i < label.length; i++) {
        var c = label[i];
        if (c == '&' && label[i + 1] == '&') {
          plain += '&';
          i++;
        } else if (c == '&' && i + 1 < label.length && !letter) {
          flush();
          letter = label[i + 1];
          var u = document.createElement('u');
          u.textContent = letter;
          element.appendChild(u);
          i++;
        } else {
          plain += c;
        }
      }
      flush();
      return {letter: letter.toUpperCase(), shortcut: tab < 0 ? '' : text.substring(tab + 1)};
    },

    begin: function(title) {
      var bar = KivetPage.element('kivet-menubar');
      bar.textContent = '';
      var button = document.createElement('button');
      button.id = 'kivet-menu-title';
      button.type = 'button';
      button.setAttribute('aria-haspopup', 'menu');
      button.setAttribute('aria-expanded', 'false');
      button.tabIndex = -1;
      KivetMenu.titleLetter = KivetMenu.fill(button, title).letter;
      button.addEventListener('mousedown', function(e) {
        e.preventDefault();
        if (KivetMenu.isOpen()) KivetMenu.close(); else KivetMenu.open(false);
      });
      var list = document.createElement('div');
      list.id = 'kivet-menu';
      list.setAttribute('role', 'menu');
      list.hidden = true;
      bar.appendChild(button);
      bar.appendChild(list);
      KivetMenu.title = button;
      KivetMenu.list = list;
      KivetMenu.entries = [];
      KivetMenu.disabled = false;
      document.addEventListener('mousedown', KivetMenu.onOutside, true);
    },

    add: function(command, text, separator, grayed, checkable, checked) {
      var item = document.createElement('div');
      if (separator) {
        item.setAttribute('role', 'separator');
        item.className = 'kivet-separator';
        KivetMenu.list.appendChild(item);
        return;
      }
      item.setAttribute('role', checkable ? 'menuitemcheckbox' : 'menuitem');
      item.className = 'kivet-entry';
      var mark = document.createElement('span');
      mark.className = 'kivet-mark';
      var label = document.createElement('span');
      label.className = 'kivet-label';
      var parts = KivetMenu.fill(label, text);
      var shortcut = document.createElement('span');
      shortcut.className = 'kivet-shortcut';
      shortcut.textContent = parts.shortcut;
      item.appendChild(mark);
      item.appendChild(label);
      item.appendChild(shortcut);
      var entry = {command: command, element: item, letter: parts.letter, grayed: !!grayed,
                   checkable: !!checkable};
      if (grayed) item.setAttribute('aria-disabled', 'true');
      item.setAttribute('data-command', command);
      var index = KivetMenu.entries.length;
      item.addEventListener('mouseenter', function() { KivetMenu.highlight(index); });
      item.addEventListener('mouseup', function(e) {
        e.preventDefault();
        KivetMenu.choose(index);
      });
      KivetMenu.entries.push(entry);
      KivetMenu.list.appendChild(item);
      KivetMenu.check(command, checked);
    },

    check: function(command, checked) {
      KivetMenu.entries.forEach(function(entry) {
        if (entry.command != command || !entry.checkable) return;
        entry.element.setAttribute('aria-checked', checked ? 'true' : 'false');
        entry.element.firstChild.textContent = checked ? '\u2713' : '';
      });
    },

    isOpen: function() { return !!KivetMenu.list && !KivetMenu.list.hidden; },

    open: function(fromKeyboard) {
      if (!KivetMenu.list || KivetMenu.disabled || KivetDialog.isOpen) return;
      KivetMenu.list.hidden = false;
      KivetMenu.title.setAttribute('aria-expanded', 'true');
      KivetMenu.highlight(fromKeyboard ? KivetMenu.next(-1, 1) : -1);
    },

    close: function() {
      if (!KivetMenu.isOpen()) return;
      KivetMenu.list.hidden = true;
      KivetMenu.title.setAttribute('aria-expanded', 'false');
      KivetMenu.highlight(-1);
    },

    disable: function() {
      KivetMenu.disabled = true;
      KivetMenu.entries.forEach(function(entry) {
        entry.grayed = true;
        entry.element.setAttribute('aria-disabled', 'true');
      });
    },

    highlight: function(index) {
      KivetMenu.entries.forEach(function(entry, i) {
        entry.element.classList.toggle('kivet-highlighted', i == index && !entry.grayed);
      });
      KivetMenu.highlighted = index;
    },

    // The next entry that can be chosen from `index` in `step`'s direction.
    next: function(index, step) {
      var count = KivetMenu.entries.length;
      for (var n = 0; n < count; n++) {
        index = (index + step + count) % count;
        if (!KivetMenu.entries[index].grayed) return index;
      }
      return -1;
    },

    choose: function(index) {
      var entry = KivetMenu.entries[index];
      if (!entry || entry.grayed) return;
      KivetMenu.close();
      KivetPage.push([KivetPage.COMMAND, entry.command, 0, 0]);
    },

    isMnemonic: function(e) {
      return !!KivetMenu.titleLetter && (e.key || '').toUpperCase() == KivetMenu.titleLetter;
    },

    onOutside: function(e) {
      if (!KivetMenu.isOpen()) return;
      if (KivetMenu.list.contains(e.target) || KivetMenu.title.contains(e.target)) return;
      KivetMenu.close();
    },

    // Keys while the menu is open; returns whether the key was the menu's.
    onKey: function(e) {
      if (!KivetMenu.isOpen()) return false;
      e.preventDefault();
      var key = e.key || '';
      if (key == 'ArrowDown' || key == 'ArrowUp') {
        KivetMenu.highlight(KivetMenu.next(KivetMenu.highlighted, key == 'ArrowDown' ? 1 : -1));
      } else if (key == 'Enter' || key == ' ') {
        KivetMenu.choose(KivetMenu.highlighted);
      } else if (key == 'Escape' || key == 'F10' || key == 'Tab' || (e.altKey && key != 'Alt')) {
        KivetMenu.close();
      } else if (key.length == 1) {
        var letter = key.toUpperCase();
        for (var i = 0; i < KivetMenu.entries.length; i++) {
          if (KivetMenu.entries[i].letter == letter && !KivetMenu.entries[i].grayed) {
            KivetMenu.choose(i);
            break;
          }
        }
      }
      return true;
    },
  },

  kivet_page_menu_begin__deps: ['$KivetMenu'],
  kivet_page_menu_begin: function(title) { KivetMenu.begin(UTF8ToString(title)); },

  kivet_page_menu_add__deps: ['$KivetMenu'],
  kivet_page_menu_add: function(command, text, separator, grayed, checkable, checked) {
    KivetMenu.add(command, UTF8ToString(text), separator, grayed, checkable, checked);
  },

  kivet_page_menu_check__deps: ['$KivetMenu'],
  kivet_page_menu_check: function(command, checked) { KivetMenu.check(command, checked); },
});

// The modal dialog of KIVET_gets over the page: its title, the prompt (a
// newline breaks its line, a tab moves on), a box for the answer and the
// default button. Okay or Enter reach the program as OKAY, Escape as
// CANCEL (page.h's KIVET_PAGE_DIALOG_*), which the library ignores: only
// the program ends the dialog.

mergeInto(LibraryManager.library, {
  $KivetDialog: {
    // What the user chose, as page.h names it.
    OKAY: 1, CANCEL: 2,
    isOpen: false,
    element: function(id) { return document.getElementById(id); },

    setUp: function() {
      var dialog = KivetDialog.element('kivet-dialog');
      var edit = KivetDialog.element('kivet-dialog-edit');
      KivetDialog.element('kivet-dialog-okay').addEventListener('click', function(e) {
        e.preventDefault();
        KivetPage.push([KivetPage.DIALOG, KivetDialog.OKAY, 0, 0]);
      });
      // Escape reaches the program as Cancel, which the library ignores; it
      // is taken before the browser would close the dialog. The browser's
      // other ways of closing it come as Cancel too, and if the browser
      // closes it all the same, it opens again: only the program ends it.
      dialog.addEventListener('keydown', function(e) {
        if (e.key != 'Escape') return;
        e.preventDefault();
        KivetPage.push([KivetPage.DIALOG, KivetDialog.CANCEL, 0, 0]);
      });
      dialog.addEventListener('cancel', function(e) {
        e.preventDefault();
        KivetPage.push([KivetPage.DIALOG, KivetDialog.CANCEL, 0, 0]);
      });
      dialog.addEventListener('close', function() {
        if (KivetDialog.isOpen && !KivetPage.ended) dialog.showModal();
      });
      edit.addEventListener('keydown', function(e) {
        var plain = !e.shiftKey && !e.ctrlKey && !e.altKey && !e.metaKey;
        if (e.key == 'Enter' && plain && !e.isComposing) {
          e.preventDefault();
          KivetPage.push([KivetPage.DIALOG, KivetDialog.OKAY, 0, 0]);
        }
      });
    },

    open: function(title, prompt, button) {
      var dialog = KivetDialog.element('kivet-dialog');
      KivetDialog.element('kivet-dialog-title').textContent = title;
      KivetDialog.element('kivet-dialog-prompt').textContent = prompt;
      KivetDialog.element('kivet-dialog-okay').textContent = button;
      KivetDialog.element('kivet-dialog-edit').value = '';
      KivetMenu.close();
      // Its top-left corner a little right of and below the window's.
      var owner = KivetDialog.element('kivet-window').getBoundingClientRect();
      dialog.style.left = Math.max(0, owner.left + 88) + 'px';
      dialog.style.top = Math.max(0, owner.top + 100) + 'px';
      dialog.showModal();
      KivetDialog.isOpen = true;
    },

    close: function() {
      var dialog = KivetDialog.element('kivet-dialog');
      KivetDialog.isOpen = false;
      if (dialog.open) dialog.close();
      if (KivetPage.canvas) KivetPage.canvas.focus();
    },
  },

  kivet_page_dialog_open__deps: ['$KivetDialog'],
  kivet_page_dialog_open: function(title, prompt, button) {
    KivetDialog.open(UTF8ToString(title), UTF8ToString(prompt), UTF8ToString(button));
  },

  kivet_page_dialog_focus__deps: ['$KivetDialog'],
  kivet_page_dialog_focus: function() { KivetDialog.element('kivet-dialog-edit').focus(); },

  // The edit field's text as UTF-8 into buffer (size bytes with the zero);
  // returns the text's full length in bytes.
  kivet_page_dialog_text__deps: ['$KivetDialog'],
  kivet_page_dialog_text: function(buffer, size) {
    var text = KivetDialog.element('kivet-dialog-edit').value;
    if (size > 0) stringToUTF8(text, buffer, size);
    return lengthBytesUTF8(text);
  },

  kivet_page_dialog_close__deps: ['$KivetDialog'],
  kivet_page_dialog_close: function() { KivetDialog.close(); },
});

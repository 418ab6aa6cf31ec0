// Keys of the page as the library expects them: the key's code (letters as
// their upper-case letter, Ctrl 17, F1 112 ...), the character it types
// (Enter 13, Escape 27) and whether Ctrl is held. The Run menu's Ctrl
// shortcuts are taken before the browser's own; F10 and Alt with the
// menu's letter open the menu.

mergeInto(LibraryManager.library, {
  $KivetKeys: {
    NAMED: {
      'Backspace': 8, 'Tab': 9, 'Clear': 12, 'Enter': 13, 'Shift': 16, 'Control': 17,
      'Alt': 18, 'AltGraph': 18, 'Pause': 19, 'CapsLock': 20, 'Escape': 27, ' ': 32,
      'PageUp': 33, 'PageDown': 34, 'End': 35, 'Home': 36, 'ArrowLeft': 37, 'ArrowUp': 38,
      'ArrowRight': 39, 'ArrowDown': 40, 'PrintScreen': 44, 'Insert': 45, 'Delete': 46,
      'Meta': 91, 'OS': 91, 'ContextMenu': 93, 'NumLock': 144, 'ScrollLock': 145,
    },
    // Punctuation and the keypad's operators, by the key's place.
    BY_PLACE: {
      'Semicolon': 186, 'Equal': 187, 'Comma': 188, 'Minus': 189, 'Period': 190,
      'Slash': 191, 'Backquote': 192, 'BracketLeft': 219, 'Backslash': 220,
      'BracketRight': 221, 'Quote': 222, 'IntlBackslash': 226, 'NumpadMultiply': 106,
      'NumpadAdd': 107, 'NumpadSubtract': 109, 'NumpadDecimal': 110, 'NumpadDivide': 111,
      'NumpadEnter': 13,
    },
    // The letters of the Run menu's Ctrl shortcuts.
    SHORTCUTS: 'AHFLRPOQ',

    // A letter is its upper-case letter as the layout types it; a key that
    // types no Latin letter (a Cyrillic one, say) is named by its place, so
    // Ctrl with the key that carries H is Ctrl+H on any layout.
    code: function(e) {
      var key = e.key || '';
      var place = e.code || '';
      if (key.length == 1) {
        var upper = key.toUpperCase();
        if (upper >= 'A' && upper <= 'Z') return upper.charCodeAt(0);
        if (upper >= '0' && upper <= '9' && !/^Numpad/.test(place)) return upper.charCodeAt(0);
      }
      if (/^Key[A-Z]$/.test(place)) return place.charCodeAt(3);
      if (/^Digit[0-9]$/.test(place)) return place.charCodeAt(5);
      if (/^Numpad[0-9]$/.test(place)) {
        return /^[0-9]$/.test(key) ? 96 + (place.charCodeAt(6) - 48) : (KivetKeys.NAMED[key] || 0);
      }
      var f = /^F([0-9]+)$/.exec(key);
      if (f && +f[1] >= 1 && +f[1] <= 24) return 111 + +f[1];
      return KivetKeys.NAMED[key] || KivetKeys.BY_PLACE[place] || 0;
    },

    // AltGr, which some systems report as Ctrl with Alt, is neither.
    ctrl: function(e) { return e.ctrlKey && !KivetKeys.altGraph(e); },
    alt: function(e) { return e.altKey && !KivetKeys.altGraph(e); },
    altGraph: function(e) { return !!(e.getModifierState && e.getModifierState('AltGraph')); },

    // The character the key types (a byte), or 0: none while Alt is held,
    // Ctrl with a letter its control character, '?' above 255.
    character: function(e) {
      if (KivetKeys.alt(e) || e.metaKey || e.isComposing) return 0;
      var ctrl = KivetKeys.ctrl(e);
      switch (e.key) {
        case 'Enter': return ctrl ? 10 : 13;
        case 'Escape': return 27;
        case 'Backspace': return ctrl ? 127 : 8;
        case 'Tab': return ctrl ? 0 : 9;
      }
      var key = e.key || '';
      var c = key.codePointAt(0);
      if (c === undefined || String.fromCodePoint(c) != key) return 0;  // a named key
      if (ctrl) {
        if ((c >= 97 && c <= 122) || (c >= 64 && c <= 95)) return c & 0x1F;
        return c == 32 ? 32 : 0;
      }
      return c > 255 ? 63 : c;
    },

    // Keys typed into the page's own controls (its buttons) stay theirs.
    forControl: function(e) {
      var target = e.target;
      return target && target.closest && !!target.closest('button, input, textarea, select, a');
    },

    isShortcut: function(e, code) {
      return KivetKeys.ctrl(e) && !KivetKeys.alt(e) && !e.metaKey &&
             KivetKeys.SHORTCUTS.indexOf(String.fromCharCode(code)) >= 0;
    },

    onKeyDown: function(e) {
      if (KivetPage.ended) return;
      var code = KivetKeys.code(e);
      if (KivetDialog.isOpen) {
        // The dialog has the keys; only the browser's shortcuts that would
        // leave the page are kept from it (Ctrl+A still selects the text).
        if (KivetKeys.isShortcut(e, code) && code != 65) e.preventDefault();
        return;
      }
      if (KivetMenu.onKey(e)) return;
      var menuKey = e.key == 'F10' || e.key == 'Alt' ||
                    (KivetKeys.alt(e) && !KivetKeys.ctrl(e));
      if (menuKey) {
        if (e.key == 'F10' || KivetMenu.isMnemonic(e)) {
          e.preventDefault();
          KivetMenu.open(true);
        }
        return;
      }
      var shortcut = KivetKeys.isShortcut(e, code);
      if (!shortcut && KivetKeys.forControl(e)) return;
      var ch = KivetKeys.character(e);
      // The arrows and Page Up to Home scroll the page, unless the canvas
      // has the keyboard (space and Tab type characters and stay too).
      var scrolls = code >= 33 && code <= 40 && document.activeElement == KivetPage.canvas;
      if (shortcut || scrolls || (ch && !KivetKeys.ctrl(e))) e.preventDefault();
      KivetPage.push([KivetPage.KEY_DOWN, code, ch, (KivetKeys.ctrl(e) ? 1 : 0) | (e.repeat ? 2 : 0)]);
    },

    onKeyUp: function(e) {
      if (KivetPage.ended || KivetDialog.isOpen || KivetMenu.isOpen()) return;
      if (e.key == 'Alt' || e.key == 'F10') return;
      KivetPage.push([KivetPage.KEY_UP, KivetKeys.code(e), 0, KivetKeys.ctrl(e) ? 1 : 0]);
    },
  },
});

// The modal text-input dialog: its template, and how the button, Enter,
// Escape and the close box reach the library's handler.
#include "kivet/platform/win32/win32_dialog.h"

#include "kivet/platform/win32/wide_text.h"

namespace kivet::win32 {
namespace {

// The controls' ids. Windows reports the button, and Enter in the edit box,
// by the default button's id (IDOK when a dialog has none), and Escape and
// the close box by IDCANCEL.
constexpr WORD BUTTON_ID = 101;
constexpr WORD EDIT_ID = 102;
constexpr WORD PROMPT_ID = 103;

// The static text holds the prompt padded to this many characters.
constexpr size_t PROMPT_CHARACTERS = 79;

// Control classes by their predefined atoms.
constexpr WORD BUTTON_CLASS = 0x0080;
constexpr WORD EDIT_CLASS = 0x0081;
constexpr WORD STATIC_CLASS = 0x0082;

struct Control {
  DWORD style;
  short x, y, cx, cy;
  WORD id;
  WORD class_atom;
  std::wstring text;
};

void put_dword(std::vector<WORD>& t, DWORD value) {
  t.push_back(LOWORD(value));
  t.push_back(HIWORD(value));
}

void put_text(std::vector<WORD>& t, const std::wstring& text) {
  t.insert(t.end(), text.begin(), text.end());
  t.push_back(0);
}

// Template entries start on a DWORD boundary; the vector's data is.
void align(std::vector<WORD>& t) {
  if (t.size() % 2) t.push_back(0);
}

void put_control(std::vector<WORD>& t, const Control& c) {
  align(t);
  put_dword(t, c.style | WS_CHILD | WS_VISIBLE);
  put_dword(t, 0);  // extended style
  for (short value : {c.x, c.y, c.cx, c.cy}) t.push_back(static_cast<WORD>(value));
  t.push_back(c.id);
  t.push_back(0xFFFF);
  t.push_back(c.class_atom);
  put_text(t, c.text);
  t.push_back(0);  // no creation data
}

// The prompt as a static text shows it: a newline breaks the line, a tab
// moves on to the next tab stop. The template holds it padded to its fixed
// length with a newline and spaces. The padding starts on a line of its
// own because spaces that follow the last word on its line and do not fit
// there can take that word with them on to the next line (Wine wraps a
// static text so); a line of spaces below the prompt shows nothing.
std::wstring prompt_text(const std::string& prompt) {
  std::wstring wide = shown_wide(prompt, ControlCharacters::replace_but_newline_and_tab);
  // A character beyond the first 65536 takes two UTF-16 units.
  size_t characters = 0;
  for (wchar_t c : wide) characters += (c < 0xDC00 || c > 0xDFFF) ? 1 : 0;
  if (characters < PROMPT_CHARACTERS) {
    wide += L'\n';
    wide.append(PROMPT_CHARACTERS - characters - 1, L' ');
  }
  std::wstring text;
  for (wchar_t c : wide) {
    if (c == L'\n') text += L'\r';
    text += c;
  }
  return text;
}

}  // namespace

std::vector<WORD> dialog_template(const DialogSetup& setup) {
  std::vector<WORD> t;
  put_dword(t, DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
  put_dword(t, 0);
  t.push_back(3);  // controls
  for (int value : {50, 50, 185, 92}) t.push_back(static_cast<WORD>(value));
  t.push_back(0);  // no menu
  t.push_back(0);  // the standard dialog class
  put_text(t, shown_wide(setup.title, ControlCharacters::replace));
  put_control(t, Control{WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL, 8, 30, 167, 37,
                         EDIT_ID, EDIT_CLASS, L""});
  put_control(t, Control{WS_TABSTOP | BS_DEFPUSHBUTTON, 67, 74, 50, 14, BUTTON_ID, BUTTON_CLASS,
                         shown_wide(setup.button, ControlCharacters::replace)});
  put_control(t, Control{WS_GROUP | SS_LEFT | SS_NOPREFIX, 8, 3, 167, 24, PROMPT_ID,
                         STATIC_CLASS, prompt_text(setup.prompt)});
  return t;
}

bool ModalDialog::run(const DialogSetup& setup, DialogHandler handler, HWND owner) {
  if (running_) return false;
  handler_ = handler;
  running_ = true;
  std::vector<WORD> t = dialog_template(setup);
  INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), owner,
                                           procedure, reinterpret_cast<LPARAM>(this));
  running_ = false;
  return result != -1;
}

std::string ModalDialog::edit_text(HWND dialog) {
  HWND edit = GetDlgItem(dialog, EDIT_ID);
  if (!edit) return std::string();
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit, &text[0], static_cast<int>(text.size()))));
  return to_utf8(text);
}

INT_PTR CALLBACK ModalDialog::procedure(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, l);
    // Windows puts the focus on the first control with a tab stop, the
    // edit box.
    return TRUE;
  }
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message != WM_COMMAND || !self || !self->handler_) return FALSE;
  DialogChoice choice;
  switch (LOWORD(w)) {
    case IDOK:
    case BUTTON_ID:
      choice = DialogChoice{DialogChoice::okay, edit_text(dialog)};
      break;
    case IDCANCEL:
      choice.kind = DialogChoice::cancel;
      break;
    default:
      return FALSE;
  }
  if (self->handler_(choice)) EndDialog(dialog, IDOK);
  return TRUE;
}

}  // namespace kivet::win32

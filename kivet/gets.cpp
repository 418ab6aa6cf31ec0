// The text-input dialog: a prompt of exactly 79 characters, a multi-line
// edit box and an "Okay" default button. Only the button, or Enter, ends it.
#include <cstring>
#include <string>

#include "kivet/event_wait.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"
#include "kivet/text_encoding.h"

namespace kivet {

constexpr size_t PROMPT_LENGTH = 79;
constexpr size_t ANSWER_SIZE = 256;

// The prompt's first 79 bytes, without cutting a character in two, padded
// with spaces to 79 bytes.
static std::string padded_prompt(const char* prompt) {
  std::string text = utf8_prefix(prompt ? prompt : "", PROMPT_LENGTH);
  text.resize(PROMPT_LENGTH, ' ');
  return text;
}

bool KIVET_gets_dialog_proc(const DialogMessage& message) {
  switch (message.kind) {
    case DialogMessageKind::init:
      return true;
    case DialogMessageKind::command:
      if (message.id != DIALOG_OKAY) return false;
      if (answer_buffer) {
        // At most 255 bytes, without cutting a character in two.
        std::string text = utf8_prefix(platform().dialog_item_text(DIALOG_EDIT), ANSWER_SIZE - 1);
        memcpy(answer_buffer, text.data(), text.size());
        answer_buffer[text.size()] = '\0';
      }
      platform().end_dialog(1);
      return true;
  }
  return false;
}

}  // namespace kivet

using namespace kivet;

int KIVET_gets(const char* prompt, char* answer) {
  DialogSetup setup;
  setup.title = "KIVET_gets";
  setup.prompt = padded_prompt(prompt);
  setup.button = "Okay";
  setup.proc = KIVET_gets_dialog_proc;
  answer_buffer = answer;
  // The picture drawn so far is on the screen while the dialog is open.
  if (KIVET_dirty) copy_bitmap_to_window();
  int result = platform().run_dialog(setup);
  return result == -1 ? 0 : 1;
}

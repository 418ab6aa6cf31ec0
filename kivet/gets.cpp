// The text-input dialog: a prompt of at most 79 bytes, a multi-line edit
// box and an "Okay" default button. Only the button, or Enter, ends it:
// Escape and the close box leave it open.
#include <cstring>
#include <string>

#include "kivet/event_wait.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"
#include "kivet/text_encoding.h"

namespace kivet {

constexpr size_t PROMPT_LENGTH = 79;
constexpr size_t ANSWER_SIZE = 256;

bool KIVET_gets_dialog_proc(const DialogChoice& choice) {
  if (choice.kind != DialogChoice::okay) return false;
  if (state().answer_buffer) {
    // At most 255 bytes, without cutting a character in two.
    std::string text = utf8_prefix(choice.text, ANSWER_SIZE - 1);
    memcpy(state().answer_buffer, text.data(), text.size());
    state().answer_buffer[text.size()] = '\0';
  }
  return true;
}

}  // namespace kivet

using namespace kivet;

int KIVET_gets(const char* prompt, char* answer) {
  DialogSetup setup;
  setup.title = "KIVET_gets";
  // The prompt's first 79 bytes, without cutting a character in two.
  setup.prompt = utf8_prefix(prompt ? prompt : "", PROMPT_LENGTH);
  setup.button = "Okay";
  state().answer_buffer = answer;
  // The picture drawn so far is on the screen while the dialog is open.
  if (state().KIVET_dirty) copy_bitmap_to_window();
  return platform().run_dialog(setup, KIVET_gets_dialog_proc) ? 1 : 0;
}

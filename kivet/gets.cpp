// The text-input dialog: a prompt of exactly 79 characters, a multi-line
// edit box and an "Okay" default button. Only the button, or Enter, ends it.
#include <algorithm>
#include <cstring>
#include <string>

#include "kivet/platform/platform.h"
#include "kivet/state.h"

namespace kivet {

constexpr size_t PROMPT_LENGTH = 79;
constexpr size_t ANSWER_SIZE = 256;

static std::string padded_prompt(const char* prompt) {
  std::string text(prompt ? prompt : "");
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
        std::string text = platform().dialog_item_text(DIALOG_EDIT);
        size_t length = std::min(text.size(), ANSWER_SIZE - 1);
        memcpy(answer_buffer, text.data(), length);
        answer_buffer[length] = '\0';
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
  int result = platform().run_dialog(setup);
  return result == -1 ? 0 : 1;
}

// The text window's message handler.
#pragma once

#include "kivet/platform/message.h"

namespace kivet {

void KIVET_text_window_proc(const Message& message);

}  // namespace kivet

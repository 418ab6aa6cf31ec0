// The event wait's internals: the message pump and message delivery.
#pragma once

#include "kivet/platform/message.h"

namespace kivet {

// Takes at most one message from the queue and delivers it, then copies the
// bitmap to the window when it has changed. With `may_block`, sleeps in the
// toolkit first when no message is queued.
void KIVET_pump_message(bool may_block);

// Hands a message to its window's handler.
void dispatch(const Message& message);

// Copies the off-screen bitmap to the graphics window and clears the dirty flag.
void copy_bitmap_to_window();

}  // namespace kivet

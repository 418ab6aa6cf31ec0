// How an unattended run ends when its program goes on asking for events
// after it was told to quit: the picture (KIVET_SNAPSHOT) and the script
// are finished first. (A terminating signal: ending_signals.h.)
#pragma once

namespace kivet {

// After this many quits returned by the wait, the next request for an
// event ends the process: the program does not end after quit.
constexpr int QUITS_BEFORE_ENDING = 1000;
// The exit status of a run ended that way, with the line below on standard
// error.
constexpr int EXIT_NO_END_AFTER_QUIT = 70;
constexpr const char* NO_END_AFTER_QUIT_LINE =
    "kivet: the program did not end after quit (1000 events asked for since)";

// Counts a quit returned by the wait; called before each wait in an
// unattended run, it ends the process once the program has asked too often.
void note_quit_returned();
void end_if_quit_ignored();

}  // namespace kivet

// A terminating signal (a time limit, Ctrl+C) that ends an unattended run:
// the picture (KIVET_SNAPSHOT) and the script are finished first. A page
// has no signals: the web build has an empty version of these.
#pragma once

namespace kivet {

// From the opening of an unattended run on, SIGTERM and SIGINT (unless
// inherited as ignored) are noted by their handler and nothing else; the
// next call of the library that can end the process (end_if_signalled)
// then writes the snapshot, finishes the script and ends the process by
// the same signal. A second signal before that ends the process at once.
void watch_ending_signals();

// A safe point: ends the process as above when a signal has come.
void end_if_signalled();

}  // namespace kivet

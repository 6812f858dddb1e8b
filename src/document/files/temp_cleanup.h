// Files and folders a killed process must not leave behind: a PDF half written beside its
// target, a job copied from standard input. They are kept in fixed slots, so that the handler
// of SIGINT, SIGTERM and SIGHUP can remove them with system calls alone; the process then dies
// of the signal as it would have, and whoever waits for it sees it killed.
#pragma once

namespace folvek::temp_cleanup {

// Takes a slot for `path`: a file, or with `folder` a folder that is emptied and removed.
// Returns the slot, or -1 when every slot is taken or the path is too long (the path is then
// simply not covered).
int add(const char* path, bool folder = false);
// The owner removed or renamed it: the slot is free again. -1 is ignored.
void drop(int slot);
// Removes everything held and frees the slots (what the handler does).
void removeAll();
// Installs the handler for SIGINT, SIGTERM and SIGHUP.
void installHandlers();

}  // namespace folvek::temp_cleanup

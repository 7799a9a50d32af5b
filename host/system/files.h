// What the host needs from the file system to replace outputs whole: a file made durable
// before it is renamed into place, a folder swapped into the place of another, and whether
// the process that left a staging folder behind still runs. system_linux.cpp's neighbour
// files_linux.cpp implements them with POSIX calls, files_win32.cpp with the system's own.
#pragma once

#include <string>

namespace orvane {

// Writes the file's data through to the disk; "" when done, else the system's reason.
std::string flushFile(const std::string& path);

// Puts the folder `staged` in the place of `target`, whether `target` exists or not, in one
// step where the system can (Linux exchanges the two). What stood at `target` is removed.
// "" when done, else the system's reason; `target` is then as it was.
std::string swapFolderIn(const std::string& staged, const std::string& target);

// This process's id, and whether a process of that id runs on this machine.
long currentProcessId();
bool processRuns(long id);

}  // namespace orvane

// What the host needs from the file system to add a run's outputs to a folder safely: files
// and folders flushed to the disk, a private staging folder made fresh, a lock on a folder,
// files made without following links, and who made a staging folder (and whether that process
// is known to be gone). files_linux.cpp implements them with POSIX calls, files_win32.cpp with
// the system's own. Every function that can fail returns "" when done, else the system's reason.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace orvane {

// Writes the file's data through to the disk.
std::string flushFile(const std::string& path);
// Writes the folder's entries (renames, removals) through to the disk.
std::string flushFolder(const std::string& path);

// Makes a new folder `prefix` + six random characters inside `parent`, by exclusive creation
// (an existing name is never reused), readable and writable by this user only (0700), and
// puts its path in `*made`.
std::string makePrivateFolder(const std::string& parent, const std::string& prefix,
                              std::string* made);
// Creates a new file at `path` for writing in binary, refusing a name that exists (a link
// among them, which is never followed); the caller closes it. Null, with `*reason`, when not.
std::FILE* createNewFile(const std::string& path, std::string* reason);
// Opens an existing file (or device) for writing from its start, never through a link; the
// caller closes it. Null, with `*reason`, when not.
std::FILE* openForWriting(const std::string& path, std::string* reason);

// Whether `path` itself (not what a link names) is owned by the user this process runs as.
bool ownedByThisUser(const std::string& path);
// Gives `to` the permissions of `from`; "" also when `from` is missing.
std::string copyPermissions(const std::string& from, const std::string& to);

// This process as a line a staging folder's marker keeps: host name, boot, process namespace
// and process id.
std::string processMarker();
// True only when the process a marker names is known to be gone: it ran on this host, in this
// boot and in this process namespace, and no process of its id runs. Anything else (another
// machine, another container, a marker that cannot be read) is unknown: false.
bool processKnownGone(const std::string& marker);

// An exclusive lock on a folder, held from construction until destruction; of two runs that
// lock one folder, the second waits. `problem()` is "" when held.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  const std::string& problem() const { return problem_; }

 private:
  std::intptr_t handle_ = -1;  // the descriptor or handle that holds the lock
  std::string problem_;
};

}  // namespace orvane

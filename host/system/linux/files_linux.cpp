// The Linux side of files.h: fsync, mkdtemp, O_NOFOLLOW, flock on the folder, and the marker
// of a process from the host name, the boot id and the process namespace under /proc.
#include "host/system/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace orvane {

namespace {

std::string flushPath(const std::string& path, int flags) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
  if (fd < 0) return std::strerror(errno);
  const bool synced = fsync(fd) == 0;
  const int error = errno;
  close(fd);
  return synced ? "" : std::strerror(error);
}

std::string firstLineOf(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string linkOf(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : "";
}

std::string hostName() {
  char name[HOST_NAME_MAX + 1] = {};
  return gethostname(name, sizeof name - 1) == 0 ? name : "";
}

// Host, boot and process namespace: who can judge a process id, as one word each.
std::vector<std::string> placeOfThisProcess() {
  return {hostName(), firstLineOf("/proc/sys/kernel/random/boot_id"), linkOf("/proc/self/ns/pid")};
}

}  // namespace

std::string flushFile(const std::string& path) { return flushPath(path, 0); }

std::string flushFolder(const std::string& path) { return flushPath(path, O_DIRECTORY); }

std::string makePrivateFolder(const std::string& parent, const std::string& prefix,
                              std::string* made) {
  std::string pattern = parent + "/" + prefix + "XXXXXX";
  if (!mkdtemp(pattern.data())) return std::strerror(errno);
  *made = pattern;
  return "";
}

std::FILE* createNewFile(const std::string& path, std::string* reason) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  std::FILE* file = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (!file) {
    *reason = std::strerror(errno);
    if (fd >= 0) close(fd);
  }
  return file;
}

std::FILE* openForWriting(const std::string& path, std::string* reason) {
  const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
  std::FILE* file = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (!file) {
    *reason = std::strerror(errno);
    if (fd >= 0) close(fd);
  }
  return file;
}

bool ownedByThisUser(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && st.st_uid == geteuid();
}

std::string copyPermissions(const std::string& from, const std::string& to) {
  struct stat st;
  if (stat(from.c_str(), &st) != 0) return errno == ENOENT ? "" : std::strerror(errno);
  return chmod(to.c_str(), st.st_mode & 07777) == 0 ? "" : std::strerror(errno);
}

std::string processMarker() {
  std::string marker;
  for (const std::string& word : placeOfThisProcess()) marker += word + " ";
  return marker + std::to_string(getpid());
}

bool processKnownGone(const std::string& marker) {
  std::istringstream words(marker);
  for (const std::string& here : placeOfThisProcess()) {
    std::string there;
    if (here.empty() || !(words >> there) || there != here) return false;
  }
  long id = 0;
  if (!(words >> id) || id <= 0 || id == getpid()) return false;
  return kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

FolderLock::FolderLock(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    problem_ = std::strerror(errno);
    return;
  }
  int locked;
  do locked = flock(fd, LOCK_EX);
  while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    problem_ = std::strerror(errno);
    close(fd);
    return;
  }
  handle_ = fd;
}

FolderLock::~FolderLock() {
  if (handle_ >= 0) close(static_cast<int>(handle_));  // closing the descriptor unlocks
}

}  // namespace orvane

// The Linux side of files.h: fsync, renameat2 and kill(pid, 0).
#include "host/system/files.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace orvane {

std::string flushFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  const bool synced = fsync(fd) == 0;
  const int error = errno;
  close(fd);
  return synced ? "" : std::strerror(error);
}

std::string swapFolderIn(const std::string& staged, const std::string& target) {
  if (renameat2(AT_FDCWD, staged.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return "";
  if (errno != EEXIST) return std::strerror(errno);
  // Exchanged, so that no moment passes without a whole set at `target`, even when another
  // run swaps its set in at the same time: the last exchange wins.
  if (renameat2(AT_FDCWD, staged.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0) {
    if (errno != EINVAL) return std::strerror(errno);
    // A file system that cannot exchange: the earlier folder steps aside first.
    const std::string previous = staged + ".previous";
    if (rename(target.c_str(), previous.c_str()) != 0) return std::strerror(errno);
    if (rename(staged.c_str(), target.c_str()) != 0) {
      const int error = errno;
      rename(previous.c_str(), target.c_str());
      return std::strerror(error);
    }
    std::error_code ec;
    std::filesystem::remove_all(previous, ec);
    return "";
  }
  std::error_code ec;
  std::filesystem::remove_all(staged, ec);  // now the earlier folder
  return "";
}

long currentProcessId() { return static_cast<long>(getpid()); }

bool processRuns(long id) {
  return id > 0 && (kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM);
}

}  // namespace orvane

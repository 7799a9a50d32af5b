// The Windows side of files.h: FlushFileBuffers, CREATE_NEW, LockFileEx on a lock file, and the
// marker of a process from the computer's name and its process id.
#include "host/system/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <sstream>
#include <system_error>

namespace orvane {

namespace {

std::string reasonOf(DWORD error) {
  return std::system_category().message(static_cast<int>(error));
}

std::string computerName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  return GetComputerNameA(name, &size) ? name : "";
}

// Windows keeps no lock on a folder itself: a file orvane owns inside it carries the lock.
constexpr char kLockFile[] = "\\.orvane-lock";

}  // namespace

std::string flushFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return reasonOf(GetLastError());
  const BOOL flushed = FlushFileBuffers(file);
  const DWORD error = GetLastError();
  CloseHandle(file);
  return flushed ? "" : reasonOf(error);
}

// NTFS writes a folder's entries through its journal; there is nothing to ask for.
std::string flushFolder(const std::string&) { return ""; }

std::string makePrivateFolder(const std::string& parent, const std::string& prefix,
                              std::string* made) {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = parent + "\\" + prefix;
    for (int i = 0; i < 6; ++i) path += letters[random() % (sizeof letters - 1)];
    if (CreateDirectoryA(path.c_str(), nullptr)) {
      *made = path;
      return "";
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return reasonOf(GetLastError());
  }
  return reasonOf(ERROR_ALREADY_EXISTS);
}

std::FILE* createNewFile(const std::string& path, std::string* reason) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = reasonOf(GetLastError());
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
  std::FILE* out = fd < 0 ? nullptr : _fdopen(fd, "wb");
  if (!out) {
    *reason = "cannot open the new file";
    if (fd >= 0)
      _close(fd);
    else
      CloseHandle(file);
  }
  return out;
}

std::FILE* openForWriting(const std::string& path, std::string* reason) {
  std::FILE* out = std::fopen(path.c_str(), "r+b");
  if (out) out = std::freopen(path.c_str(), "wb", out);
  if (!out) *reason = std::strerror(errno);
  return out;
}

// Folders a person's account made are theirs; Windows guards them by their access lists.
bool ownedByThisUser(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string copyPermissions(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesA(from.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "";
  return SetFileAttributesA(to.c_str(), attributes & FILE_ATTRIBUTE_READONLY)
             ? ""
             : reasonOf(GetLastError());
}

std::string processMarker() { return computerName() + " " + std::to_string(GetCurrentProcessId()); }

bool processKnownGone(const std::string& marker) {
  std::istringstream words(marker);
  std::string computer;
  long id = 0;
  if (!(words >> computer >> id) || computer != computerName() || id <= 0 ||
      static_cast<DWORD>(id) == GetCurrentProcessId())
    return false;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  const bool gone = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return gone;
}

FolderLock::FolderLock(const std::string& folder) {
  HANDLE file = CreateFileA((folder + kLockFile).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    problem_ = reasonOf(GetLastError());
    return;
  }
  OVERLAPPED at = {};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
    problem_ = reasonOf(GetLastError());
    CloseHandle(file);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

FolderLock::~FolderLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace orvane

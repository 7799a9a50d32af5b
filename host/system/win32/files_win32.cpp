// The Windows side of files.h: FlushFileBuffers, MoveFileEx and OpenProcess.
#include "host/system/files.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace orvane {

namespace {

std::string reasonOf(DWORD error) {
  return std::system_category().message(static_cast<int>(error));
}

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

// Windows cannot exchange two folders: the earlier one steps aside, the new one takes its
// place, and the earlier one is removed.
std::string swapFolderIn(const std::string& staged, const std::string& target) {
  if (MoveFileExA(staged.c_str(), target.c_str(), 0)) return "";
  DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return reasonOf(error);
  const std::string previous = staged + ".previous";
  if (!MoveFileExA(target.c_str(), previous.c_str(), 0)) return reasonOf(GetLastError());
  if (!MoveFileExA(staged.c_str(), target.c_str(), 0)) {
    error = GetLastError();
    MoveFileExA(previous.c_str(), target.c_str(), 0);
    return reasonOf(error);
  }
  std::error_code ec;
  std::filesystem::remove_all(previous, ec);
  return "";
}

long currentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool processRuns(long id) {
  if (id <= 0) return false;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

}  // namespace orvane

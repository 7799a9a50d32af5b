// The Windows side of system.h: the system's own calls for the executable, the console,
// module errors and the clipboard; the host's import hooks for dialogs and memory blocks.
#include "host/system/system.h"

#include <windows.h>
#include <io.h>
#include <orvane_platform.h>

#include <cstdio>
#include <string>

#include "host/person/win32/user_hooks_win32.h"

namespace orvane {

std::string executableDirectory() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "";
  std::string p(path, n);
  size_t slash = p.find_last_of("\\/");
  return slash == std::string::npos ? "" : p.substr(0, slash);
}

char searchPathSeparator() { return ';'; }

bool stderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::string moduleErrorText() {
  DWORD code = GetLastError();
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, text, sizeof text, nullptr);
  std::string reason(text, n);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  if (reason.empty()) reason = "unknown reason";
  return reason + " (error " + std::to_string(code) + ")";
}

int dialogResourceOf(HWND dialog) { return dialog ? orvane_dialog_resource(dialog) : 0; }

std::vector<ClipboardItem> clipboardTransfers() { return clipboardTransferLog(); }

void clipboardClear() {
  clipboardTransferLog().clear();
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

// The window of "another program" that keeps the clipboard open.
void holdClipboard(bool held) {
  static HWND holder = nullptr;
  if (held && !holder) {
    holder = CreateWindowExA(0, "STATIC", "orvane clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                             nullptr, nullptr, nullptr);
    if (holder && !OpenClipboard(holder)) {
      DestroyWindow(holder);
      holder = nullptr;
    }
  } else if (!held && holder) {
    CloseClipboard();
    DestroyWindow(holder);
    holder = nullptr;
  }
}

void runForAPerson() {}

MemoryState memoryState() {
  OrvaneMemoryStats stats{};
  orvane_memory_stats(&stats);
  return {stats.liveBlocks, stats.lockedBlocks};
}

int blockLockCount(HGLOBAL block) { return orvane_lock_count(block); }

}  // namespace orvane

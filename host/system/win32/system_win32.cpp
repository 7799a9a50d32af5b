// The Windows side of system.h: the system's own calls for the executable, the console,
// module errors and the clipboard; the host's import hooks for dialogs and memory blocks.
#include "host/system/system.h"

#include <windows.h>
#include <io.h>
#include <orvane_platform.h>

#include <cstdio>
#include <cstring>
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

namespace {

// The machine a PE image says it is built for (IMAGE_FILE_MACHINE_*), 0 when it is no PE image.
unsigned peMachine(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return 0;
  unsigned char head[64] = {}, pe[6] = {};
  unsigned machine = 0;
  if (fread(head, 1, sizeof head, f) == sizeof head && head[0] == 'M' && head[1] == 'Z') {
    const long at = (long)(head[60] | head[61] << 8 | head[62] << 16 | (unsigned)head[63] << 24);
    if (fseek(f, at, SEEK_SET) == 0 && fread(pe, 1, sizeof pe, f) == sizeof pe &&
        memcmp(pe, "PE\0\0", 4) == 0)
      machine = pe[4] | pe[5] << 8;
  }
  fclose(f);
  return machine;
}

constexpr unsigned kMachineI386 = 0x014c, kMachineAmd64 = 0x8664;

}  // namespace

std::string moduleErrorText(const std::string& path) {
  DWORD code = GetLastError();
  const unsigned own = sizeof(void*) == 4 ? kMachineI386 : kMachineAmd64;
  const unsigned machine = code == ERROR_BAD_EXE_FORMAT ? peMachine(path) : 0;
  if ((machine == kMachineI386 || machine == kMachineAmd64) && machine != own) {
    // The same words as the Linux layer's.
    return machine == kMachineI386
               ? "wrong architecture: a 32-bit module built for i386; this process is 64-bit "
                 "x86 (x86-64) and loads only 64-bit x86 (x86-64) modules"
               : "wrong architecture: a 64-bit module built for x86-64; this process is 32-bit "
                 "x86 (i386) and loads only 32-bit x86 (i386) modules";
  }
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

// The Linux side of system.h: /proc for the executable, POSIX for the terminal, the platform
// layer's inspection calls for modules, dialogs, the clipboard and memory.
#include "host/system/system.h"

#include <orvane_platform.h>
#include <unistd.h>

#include <cstring>

namespace orvane {

std::string executableDirectory() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  path[n] = '\0';
  char* slash = std::strrchr(path, '/');
  if (!slash) return "";
  if (slash == path) return "/";
  *slash = '\0';
  return path;
}

char searchPathSeparator() { return ':'; }

bool stderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::string moduleErrorText(const std::string&) {
  const char* text = orvane_module_error();
  return text && *text ? text : "unknown reason";
}

int dialogResourceOf(HWND dialog) { return dialog ? orvane_dialog_resource(dialog) : 0; }

void watchPluginModule(HMODULE) {}

std::vector<std::string> takeSystemNotes() { return {}; }

Screenshot captureWindow(HWND) { return {}; }

std::vector<ClipboardItem> clipboardTransfers() {
  std::vector<ClipboardItem> items;
  const int count = orvane_clipboard_transfer_count();
  for (int i = 0; i < count; ++i) {
    UINT format = 0;
    size_t size = 0;
    const auto* bytes =
        static_cast<const unsigned char*>(orvane_clipboard_transfer(i, &format, &size));
    if (!bytes) continue;
    items.push_back(
        {format, clipboardFormatName(format), std::vector<unsigned char>(bytes, bytes + size)});
  }
  return items;
}

void clipboardClear() { orvane_clipboard_clear(); }

void holdClipboard(bool held) { orvane_clipboard_busy(held ? 1 : 0); }

MemoryState memoryState() {
  OrvaneMemoryStats stats{};
  orvane_memory_stats(&stats);
  return {stats.liveBlocks, stats.lockedBlocks};
}

void runForAPerson() { orvane_memory_fill_fresh(0); }

int blockLockCount(HGLOBAL block) { return orvane_lock_count(block); }

}  // namespace orvane

// What the host needs from the system beyond the Win32 names. The Linux build implements these
// in system_linux.cpp over /proc, POSIX and the platform layer's inspection calls; the Windows
// build (orvane.exe) in system_win32.cpp and screenshot_win32.cpp with the system's own calls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

// Directory holding the running executable (no trailing separator), "" when unknown.
std::string executableDirectory();
// Separator of the directories in ORVANE_PLUGIN_PATH.
char searchPathSeparator();
// True when stderr is a terminal that can redraw a progress line in place.
bool stderrIsTerminal();
// Why the last LoadLibraryA or GetProcAddress failed, as the system words it; a module of the
// other width (a 32-bit .xfm for a 64-bit host, or the reverse) in one line that says so.
std::string moduleErrorText(const std::string& path = "");
// Resource id the dialog was created from, 0 when unknown.
int dialogResourceOf(HWND dialog);

// Lets the person see what a freshly loaded plug-in asks of the system. On Windows the
// module's imports of dialogs, message boxes, the save dialog, help, beeps and memory blocks
// are routed through the installed person (user_hooks_win32.cpp); the Linux layer sees all of
// that already, so there it does nothing.
void watchPluginModule(HMODULE module);

// What the system did otherwise than the person asked since the last call (a save dialog that
// did not take the person's file name, say), one line each; always empty on the Linux layer,
// where the person's answers are the system's.
std::vector<std::string> takeSystemNotes();

// The pixels of a window, frame included, as the screen shows it.
struct Screenshot {
  int width = 0;  // px
  int height = 0;
  std::vector<uint32_t> pixels;  // top-down rows of 0x00RRGGBB; empty when nothing is drawn
};
// Windows: the window as painted now. The Linux layer draws nothing: always empty there.
Screenshot captureWindow(HWND window);

// One clipboard format's data, copied out of the clipboard's block.
struct ClipboardItem {
  UINT format;                       // CF_TEXT or CF_WAVE
  std::string formatName;            // "CF_TEXT", "CF_WAVE"
  std::vector<unsigned char> bytes;  // the whole block, as large as the block is
};
// "CF_TEXT", "CF_WAVE", or "format N".
std::string clipboardFormatName(UINT format);
// Every block a plug-in handed to the clipboard since clipboardClear(), in order, each as it
// was when handed over (a later transfer of the same format does not hide an earlier one).
std::vector<ClipboardItem> clipboardTransfers();
// Empties the clipboard and forgets its transfers, so that a run reports only its own.
void clipboardClear();
// While held, the clipboard is open for another window: a plug-in cannot open it.
void holdClipboard(bool held);

// Global memory blocks alive and locked in this process (the clipboard's not counted).
struct MemoryState {
  int liveBlocks;
  int lockedBlocks;
};
MemoryState memoryState();
// A person's run: blocks a plug-in allocates without zero-fill are not filled with a pattern
// first (the Linux layer fills them for the tests and the validator; Windows never does).
void runForAPerson();
// Lock count of a live block, -1 when the handle is no live block.
int blockLockCount(HGLOBAL block);

}  // namespace orvane

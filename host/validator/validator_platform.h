// What the validator needs from the platform beyond the Win32 names: the block accounting with
// its call counters, injected faults (a GlobalAlloc or GlobalLock that fails, a parameter block
// that cannot be locked, a busy clipboard), and a witness in front of the screen that sees every
// dialog and message box and can press buttons. The Linux layer offers all of it
// (validator_platform_linux.cpp); a host built on Windows itself has no such hooks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace orvane {

// The process's movable blocks and the calls made since resetMemoryCounters(). Blocks the
// clipboard holds are not counted.
struct MemoryCounters {
  int liveBlocks = 0;    // allocated and not freed
  int lockedBlocks = 0;  // live blocks with a lock count above zero
  int allocCalls = 0;    // GlobalAlloc calls
  int lockCalls = 0;     // GlobalLock calls
  int failedCalls = 0;   // calls that failed because a fault said so
};
MemoryCounters memoryCounters();
// Zeroes the call counters and clears a pending failAllocationAt / failLockAt.
void resetMemoryCounters();
// The k-th GlobalAlloc (GlobalLock) from now fails, k >= 1.
void failAllocationAt(int k);
void failLockAt(int k);
// Every lock of `block` fails while `fail` is true.
void failLocksOf(HGLOBAL block, bool fail);
// Lock count of a block, -1 when the handle is no live block.
int lockCountOf(HGLOBAL block);
// OpenClipboard fails while busy; CloseClipboard fails while closeFails.
void clipboardBusy(bool busy);
void clipboardCloseFails(bool fails);
// Frees whatever the clipboard holds.
void clipboardEmpty();
// Clears every fault above (not the blocks, not the counters' history).
void clearFaults();

// The one who sits in front of the screen while the validator drives a plug-in. The platform
// calls these from inside the plug-in's dialogs; they must not throw.
class Witness {
 public:
  virtual ~Witness() = default;
  // A modal dialog finished its initialisation and is shown.
  virtual void dialogShown(HWND dialog, int resource) = 0;
  // The dialog waits for the person: act (press something) and return true, or return false
  // to close it with its close box.
  virtual bool dialogWaits(HWND dialog, int resource) = 0;
  // The dialog ended with `result`; its controls still stand.
  virtual void dialogEnded(HWND dialog, int resource, INT_PTR result) = 0;
  // Returns the button pressed (IDOK, IDYES, ...).
  virtual int messageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) = 0;
  // A save-file dialog: the witness reads what it offers, as the system's dialog would, and
  // cancels it.
  virtual void saveDialog(const OPENFILENAMEA* ofn) = 0;
  virtual void help(LPCSTR file) = 0;
  virtual void beep(UINT type) = 0;
};
// Makes `witness` the person the platform consults; null restores the platform's default.
void installWitness(Witness* witness);

// A push button a person could press: visible and enabled.
struct CommandButton {
  HWND window = nullptr;
  int id = 0;
  std::string text;
};
// The dialog's push buttons in template order, OK (1) and Cancel (2) left out: the commands a
// dialog offers besides ending itself.
std::vector<CommandButton> commandButtons(HWND dialog);
// Presses the control with `id` as a person would; false when there is none or it cannot be
// pressed (hidden, disabled).
bool pressButton(HWND dialog, int id);

}  // namespace orvane

// The validator's platform seam on the Linux layer: orvane_platform.h's accounting, faults and
// OrvaneUser hooks.
#include <orvane_platform.h>

#include <cstring>

#include "host/validator/validator_platform.h"

namespace orvane {

MemoryCounters memoryCounters() {
  OrvaneMemoryStats s{};
  orvane_memory_stats(&s);
  MemoryCounters c;
  c.liveBlocks = s.liveBlocks;
  c.lockedBlocks = s.lockedBlocks;
  c.allocCalls = s.allocCalls;
  c.lockCalls = s.lockCalls;
  c.failedCalls = s.failedCalls;
  return c;
}

void resetMemoryCounters() { orvane_memory_reset_counters(); }
void failAllocationAt(int k) { orvane_fail_alloc_at(k); }
void failLockAt(int k) { orvane_fail_lock_at(k); }
void failLocksOf(HGLOBAL block, bool fail) { orvane_fail_lock_of(block, fail ? 1 : 0); }
int lockCountOf(HGLOBAL block) { return orvane_lock_count(block); }
void clipboardBusy(bool busy) { orvane_clipboard_busy(busy ? 1 : 0); }
void clipboardCloseFails(bool fails) { orvane_clipboard_close_fails(fails ? 1 : 0); }
void clipboardEmpty() { orvane_clipboard_clear(); }

void clearFaults() {
  orvane_fail_alloc_at(0);
  orvane_fail_lock_at(0);
  orvane_clipboard_busy(0);
  orvane_clipboard_close_fails(0);
}

namespace {

Witness* self(void* context) { return static_cast<Witness*>(context); }

void WINAPI onShown(void* context, HWND dialog, int resource) {
  self(context)->dialogShown(dialog, resource);
}

int WINAPI onIdle(void* context, HWND dialog, int resource) {
  return self(context)->dialogWaits(dialog, resource) ? 1 : 0;
}

void WINAPI onEnded(void* context, HWND dialog, int resource, INT_PTR result) {
  self(context)->dialogEnded(dialog, resource, result);
}

int WINAPI onMessageBox(void* context, HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return self(context)->messageBox(owner, text, caption, type);
}

BOOL WINAPI onSaveFileName(void* context, OPENFILENAMEA* ofn) {
  self(context)->saveDialog(ofn);
  return FALSE;
}

void WINAPI onHelp(void* context, HWND, LPCSTR file, UINT, ULONG_PTR) { self(context)->help(file); }

void WINAPI onBeep(void* context, UINT type) { self(context)->beep(type); }

}  // namespace

void installWitness(Witness* witness) {
  if (!witness) {
    orvane_set_user(nullptr);
    return;
  }
  OrvaneUser user{};
  user.context = witness;
  user.dialogShown = onShown;
  user.dialogIdle = onIdle;
  user.dialogEnded = onEnded;
  user.messageBox = onMessageBox;
  user.saveFileName = onSaveFileName;
  user.help = onHelp;
  user.beep = onBeep;
  orvane_set_user(&user);
}

std::vector<CommandButton> commandButtons(HWND dialog) {
  std::vector<CommandButton> buttons;
  const int count = orvane_dialog_control_count(dialog);
  for (int i = 0; i < count; ++i) {
    OrvaneControlInfo info;
    std::memset(&info, 0, sizeof info);
    if (orvane_dialog_control(dialog, i, &info) != 0) continue;
    if (info.kind != kOrvanePushButton || !info.visible || !info.enabled) continue;
    if (info.id == IDOK || info.id == IDCANCEL) continue;
    buttons.push_back({info.window, info.id, std::string(info.text, strnlen(info.text, 512))});
  }
  return buttons;
}

bool pressButton(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && orvane_click(control) == 0;
}

}  // namespace orvane

// The clipboard: one opener at a time, blocks held per format, owned by the clipboard once
// handed over. Tests make it busy (another application has it open) or make closing fail.
#include "internal.h"

#include <map>
#include <vector>

namespace {

struct ClipboardState {
  bool open = false;
  bool busy = false;
  bool closeFails = false;
  std::map<UINT, HGLOBAL> held;
  // Every block handed over, copied as it was handed over, in order.
  std::vector<std::pair<UINT, std::vector<unsigned char>>> transfers;
};

ClipboardState& clipboard() {
  static ClipboardState* s = new ClipboardState;
  return *s;
}

void freeHeld() {
  ClipboardState& c = clipboard();
  for (const auto& entry : c.held) memoryFreeClipboardBlock(entry.second);
  c.held.clear();
}

bool requireOpen() {
  if (clipboard().open) return true;
  SetLastError(kErrorClipboardNotOpen);
  return false;
}

}  // namespace

WINBASEAPI BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
  ClipboardState& c = clipboard();
  if (c.busy || c.open) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  c.open = true;
  return TRUE;
}

WINBASEAPI BOOL WINAPI CloseClipboard(void) {
  ClipboardState& c = clipboard();
  if (!requireOpen()) return FALSE;
  // Closed either way: a failed close must not leave the clipboard locked for the next open.
  c.open = false;
  if (c.closeFails) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return TRUE;
}

WINBASEAPI BOOL WINAPI EmptyClipboard(void) {
  if (!requireOpen()) return FALSE;
  freeHeld();
  return TRUE;
}

WINBASEAPI HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
  if (!requireOpen()) return nullptr;
  ClipboardState& c = clipboard();
  auto it = c.held.find(uFormat);
  if (it != c.held.end() && it->second == hMem) return hMem;
  // Rendering on request (a null block) is not offered: the plug-ins always hand over data.
  if (!hMem) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (DWORD error = memoryGiveToClipboard(hMem)) {
    SetLastError(error);
    return nullptr;
  }
  size_t size = 0;
  const auto* bytes = static_cast<const unsigned char*>(memoryBlockBytes(hMem, &size));
  c.transfers.emplace_back(uFormat, std::vector<unsigned char>(bytes, bytes + (bytes ? size : 0)));
  if (it != c.held.end()) {
    memoryFreeClipboardBlock(it->second);
    it->second = hMem;
  } else {
    c.held.emplace(uFormat, hMem);
  }
  return hMem;
}

WINBASEAPI HANDLE WINAPI GetClipboardData(UINT uFormat) {
  if (!requireOpen()) return nullptr;
  const ClipboardState& c = clipboard();
  auto it = c.held.find(uFormat);
  if (it == c.held.end()) {
    SetLastError(ERROR_SUCCESS);
    return nullptr;
  }
  return it->second;
}

WINBASEAPI BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
  return clipboard().held.count(format) ? TRUE : FALSE;
}

void clipboardReset() {
  freeHeld();
  ClipboardState& c = clipboard();
  c.transfers.clear();
  c.open = false;
  c.busy = c.closeFails = false;
}

extern "C" {

ORVANE_EXPORT void orvane_clipboard_busy(int busy) { clipboard().busy = busy != 0; }

ORVANE_EXPORT void orvane_clipboard_close_fails(int fails) { clipboard().closeFails = fails != 0; }

ORVANE_EXPORT const void* orvane_clipboard_data(UINT format, size_t* size) {
  if (size) *size = 0;
  const ClipboardState& c = clipboard();
  auto it = c.held.find(format);
  if (it == c.held.end()) return nullptr;
  return memoryBlockBytes(it->second, size);
}

ORVANE_EXPORT int orvane_clipboard_transfer_count(void) {
  return static_cast<int>(clipboard().transfers.size());
}

ORVANE_EXPORT const void* orvane_clipboard_transfer(int index, UINT* format, size_t* size) {
  const ClipboardState& c = clipboard();
  if (format) *format = 0;
  if (size) *size = 0;
  if (index < 0 || static_cast<size_t>(index) >= c.transfers.size()) return nullptr;
  const auto& t = c.transfers[static_cast<size_t>(index)];
  if (format) *format = t.first;
  if (size) *size = t.second.size();
  return t.second.data();
}

ORVANE_EXPORT void orvane_clipboard_clear(void) {
  freeHeld();
  clipboard().transfers.clear();
}

}  // extern "C"

// Window records and handles, and the Win32 calls that only read or set a record: text,
// visibility, enabling, rectangles and window longs.
#include <string.h>

#include <map>

#include "window_records.h"

namespace {

// Handles come from an address range reserved and never mapped (reserveHandleRange), so an HWND
// is never the address of anything; values are not reissued until the range has been used up.
constexpr uintptr_t kHandleSpan = uintptr_t(1) << 22;
constexpr uintptr_t kHandleStep = 16;

struct WindowTable {
  std::map<uintptr_t, std::unique_ptr<Window>> windows;
  uintptr_t base = 0;
  uintptr_t span = 0;
  uintptr_t offset = 0;
  unsigned activity = 0;
};

WindowTable& table() {
  static WindowTable* t = [] {
    auto* w = new WindowTable;
    const uintptr_t base = reserveHandleRange(kHandleSpan);
    if (base == 0) {
      // The first 64 KiB are never mapped either; the other handles use the lower half.
      w->base = 0x8000;
      w->span = 0x8000;
    } else {
      w->base = base;
      w->span = kHandleSpan;
    }
    return w;
  }();
  return *t;
}

HWND newHandle() {
  WindowTable& t = table();
  for (uintptr_t tries = 0; tries < t.span / kHandleStep; ++tries) {
    t.offset += kHandleStep;
    if (t.offset >= t.span) t.offset = kHandleStep;
    if (!t.windows.count(t.base + t.offset)) return reinterpret_cast<HWND>(t.base + t.offset);
  }
  return nullptr;
}

Window* fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

Window* valid(HWND window) {
  Window* w = windowFind(window);
  return w ? w : fail(ERROR_INVALID_WINDOW_HANDLE);
}

// The window's top-left corner in screen coordinates.
POINT origin(const Window* w) {
  POINT p{w->rect.left, w->rect.top};
  while (w->style & WS_CHILD) {
    w = windowFind(w->parent);
    if (!w) break;
    p.x += w->rect.left;
    p.y += w->rect.top;
  }
  return p;
}

}  // namespace

// ---- Records ----

Window* windowFind(HWND window) {
  auto& windows = table().windows;
  auto it = windows.find(reinterpret_cast<uintptr_t>(window));
  return it == windows.end() ? nullptr : it->second.get();
}

Window* windowNew(const std::string& className, WNDPROC proc, bool registeredClass,
                  const char* text, DWORD style, DWORD exStyle, int id, HWND parent,
                  const RECT& rect, size_t extraBytes) {
  Window* parentRecord = windowFind(parent);
  if ((style & WS_CHILD) && !parentRecord) return fail(ERROR_TLW_WITH_WSCHILD);
  HWND h = newHandle();
  if (!h) return fail(ERROR_NOT_ENOUGH_MEMORY);
  auto w = std::make_unique<Window>();
  w->handle = h;
  w->className = className;
  w->proc = proc;
  w->registeredClass = registeredClass;
  w->text = text ? text : "";
  w->style = style;
  w->exStyle = exStyle;
  w->id = id;
  w->parent = parent;
  w->rect = rect;
  w->units = RECT{pixelsToUnitsX(rect.left), pixelsToUnitsY(rect.top), pixelsToUnitsX(rect.right),
                  pixelsToUnitsY(rect.bottom)};
  w->selection = -1;
  w->textLimit = 32767;
  w->extra.assign(extraBytes, 0);
  w->invalid = true;
  w->erase = true;
  Window* record = w.get();
  table().windows[reinterpret_cast<uintptr_t>(h)] = std::move(w);
  if ((style & WS_CHILD) && parentRecord) parentRecord->children.push_back(h);
  return record;
}

bool windowDestroy(HWND window) {
  Window* w = windowFind(window);
  if (!w) return false;
  if (w->destroying) return true;
  if (w->dialog && w->dialog->running) {
    if (!w->dialog->ended) {
      w->dialog->ended = true;
      w->dialog->result = -1;
    }
    return true;
  }
  w->destroying = true;
  windowDeliver(window, WM_DESTROY, 0, 0);
  w = windowFind(window);
  if (!w) return true;
  const std::vector<HWND> children = w->children;
  for (HWND child : children) windowDestroy(child);
  w = windowFind(window);
  if (!w) return true;
  if (Window* p = (w->style & WS_CHILD) ? windowFind(w->parent) : nullptr) {
    auto& siblings = p->children;
    for (auto it = siblings.begin(); it != siblings.end(); ++it)
      if (*it == window) {
        siblings.erase(it);
        break;
      }
  }
  queuePurge(window);
  table().windows.erase(reinterpret_cast<uintptr_t>(window));
  return true;
}

LRESULT windowDeliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = windowFind(window);
  if (!w || !w->proc) return 0;
  WNDPROC proc = w->proc;
  return proc(window, message, wParam, lParam);
}

std::vector<HWND> windowAll() {
  std::vector<HWND> all;
  for (auto& [key, w] : table().windows) all.push_back(w->handle);
  return all;
}

Window* windowDialogOf(HWND window) {
  Window* w = windowFind(window);
  while (w) {
    if (w->dialog) return w;
    if (!(w->style & WS_CHILD)) return nullptr;
    w = windowFind(w->parent);
  }
  return nullptr;
}

bool windowShowing(const Window* w) {
  while (w) {
    if (!(w->style & WS_VISIBLE)) return false;
    if (!(w->style & WS_CHILD)) return true;
    w = windowFind(w->parent);
  }
  return false;
}

bool windowUsable(const Window* w) {
  while (w) {
    if (w->style & WS_DISABLED) return false;
    if (!(w->style & WS_CHILD)) return true;
    w = windowFind(w->parent);
  }
  return false;
}

int windowCopyText(const std::string& text, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  int n = int(text.size()) < size - 1 ? int(text.size()) : size - 1;
  memcpy(buffer, text.data(), size_t(n));
  buffer[n] = '\0';
  return n;
}

LRESULT windowTextMessage(Window* w, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
  *handled = true;
  switch (message) {
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case WM_GETTEXT:
      return windowCopyText(w->text, reinterpret_cast<char*>(lParam), int(wParam));
    case WM_GETTEXTLENGTH:
      return LRESULT(w->text.size());
  }
  *handled = false;
  return 0;
}

void windowActivity() { ++table().activity; }
unsigned windowActivityCount() { return table().activity; }

// ---- Geometry ----

LONG unitsToPixelsX(LONG units) { return orvane_units_to_pixels_x(units); }
LONG unitsToPixelsY(LONG units) { return orvane_units_to_pixels_y(units); }
LONG pixelsToUnitsX(LONG pixels) { return orvane_pixels_to_units_x(pixels); }
LONG pixelsToUnitsY(LONG pixels) { return orvane_pixels_to_units_y(pixels); }

// ---- Reset ----

void platformResetWindows() {
  dialogsReset();
  queueClear();
  // Dropped without messages: whoever attached something to them is being reset as well.
  table().windows.clear();
}

// The name the other half of the layer calls from orvane_reset.
void platformResetDialogs() { platformResetWindows(); }

// ---- Win32 ----

WINBASEAPI BOOL WINAPI IsWindow(HWND hWnd) { return windowFind(hWnd) != nullptr; }

WINBASEAPI HWND WINAPI GetParent(HWND hWnd) {
  Window* w = valid(hWnd);
  return w ? w->parent : nullptr;
}

WINBASEAPI BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!valid(hWnd)) return FALSE;
  return windowDeliver(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) > 0;
}

WINBASEAPI int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (lpString && nMaxCount > 0) lpString[0] = '\0';
  if (!valid(hWnd) || !lpString || nMaxCount <= 0) return 0;
  return int(
      windowDeliver(hWnd, WM_GETTEXT, WPARAM(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

WINBASEAPI BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Window* w = valid(hWnd);
  if (!w) return FALSE;
  const bool was = (w->style & WS_VISIBLE) != 0;
  const bool show = nCmdShow != SW_HIDE;
  if (show == was) return was;
  if (show) {
    w->style |= WS_VISIBLE;
    w->invalid = w->erase = true;
  } else {
    w->style &= ~DWORD(WS_VISIBLE);
  }
  windowDeliver(hWnd, WM_SHOWWINDOW, show, 0);
  return was;
}

WINBASEAPI BOOL WINAPI IsWindowVisible(HWND hWnd) { return windowShowing(windowFind(hWnd)); }

WINBASEAPI BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  Window* w = valid(hWnd);
  if (!w) return FALSE;
  const bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (wasDisabled == !bEnable) return wasDisabled;
  if (bEnable)
    w->style &= ~DWORD(WS_DISABLED);
  else
    w->style |= WS_DISABLED;
  windowDeliver(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
  return wasDisabled;
}

WINBASEAPI BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  Window* w = windowFind(hWnd);
  return w && !(w->style & WS_DISABLED);
}

WINBASEAPI BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  Window* w = valid(hWnd);
  if (!w || !lpRect) return FALSE;
  POINT o = origin(w);
  *lpRect =
      RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
  return TRUE;
}

WINBASEAPI BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  Window* w = valid(hWnd);
  if (!w || !lpRect) return FALSE;
  *lpRect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

WINBASEAPI BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  Window* w = valid(hWnd);
  if (!w || !lpPoint) return FALSE;
  POINT o = origin(w);
  lpPoint->x += o.x;
  lpPoint->y += o.y;
  return TRUE;
}

WINBASEAPI BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  Window* w = valid(hWnd);
  if (!w || !lpPoint) return FALSE;
  POINT o = origin(w);
  lpPoint->x -= o.x;
  lpPoint->y -= o.y;
  return TRUE;
}

WINBASEAPI BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  Window* w = valid(hWnd);
  if (!w) return FALSE;
  w->rect = RECT{X, Y, X + nWidth, Y + nHeight};
  if (!w->fromTemplate)
    w->units = RECT{pixelsToUnitsX(X), pixelsToUnitsY(Y), pixelsToUnitsX(X + nWidth),
                    pixelsToUnitsY(Y + nHeight)};
  if (bRepaint) w->invalid = w->erase = true;
  windowDeliver(hWnd, WM_SIZE, 0, MAKELPARAM(nWidth, nHeight));
  return TRUE;
}

namespace {

// The value GetWindowLong(Ptr) reads at `index`: an attribute, or `width` window bytes (4 for
// GetWindowLong, an address's width for GetWindowLongPtr). False for an index out of range.
bool windowValue(const Window* w, int index, size_t width, LONG_PTR* value) {
  switch (index) {
    case GWL_STYLE:
      *value = LONG(w->style);
      return true;
    case GWL_EXSTYLE:
      *value = LONG(w->exStyle);
      return true;
    case GWL_ID:
      *value = w->id;
      return true;
    case GWLP_USERDATA:
      *value = w->userData;
      return true;
    case GWLP_WNDPROC:
      *value = reinterpret_cast<LONG_PTR>(w->proc);
      return true;
    case GWLP_HINSTANCE:
      *value = reinterpret_cast<LONG_PTR>(w->instance);
      return true;
    case GWLP_HWNDPARENT:
      *value = reinterpret_cast<LONG_PTR>(w->parent);
      return true;
  }
  if (index < 0 || size_t(index) + width > w->extra.size()) return false;
  *value = width == sizeof(LONG) ? windowExtra<LONG>(w, size_t(index))
                                 : windowExtra<LONG_PTR>(w, size_t(index));
  return true;
}

bool setWindowValue(Window* w, int index, size_t width, LONG_PTR value) {
  switch (index) {
    case GWL_STYLE:
      w->style = DWORD(value);
      return true;
    case GWL_EXSTYLE:
      w->exStyle = DWORD(value);
      return true;
    case GWL_ID:
      w->id = int(value);
      return true;
    case GWLP_USERDATA:
      w->userData = value;
      return true;
    case GWLP_WNDPROC:
      if (value == 0) return false;
      w->proc = reinterpret_cast<WNDPROC>(value);
      return true;
    case GWLP_HINSTANCE:
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return true;
    case GWLP_HWNDPARENT:
      if (w->style & WS_CHILD) return false;
      w->parent = reinterpret_cast<HWND>(value);
      return true;
  }
  if (index < 0 || size_t(index) + width > w->extra.size()) return false;
  if (width == sizeof(LONG))
    windowSetExtra<LONG>(w, size_t(index), LONG(value));
  else
    windowSetExtra<LONG_PTR>(w, size_t(index), value);
  return true;
}

LONG_PTR getWindowLong(HWND hWnd, int nIndex, size_t width) {
  Window* w = valid(hWnd);
  if (!w) return 0;
  LONG_PTR value = 0;
  if (windowValue(w, nIndex, width, &value)) return value;
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

LONG_PTR setWindowLong(HWND hWnd, int nIndex, size_t width, LONG_PTR value) {
  Window* w = valid(hWnd);
  if (!w) return 0;
  LONG_PTR old = 0;
  if (windowValue(w, nIndex, width, &old) && setWindowValue(w, nIndex, width, value)) return old;
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

}  // namespace

// GetWindowLong reads 32 bits: on x86-64 an address read through it loses its upper half, as
// on Win64, which is why code keeping addresses uses GetWindowLongPtr.
WINBASEAPI LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
  return LONG(getWindowLong(hWnd, nIndex, sizeof(LONG)));
}

WINBASEAPI LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  return LONG(setWindowLong(hWnd, nIndex, sizeof(LONG), dwNewLong));
}

#if !defined(__i386__)
WINBASEAPI LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  return getWindowLong(hWnd, nIndex, sizeof(LONG_PTR));
}

WINBASEAPI LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  return setWindowLong(hWnd, nIndex, sizeof(LONG_PTR), dwNewLong);
}
#endif

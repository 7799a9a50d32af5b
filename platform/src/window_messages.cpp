// Sent and posted messages, and painting. One queue serves the thread, as on Windows: a nested
// modal loop dispatches what was posted to the dialogs below it too. Painting follows the
// queue: an invalid window gets its WM_PAINT once nothing posted is waiting.
#include <deque>

#include "window_records.h"

namespace {

struct Posted {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::deque<Posted>& queue() {
  static auto* q = new std::deque<Posted>;
  return *q;
}

// Validates first, as BeginPaint does, so that a window invalidated while it paints is painted
// again. There is no device context: WM_ERASEBKGND carries 0.
void paint(Window* w) {
  const HWND h = w->handle;
  const bool erase = w->erase;
  w->invalid = w->erase = false;
  if (isControlProc(w->proc)) return;  // the system's controls draw nothing here
  if (erase) windowDeliver(h, WM_ERASEBKGND, 0, 0);
  windowDeliver(h, WM_PAINT, 0, 0);
}

}  // namespace

bool queuePost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  queue().push_back(Posted{window, message, wParam, lParam});
  return true;
}

bool queueDispatchOne() {
  if (queue().empty()) return false;
  Posted m = queue().front();
  queue().pop_front();
  // A thread message (no window) has nobody to go to without a loop of the host's own.
  if (m.window) windowDeliver(m.window, m.message, m.wParam, m.lParam);
  return true;
}

void queuePurge(HWND window) {
  auto& q = queue();
  for (auto it = q.begin(); it != q.end();) it = it->window == window ? q.erase(it) : it + 1;
}

void queueClear() { queue().clear(); }

bool paintOnePending() {
  for (HWND h : windowAll()) {
    Window* w = windowFind(h);
    if (w && w->invalid && windowShowing(w)) {
      paint(w);
      return true;
    }
  }
  return false;
}

void paintWindow(HWND window) {
  Window* w = windowFind(window);
  if (w && w->invalid && windowShowing(w)) paint(w);
}

WINBASEAPI LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!windowFind(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  windowActivity();
  return windowDeliver(hWnd, Msg, wParam, lParam);
}

WINBASEAPI BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd && !windowFind(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  windowActivity();
  return queuePost(hWnd, Msg, wParam, lParam);
}

WINBASEAPI BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  // A null window stands for all of them, as on Windows.
  std::vector<HWND> targets = hWnd ? std::vector<HWND>{hWnd} : windowAll();
  for (HWND h : targets) {
    Window* w = windowFind(h);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    // A hidden window has nothing on the screen to repaint; showing it invalidates it.
    if (!windowShowing(w)) continue;
    w->invalid = true;
    if (bErase) w->erase = true;
  }
  return TRUE;
}

// Paints the window now if it is invalid, then its children, as RedrawWindow with
// RDW_UPDATENOW does.
WINBASEAPI BOOL WINAPI UpdateWindow(HWND hWnd) {
  Window* w = windowFind(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  paintWindow(hWnd);
  w = windowFind(hWnd);
  if (!w) return TRUE;
  const std::vector<HWND> children = w->children;
  for (HWND child : children) UpdateWindow(child);
  return TRUE;
}

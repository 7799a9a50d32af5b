// Window classes and the life of windows the host or a plug-in creates itself: RegisterClassA,
// CreateWindowExA, DestroyWindow and the default window procedure.
#include <strings.h>

#include "window_records.h"

namespace {

// Registered classes stay registered across platformResetWindows, as they would for the life
// of a process: a host registers its classes once.
struct ClassTable {
  std::vector<std::unique_ptr<RegisteredClass>> classes;
  ATOM nextAtom = 0xC000;
};

ClassTable& classTable() {
  static ClassTable* t = new ClassTable;
  return *t;
}

}  // namespace

const RegisteredClass* classFind(LPCSTR nameOrAtom) {
  if (!nameOrAtom) return nullptr;
  for (auto& c : classTable().classes) {
    if (IS_INTRESOURCE(nameOrAtom)) {
      if (c->atom == ATOM(reinterpret_cast<ULONG_PTR>(nameOrAtom))) return c.get();
    } else if (strcasecmp(c->name.c_str(), nameOrAtom) == 0) {
      return c.get();
    }
  }
  return nullptr;
}

WINBASEAPI ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName ||
      IS_INTRESOURCE(lpWndClass->lpszClassName) || !lpWndClass->lpszClassName[0] ||
      lpWndClass->cbWndExtra < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (classFind(lpWndClass->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto c = std::make_unique<RegisteredClass>();
  c->name = lpWndClass->lpszClassName;
  c->cls = *lpWndClass;
  c->cls.lpszClassName = c->name.c_str();
  c->cls.lpszMenuName = nullptr;  // not kept: menus do not exist here
  c->atom = classTable().nextAtom++;
  const ATOM atom = c->atom;
  classTable().classes.push_back(std::move(c));
  return atom;
}

WINBASEAPI BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
  const RegisteredClass* c = classFind(lpClassName);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  for (HWND h : windowAll()) {
    Window* w = windowFind(h);
    if (w->registeredClass && strcasecmp(w->className.c_str(), c->name.c_str()) == 0) {
      SetLastError(ERROR_CLASS_HAS_WINDOWS);
      return FALSE;
    }
  }
  auto& classes = classTable().classes;
  for (auto it = classes.begin(); it != classes.end(); ++it)
    if (it->get() == c) {
      classes.erase(it);
      break;
    }
  return TRUE;
}

WINBASEAPI HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName,
                                       DWORD dwStyle, int X, int Y, int nWidth, int nHeight,
                                       HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                                       LPVOID lpParam) {
  std::string name;
  WNDPROC proc = nullptr;
  size_t extra = 0;
  const RegisteredClass* c = classFind(lpClassName);
  if (c) {
    name = c->name;
    proc = c->cls.lpfnWndProc;
    extra = size_t(c->cls.cbWndExtra);
  } else if (lpClassName && !IS_INTRESOURCE(lpClassName)) {
    proc = controlClassProc(lpClassName, &name);
  }
  if (!proc) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (X == CW_USEDEFAULT) X = Y = 0;
  if (nWidth == CW_USEDEFAULT) nWidth = nHeight = 0;
  const int id = (dwStyle & WS_CHILD) ? int(reinterpret_cast<INT_PTR>(hMenu)) : 0;
  Window* w = windowNew(name, proc, c != nullptr, lpWindowName, dwStyle, dwExStyle, id, hWndParent,
                        RECT{X, Y, X + nWidth, Y + nHeight}, extra);
  if (!w) return nullptr;
  w->instance = hInstance;
  const HWND h = w->handle;
  CREATESTRUCTA cs{lpParam, hInstance, hMenu,         hWndParent,   nHeight,      nWidth,
                   Y,       X,         LONG(dwStyle), lpWindowName, name.c_str(), dwExStyle};
  if (windowDeliver(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    windowDestroy(h);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return windowFind(h) ? h : nullptr;
}

WINBASEAPI BOOL WINAPI DestroyWindow(HWND hWnd) {
  if (!windowFind(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return windowDestroy(hWnd);
}

WINBASEAPI LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* w = windowFind(hWnd);
  if (!w) return 0;
  bool handled;
  LRESULT r = windowTextMessage(w, Msg, wParam, lParam, &handled);
  if (handled) return r;
  switch (Msg) {
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_ERASEBKGND:
    case WM_NCCREATE:
      return TRUE;
  }
  return 0;
}

WINBASEAPI LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                                          LPARAM lParam) {
  return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

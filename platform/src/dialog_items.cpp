// The dialog-item calls: controls found by id and worked on through their messages, as the
// system implements these calls.
#include "window_records.h"

namespace {

Window* dialogItem(HWND dialog, int id) {
  Window* d = windowFind(dialog);
  if (!d) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  for (HWND h : d->children)
    if (Window* c = windowFind(h); c && c->id == id) return c;
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

}  // namespace

WINBASEAPI HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  Window* c = dialogItem(hDlg, nIDDlgItem);
  return c ? c->handle : nullptr;
}

WINBASEAPI int WINAPI GetDlgCtrlID(HWND hWnd) {
  Window* w = windowFind(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return (w->style & WS_CHILD) ? w->id : 0;
}

WINBASEAPI BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  Window* c = dialogItem(hDlg, nIDDlgItem);
  return c ? SetWindowTextA(c->handle, lpString) : FALSE;
}

WINBASEAPI UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  Window* c = dialogItem(hDlg, nIDDlgItem);
  if (!c) {
    if (lpString && cchMax > 0) lpString[0] = '\0';
    return 0;
  }
  return UINT(GetWindowTextA(c->handle, lpString, cchMax));
}

WINBASEAPI BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  Window* c = dialogItem(hDlg, nIDButton);
  if (!c) return FALSE;
  windowDeliver(c->handle, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

WINBASEAPI UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  Window* c = dialogItem(hDlg, nIDButton);
  return c ? UINT(windowDeliver(c->handle, BM_GETCHECK, 0, 0)) : 0;
}

// Checks the button with id nIDCheckButton and unchecks every other control of the dialog
// whose id lies in the range, whatever its position in the template.
WINBASEAPI BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton,
                                        int nIDCheckButton) {
  Window* d = windowFind(hDlg);
  if (!d) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const std::vector<HWND> children = d->children;
  for (HWND h : children) {
    Window* c = windowFind(h);
    if (c && c->id >= nIDFirstButton && c->id <= nIDLastButton)
      windowDeliver(h, BM_SETCHECK, c->id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

WINBASEAPI LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                              LPARAM lParam) {
  Window* c = dialogItem(hDlg, nIDDlgItem);
  return c ? SendMessageA(c->handle, Msg, wParam, lParam) : 0;
}

WINBASEAPI BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
  Window* d = windowFind(hDlg);
  if (!d || !d->dialog) {
    SetLastError(d ? ERROR_WINDOW_NOT_DIALOG : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!lpRect) return FALSE;
  lpRect->left = unitsToPixelsX(lpRect->left);
  lpRect->right = unitsToPixelsX(lpRect->right);
  lpRect->top = unitsToPixelsY(lpRect->top);
  lpRect->bottom = unitsToPixelsY(lpRect->bottom);
  return TRUE;
}

// The person in front of the screen, as the host describes it, and what the plug-ins ask of
// that person directly: message boxes, the beep and help. Nothing is shown or read here; the
// host decides that through its OrvaneUser.
#include "internal.h"

namespace {

// Constant-initialised: usable before any static constructor of another file has run.
OrvaneUser installedUser{};

constexpr UINT kAbortRetryIgnore = 0x2;   // MB_ABORTRETRYIGNORE
constexpr UINT kRetryCancel = 0x5;        // MB_RETRYCANCEL
constexpr UINT kCancelTryContinue = 0x6;  // MB_CANCELTRYCONTINUE

// The first button of a message box of this type: what a person who only confirms presses.
int firstButton(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
      return IDYES;
    case kAbortRetryIgnore:
      return IDABORT;
    case kRetryCancel:
      return IDRETRY;
    case kCancelTryContinue:
      return IDCANCEL;
    default:
      return IDOK;
  }
}

}  // namespace

const OrvaneUser* platformUser() { return &installedUser; }

void userReset() { installedUser = OrvaneUser{}; }

extern "C" ORVANE_EXPORT void orvane_set_user(const OrvaneUser* user) {
  installedUser = user ? *user : OrvaneUser{};
}

WINBASEAPI int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  const OrvaneUser* u = platformUser();
  if (!u->messageBox) return firstButton(uType);
  // Windows shows no text for a null text and "Error" for a null caption.
  return u->messageBox(u->context, hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "Error",
                       uType);
}

WINBASEAPI BOOL WINAPI MessageBeep(UINT uType) {
  const OrvaneUser* u = platformUser();
  if (u->beep) u->beep(u->context, uType);
  return TRUE;
}

WINBASEAPI BOOL WINAPI WinHelpA(HWND hWndMain, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData) {
  const OrvaneUser* u = platformUser();
  if (u->help) u->help(u->context, hWndMain, lpszHelp, uCommand, dwData);
  return TRUE;
}

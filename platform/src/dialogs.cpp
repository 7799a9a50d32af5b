// Modal dialogs from the templates of a module's resource script: creation, the dialog's window
// procedure around the plug-in's dialog procedure, EndDialog, and the modal loop in which the
// person (OrvaneUser) acts. The loop never hangs; windows.h states its rule.
#include <stdio.h>

#include "rc_parser.h"
#include "window_records.h"

namespace {

// A person who says "busy" this often in a row without doing anything is done.
constexpr int kIdleCallsWithoutAction = 1000;
// Messages and paints in a row without the queue ever running empty: a dialog that keeps
// posting to itself is given up.
constexpr int kMessagesWithoutRest = 100000;

const char* const kDialogClass = "#32770";

struct DialogsState {
  std::vector<HWND> stack;
  std::string error;
};

DialogsState& state() {
  static auto* s = new DialogsState;
  return *s;
}

INT_PTR fail(DWORD code, const std::string& why) {
  state().error = why;
  // The host has no other way to learn why a plug-in's dialog did not open.
  fprintf(stderr, "orvanewin32: %s\n", why.c_str());
  SetLastError(code);
  return -1;
}

std::string templateName(int id, const char* name) {
  return name ? std::string("dialog \"") + name + "\"" : "dialog " + std::to_string(id);
}

// Messages whose answer is the dialog procedure's own return value rather than DWLP_MSGRESULT.
bool answersDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case 0x002E:  // WM_VKEYTOITEM
    case 0x002F:  // WM_CHARTOITEM
    case 0x0037:  // WM_QUERYDRAGICON
    case 0x0039:  // WM_COMPAREITEM
      return true;
  }
  return message >= 0x0132 && message <= 0x0138;  // WM_CTLCOLOR*
}

// What the system's dialog procedure does with a message the plug-in's procedure declined.
LRESULT defaultDialogMessage(Window* d, UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled;
  LRESULT r = windowTextMessage(d, message, wParam, lParam, &handled);
  if (handled) return r;
  switch (message) {
    case WM_CLOSE: {
      // The close box presses Cancel, unless Cancel is there and disabled.
      HWND cancel = nullptr;
      for (HWND h : d->children)
        if (Window* c = windowFind(h); c && c->id == IDCANCEL) {
          cancel = h;
          break;
        }
      if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return 0;
      }
      queuePost(d->handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(cancel));
      return 0;
    }
    case WM_ERASEBKGND:
      return TRUE;
  }
  return 0;
}

Window* createControl(HWND dialog, HINSTANCE instance, const RcControl& c) {
  std::string name = c.className;
  WNDPROC proc = nullptr;
  size_t extra = 0;
  const RegisteredClass* registered = classFind(name.c_str());
  if (registered) {
    name = registered->name;
    proc = registered->cls.lpfnWndProc;
    extra = size_t(registered->cls.cbWndExtra);
  } else if (!(proc = controlClassProc(name, &name))) {
    // A class nobody registered: a plain window, so that a template written for other systems
    // still opens.
    proc = DefWindowProcA;
  }
  const LONG x = unitsToPixelsX(c.x), y = unitsToPixelsY(c.y);
  const RECT pixels{x, y, x + unitsToPixelsX(c.width), y + unitsToPixelsY(c.height)};
  Window* w = windowNew(name, proc, registered != nullptr, c.text.c_str(), c.style | WS_CHILD,
                        c.exStyle, c.id, dialog, pixels, extra);
  if (!w) return nullptr;
  w->fromTemplate = true;
  w->instance = instance;
  w->units = RECT{c.x, c.y, c.x + c.width, c.y + c.height};
  if (registered) {
    const HWND h = w->handle;
    CREATESTRUCTA cs{nullptr,
                     instance,
                     reinterpret_cast<HMENU>(INT_PTR(c.id)),
                     dialog,
                     int(pixels.bottom - pixels.top),
                     int(pixels.right - pixels.left),
                     int(pixels.top),
                     int(pixels.left),
                     LONG(c.style | WS_CHILD),
                     c.text.c_str(),
                     name.c_str(),
                     c.exStyle};
    if (windowDeliver(h, WM_CREATE, 0, LPARAM(&cs)) == -1) return nullptr;
    w = windowFind(h);
  }
  return w;
}

// The dialog window and its controls, hidden until WM_INITDIALOG has run.
HWND createDialog(const RcDialog& t, HINSTANCE instance, HWND owner, DLGPROC proc) {
  const RECT pixels{0, 0, unitsToPixelsX(t.width), unitsToPixelsY(t.height)};
  Window* d = windowNew(t.className.empty() ? kDialogClass : t.className, dialogWindowProc, false,
                        t.caption.c_str(), t.style & ~DWORD(WS_VISIBLE | WS_CHILD), t.exStyle, 0,
                        owner, pixels, DLGWINDOWEXTRA);
  if (!d) return nullptr;
  const HWND dialog = d->handle;
  d->instance = instance;
  d->units = RECT{t.x, t.y, t.x + t.width, t.y + t.height};
  d->dialog = std::make_unique<DialogState>(
      DialogState{t.id > 0 ? t.id : 0, t.width, t.height, false, false, 0});
  windowSetExtra<LONG_PTR>(d, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  for (const RcControl& c : t.controls) {
    if (!createControl(dialog, instance, c)) {
      windowDestroy(dialog);
      char why[96];
      snprintf(why, sizeof why, "control %d of line %d could not be created", c.id, c.line);
      fail(ERROR_CANNOT_FIND_WND_CLASS, templateName(t.id, nullptr) + ": " + why);
      return nullptr;
    }
  }
  return dialog;
}

// The control that gets the focus first: the first visible, enabled tab stop.
HWND firstTabStop(HWND dialog) {
  Window* d = windowFind(dialog);
  if (!d) return nullptr;
  for (HWND h : d->children) {
    Window* c = windowFind(h);
    if (c && (c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED))
      return h;
  }
  return nullptr;
}

void giveUp(Window* d) {
  d->dialog->ended = true;
  d->dialog->result = -1;
}

INT_PTR runModal(HWND dialog, HWND owner, LPARAM param, int resource) {
  // The owner cannot be used while its modal dialog is open.
  bool reenableOwner = false;
  if (Window* o = windowFind(owner); o && !(o->style & WS_DISABLED)) {
    EnableWindow(owner, FALSE);
    reenableOwner = true;
  }
  windowFind(dialog)->dialog->running = true;
  state().stack.push_back(dialog);

  windowDeliver(dialog, WM_INITDIALOG, WPARAM(firstTabStop(dialog)), param);
  Window* d = windowFind(dialog);
  if (d && !d->dialog->ended) {
    d->style |= WS_VISIBLE;
    d->invalid = d->erase = true;
    const OrvaneUser* u = platformUser();
    if (u->dialogShown) u->dialogShown(u->context, dialog, resource);
  }

  bool closePosted = false, gaveUp = false;
  int idleWithoutAction = 0, busy = 0;
  for (;;) {
    d = windowFind(dialog);
    if (!d || d->dialog->ended) break;
    if (queueDispatchOne() || paintOnePending()) {
      if (++busy >= kMessagesWithoutRest) {
        if ((d = windowFind(dialog)) && !d->dialog->ended) giveUp(d), gaveUp = true;
      }
      continue;
    }
    busy = 0;
    if (closePosted) {
      // Closed as a person closes it, and still open: nothing more will happen.
      giveUp(d);
      gaveUp = true;
      continue;
    }
    const OrvaneUser* u = platformUser();
    bool acting = false;
    if (u->dialogIdle) {
      const unsigned before = windowActivityCount();
      acting = u->dialogIdle(u->context, dialog, resource) != 0;
      if (acting && windowActivityCount() == before) {
        if (++idleWithoutAction >= kIdleCallsWithoutAction) acting = false;
      } else {
        idleWithoutAction = 0;
      }
    }
    if (!acting) {
      d = windowFind(dialog);
      if (!d || d->dialog->ended) continue;
      queuePost(dialog, WM_CLOSE, 0, 0);
      closePosted = true;
    }
  }

  INT_PTR result = -1;
  if ((d = windowFind(dialog))) {
    result = d->dialog->result;
    const OrvaneUser* u = platformUser();
    if (u->dialogEnded) u->dialogEnded(u->context, dialog, resource, result);
    if ((d = windowFind(dialog))) {
      d->dialog->running = false;
      windowDestroy(dialog);
    }
  }
  auto& stack = state().stack;
  for (auto it = stack.begin(); it != stack.end(); ++it)
    if (*it == dialog) {
      stack.erase(it);
      break;
    }
  if (reenableOwner && windowFind(owner)) EnableWindow(owner, TRUE);
  if (gaveUp) SetLastError(ERROR_TIMEOUT);
  return result;
}

INT_PTR runFromScript(const char* script, HINSTANCE instance, int id, const char* name, HWND owner,
                      DLGPROC proc, LPARAM param) {
  std::vector<RcDialog> dialogs;
  std::string error;
  if (!rcParseDialogs(script, &dialogs, &error))
    return fail(ERROR_INVALID_DATA, "resource script " + error);
  const RcDialog* t = rcFindDialog(dialogs, id, name);
  if (!t) return fail(ERROR_RESOURCE_NAME_NOT_FOUND, "no " + templateName(id, name));
  state().error.clear();
  const HWND dialog = createDialog(*t, instance, owner, proc);
  if (!dialog) return -1;
  return runModal(dialog, owner, param, t->id > 0 ? t->id : 0);
}

}  // namespace

LRESULT CALLBACK dialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* d = windowFind(dialog);
  if (!d) return 0;
  DLGPROC proc = reinterpret_cast<DLGPROC>(windowExtra<LONG_PTR>(d, DWLP_DLGPROC));
  const INT_PTR handled = proc ? proc(dialog, message, wParam, lParam) : FALSE;
  d = windowFind(dialog);
  if (!d) return handled;
  if (handled) return answersDirectly(message) ? handled : windowExtra<LONG_PTR>(d, DWLP_MSGRESULT);
  return defaultDialogMessage(d, message, wParam, lParam);
}

const std::vector<HWND>& dialogStack() { return state().stack; }

void dialogsReset() {
  state().stack.clear();
  state().error.clear();
}

INT_PTR dialogBoxFromScript(const char* script, int resource, HWND owner, DLGPROC proc,
                            LPARAM param) {
  return runFromScript(script ? script : "", nullptr, resource, nullptr, owner, proc, param);
}

const char* platformDialogError() { return state().error.c_str(); }

WINBASEAPI INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName,
                                          HWND hWndParent, DLGPROC lpDialogFunc,
                                          LPARAM dwInitParam) {
  const int id = IS_INTRESOURCE(lpTemplateName) ? LOWORD(lpTemplateName) : 0;
  const char* name = IS_INTRESOURCE(lpTemplateName) ? nullptr : lpTemplateName;
  const char* script = moduleResourceScript(hInstance);
  if (!script) return fail(ERROR_RESOURCE_DATA_NOT_FOUND, "the module has no resource script");
  return runFromScript(script, hInstance, id, name, hWndParent, lpDialogFunc, dwInitParam);
}

WINBASEAPI BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  Window* d = windowFind(hDlg);
  if (!d || !d->dialog) {
    SetLastError(d ? ERROR_WINDOW_NOT_DIALOG : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  windowActivity();
  d->dialog->ended = true;
  d->dialog->result = nResult;
  return TRUE;
}

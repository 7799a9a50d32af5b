// The system's control classes as a dialog's controls behave: statics, buttons (push, check
// box, radio button, group box), edits, combo boxes and list boxes, with the messages the
// plug-ins send them. Nothing is drawn; the state is what a person would see.
#include <string.h>
#include <strings.h>

#include "window_records.h"

namespace {

int buttonType(const Window* w) { return int(w->style & BS_TYPEMASK); }

bool isCheckType(int type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
         type == BS_AUTO3STATE;
}
bool isRadioType(int type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

void notifyParent(const Window* w, int code) {
  const HWND self = w->handle;
  const HWND parent = w->parent;
  const int id = w->id;
  if (w->style & WS_CHILD) windowDeliver(parent, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(self));
}

LRESULT CALLBACK staticProc(HWND h, UINT m, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(h, m, wParam, lParam);
}

LRESULT CALLBACK buttonProc(HWND h, UINT m, WPARAM wParam, LPARAM lParam) {
  Window* w = windowFind(h);
  if (!w) return 0;
  const int type = buttonType(w);
  const bool checkable = isCheckType(type) || isRadioType(type);
  switch (m) {
    case BM_GETCHECK:
      return checkable ? w->check : BST_UNCHECKED;
    case BM_GETSTATE:
      return checkable ? w->check : BST_UNCHECKED;
    case BM_SETCHECK:
      if (checkable) {
        const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
        w->check = threeState && wParam == BST_INDETERMINATE ? BST_INDETERMINATE
                                                             : (wParam ? BST_CHECKED : 0);
      }
      return 0;
    case BM_SETSTYLE:
      w->style = (w->style & ~DWORD(0xFFFF)) | LOWORD(wParam);
      return 0;
    case BM_CLICK:
      if (!(w->style & WS_DISABLED)) controlClick(h);
      return 0;
  }
  return DefWindowProcA(h, m, wParam, lParam);
}

LRESULT CALLBACK editProc(HWND h, UINT m, WPARAM wParam, LPARAM lParam) {
  Window* w = windowFind(h);
  if (!w) return 0;
  switch (m) {
    case WM_SETTEXT:
      // The limit binds typing only; a program may set any text. The edit reports the change
      // as it does for typing.
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      notifyParent(w, EN_CHANGE);
      return TRUE;
    case EM_LIMITTEXT:
      w->textLimit = wParam ? int(wParam) : 0x7FFFFFFE;
      return 0;
    case EM_GETLIMITTEXT:
      return w->textLimit;
    case EM_SETREADONLY:
      if (wParam)
        w->style |= ES_READONLY;
      else
        w->style &= ~DWORD(ES_READONLY);
      return TRUE;
    case EM_SETSEL:
    case EM_GETSEL:
      return 0;
  }
  return DefWindowProcA(h, m, wParam, lParam);
}

// ---- Lists: what combo boxes and list boxes share ----

bool lessNoCase(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) < 0; }

// Searches from the item after `start` (-1: the first), wrapping round, without regard to case.
int findItem(const Window* w, WPARAM start, const char* text, bool exact) {
  const int n = int(w->items.size());
  if (!text || n == 0) return -1;
  const int first = int(start) < 0 || int(start) >= n ? 0 : int(start) + 1;
  const size_t len = strlen(text);
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n;
    const std::string& item = w->items[size_t(i)];
    if (exact ? strcasecmp(item.c_str(), text) == 0 : strncasecmp(item.c_str(), text, len) == 0)
      return i;
  }
  return -1;
}

int insertItem(Window* w, int index, const char* text, bool sorted) {
  const std::string item = text ? text : "";
  const int n = int(w->items.size());
  if (sorted) {
    index = 0;
    while (index < n && !lessNoCase(item, w->items[size_t(index)].c_str())) ++index;
  } else if (index < 0) {
    index = n;
  } else if (index > n) {
    return -1;
  }
  w->items.insert(w->items.begin() + index, item);
  w->itemData.insert(w->itemData.begin() + index, 0);
  if (w->selection >= index) ++w->selection;
  return index;
}

// Selects item `index` (-1 or out of range: none); a combo box shows it in its text.
LRESULT selectItem(Window* w, int index, bool combo) {
  const bool valid = index >= 0 && index < int(w->items.size());
  w->selection = valid ? index : -1;
  if (combo) w->text = valid ? w->items[size_t(index)] : "";
  return valid ? index : -1;
}

// The list messages, given as their combo box names; `handled` false for other messages.
LRESULT listMessage(Window* w, UINT op, WPARAM wParam, LPARAM lParam, bool combo, bool sorted,
                    bool* handled) {
  *handled = true;
  const char* text = reinterpret_cast<const char*>(lParam);
  const int n = int(w->items.size());
  const int index = int(wParam);
  const bool inRange = index >= 0 && index < n;
  switch (op) {
    case CB_ADDSTRING:
      return insertItem(w, -1, text, sorted);
    case CB_INSERTSTRING:
      return insertItem(w, index, text, false);
    case CB_DELETESTRING:
      if (!inRange) return -1;
      w->items.erase(w->items.begin() + index);
      w->itemData.erase(w->itemData.begin() + index);
      if (w->selection == index)
        selectItem(w, -1, combo);
      else if (w->selection > index)
        --w->selection;
      return LRESULT(w->items.size());
    case CB_RESETCONTENT:
      w->items.clear();
      w->itemData.clear();
      selectItem(w, -1, combo);
      return 0;
    case CB_GETCOUNT:
      return n;
    case CB_GETCURSEL:
      return w->selection;
    case CB_SETCURSEL:
      return selectItem(w, index, combo);
    case CB_GETLBTEXT:
      if (!inRange || !text) return -1;
      strcpy(reinterpret_cast<char*>(lParam), w->items[size_t(index)].c_str());
      return LRESULT(w->items[size_t(index)].size());
    case CB_GETLBTEXTLEN:
      return inRange ? LRESULT(w->items[size_t(index)].size()) : -1;
    case CB_FINDSTRINGEXACT:
      return findItem(w, wParam, text, true);
    case CB_FINDSTRING:
      return findItem(w, wParam, text, false);
    case CB_SELECTSTRING: {
      int found = findItem(w, wParam, text, false);
      return found < 0 ? -1 : selectItem(w, found, combo);
    }
    case CB_GETITEMDATA:
      return inRange ? w->itemData[size_t(index)] : -1;
    case CB_SETITEMDATA:
      if (!inRange) return -1;
      w->itemData[size_t(index)] = lParam;
      return TRUE;
  }
  *handled = false;
  return 0;
}

LRESULT CALLBACK comboProc(HWND h, UINT m, WPARAM wParam, LPARAM lParam) {
  Window* w = windowFind(h);
  if (!w) return 0;
  const bool dropList = (w->style & 3) == CBS_DROPDOWNLIST;
  if (m == WM_SETTEXT && dropList) {
    // A drop-down list shows only its items: the text selects the item that matches it.
    int found = findItem(w, WPARAM(-1), reinterpret_cast<const char*>(lParam), true);
    return found < 0 ? CB_ERR : (selectItem(w, found, true), TRUE);
  }
  if (m == CB_LIMITTEXT) return TRUE;
  bool handled;
  LRESULT r = listMessage(w, m, wParam, lParam, true, (w->style & CBS_SORT) != 0, &handled);
  return handled ? r : DefWindowProcA(h, m, wParam, lParam);
}

// List box messages mapped onto their combo box counterparts.
UINT listBoxOp(UINT m) {
  switch (m) {
    case LB_ADDSTRING:
      return CB_ADDSTRING;
    case LB_INSERTSTRING:
      return CB_INSERTSTRING;
    case LB_DELETESTRING:
      return CB_DELETESTRING;
    case LB_RESETCONTENT:
      return CB_RESETCONTENT;
    case LB_GETCOUNT:
      return CB_GETCOUNT;
    case LB_GETCURSEL:
      return CB_GETCURSEL;
    case LB_SETCURSEL:
      return CB_SETCURSEL;
    case LB_GETTEXT:
      return CB_GETLBTEXT;
    case LB_GETTEXTLEN:
      return CB_GETLBTEXTLEN;
    case LB_FINDSTRINGEXACT:
      return CB_FINDSTRINGEXACT;
    case LB_FINDSTRING:
      return CB_FINDSTRING;
    case LB_SELECTSTRING:
      return CB_SELECTSTRING;
    case LB_GETITEMDATA:
      return CB_GETITEMDATA;
    case LB_SETITEMDATA:
      return CB_SETITEMDATA;
  }
  return 0;
}

LRESULT CALLBACK listBoxProc(HWND h, UINT m, WPARAM wParam, LPARAM lParam) {
  Window* w = windowFind(h);
  if (!w) return 0;
  if (UINT op = listBoxOp(m)) {
    bool handled;
    return listMessage(w, op, wParam, lParam, false, (w->style & LBS_SORT) != 0, &handled);
  }
  return DefWindowProcA(h, m, wParam, lParam);
}

LRESULT CALLBACK scrollBarProc(HWND h, UINT m, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(h, m, wParam, lParam);
}

const struct {
  const char* name;
  WNDPROC proc;
} kControlClasses[] = {
    {"Static", staticProc},  {"Button", buttonProc},   {"Edit", editProc},
    {"ComboBox", comboProc}, {"ListBox", listBoxProc}, {"ScrollBar", scrollBarProc},
};

}  // namespace

WNDPROC controlClassProc(const std::string& className, std::string* canonical) {
  for (const auto& c : kControlClasses)
    if (strcasecmp(className.c_str(), c.name) == 0) {
      if (canonical) *canonical = c.name;
      return c.proc;
    }
  return nullptr;
}

bool isControlProc(WNDPROC proc) {
  for (const auto& c : kControlClasses)
    if (c.proc == proc) return true;
  return false;
}

int controlKind(const Window* w) {
  if (w->registeredClass) return kOrvaneCustom;
  const std::string& c = w->className;
  if (c == "Static") return kOrvaneStatic;
  if (c == "Edit") return kOrvaneEdit;
  if (c == "ComboBox") return kOrvaneComboBox;
  if (c == "Button") {
    const int type = buttonType(w);
    if (type == BS_GROUPBOX) return kOrvaneGroupBox;
    if (isCheckType(type)) return kOrvaneCheckBox;
    if (isRadioType(type)) return kOrvaneRadioButton;
    return kOrvanePushButton;
  }
  return kOrvaneUnknown;
}

const char* controlKindName(int kind) { return orvane_control_kind_name(kind); }

std::vector<HWND> controlGroup(HWND control) {
  Window* w = windowFind(control);
  Window* parent = w && (w->style & WS_CHILD) ? windowFind(w->parent) : nullptr;
  if (!parent) return {};
  const std::vector<HWND>& siblings = parent->children;
  const int n = int(siblings.size());
  int at = 0;
  while (at < n && siblings[size_t(at)] != control) ++at;
  if (at == n) return {};
  auto grouped = [&](int i) {
    Window* s = windowFind(siblings[size_t(i)]);
    return s && (s->style & WS_GROUP);
  };
  int first = at;
  while (first > 0 && !grouped(first)) --first;
  int end = at + 1;
  while (end < n && !grouped(end)) ++end;
  return std::vector<HWND>(siblings.begin() + first, siblings.begin() + end);
}

void controlClick(HWND control) {
  Window* w = windowFind(control);
  if (!w) return;
  if (w->className == "Static" && !w->registeredClass) {
    if (w->style & SS_NOTIFY) notifyParent(w, STN_CLICKED);
    return;
  }
  if (w->className != "Button" || w->registeredClass) return;
  switch (buttonType(w)) {
    case BS_AUTOCHECKBOX:
      w->check = w->check ? BST_UNCHECKED : BST_CHECKED;
      break;
    case BS_AUTO3STATE:
      w->check = (w->check + 1) % 3;
      break;
    case BS_AUTORADIOBUTTON:
      for (HWND other : controlGroup(control)) {
        Window* o = windowFind(other);
        if (o && other != control && controlKind(o) == kOrvaneRadioButton) o->check = 0;
      }
      w->check = BST_CHECKED;
      break;
  }
  notifyParent(w, BN_CLICKED);
}

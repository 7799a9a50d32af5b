// What the person sees of a real dialog and what they do to its controls: the inspection and
// action calls of orvane_platform.h over the real system. Positions and sizes come from the
// plug-in's own dialog template, so they are the dialog units the Linux layer reports; windows
// the host created (the displays) are measured on the screen and follow the template's controls.
#include <windows.h>
#include <orvane_platform.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/person/win32/user_hooks_win32.h"
#include "host/pictures/display.h"

namespace {

// ---- The template ----

struct TemplateItem {
  RECT units;  // x, y, x + width, y + height
  int id;
  std::string text;  // the template's text; a resource ordinal as its decimal number
};
struct Template {
  bool read = false;
  int width = 0, height = 0;  // dialog units
  std::vector<TemplateItem> items;
};

const BYTE* skipText(const BYTE* p) {  // a name or ordinal field, or a UTF-16 string
  auto* w = reinterpret_cast<const WORD*>(p);
  if (*w == 0xFFFF) return p + 4;
  while (*w) ++w;
  return reinterpret_cast<const BYTE*>(w + 1);
}

// A template text field: "107" for the ordinal 107, else the string in the system's code page.
std::string textField(const BYTE* p) {
  auto* w = reinterpret_cast<const WORD*>(p);
  if (*w == 0xFFFF) return std::to_string(w[1]);
  std::string text;
  for (; *w; ++w) text += static_cast<char>(*w < 0x100 ? *w : '?');
  return text;
}

const BYTE* alignDword(const BYTE* p, const BYTE* start) { return start + ((p - start + 3) & ~3); }

// DLGTEMPLATE and DLGTEMPLATEEX: the dialog's size and every item's rectangle and id.
Template readTemplate(HINSTANCE module, int resource) {
  Template t;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resource), MAKEINTRESOURCEA(5));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  auto* start = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
  if (!start) return t;
  auto word = [](const BYTE* p) { return *reinterpret_cast<const WORD*>(p); };
  auto shortAt = [](const BYTE* p) { return *reinterpret_cast<const short*>(p); };
  auto dword = [](const BYTE* p) { return *reinterpret_cast<const DWORD*>(p); };
  const bool extended = word(start) == 1 && word(start + 2) == 0xFFFF;
  const BYTE* p = start;
  DWORD style;
  int count;
  if (extended) {
    style = dword(p + 12);
    count = word(p + 16);
    t.width = shortAt(p + 22);
    t.height = shortAt(p + 24);
    p += 26;
  } else {
    style = dword(p);
    count = word(p + 8);
    t.width = shortAt(p + 14);
    t.height = shortAt(p + 16);
    p += 18;
  }
  p = skipText(skipText(skipText(p)));  // menu, class, caption
  if (style & DS_SETFONT) p = skipText(p + (extended ? 6 : 2));
  for (int i = 0; i < count; ++i) {
    p = alignDword(p, start);
    TemplateItem item;
    int x, y, cx, cy;
    if (extended) {
      x = shortAt(p + 12), y = shortAt(p + 14), cx = shortAt(p + 16), cy = shortAt(p + 18);
      item.id = static_cast<int>(dword(p + 20));
      p += 24;
    } else {
      x = shortAt(p + 8), y = shortAt(p + 10), cx = shortAt(p + 12), cy = shortAt(p + 14);
      item.id = static_cast<short>(word(p + 16));
      p += 18;
    }
    item.units = {x, y, x + cx, y + cy};
    p = skipText(p);  // class
    item.text = textField(p);
    p = skipText(p);
    p += 2 + word(p);  // creation data
    t.items.push_back(item);
  }
  t.read = true;
  return t;
}

// ---- Controls ----

bool isHostWindow(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return std::strcmp(name, orvane::kDisplayClassName) == 0;
}

// Template controls in creation order, then the windows the host laid over them.
std::vector<HWND> controlsOf(HWND dialog) {
  std::vector<HWND> own, host;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    (isHostWindow(c) ? host : own).push_back(c);
  }
  own.insert(own.end(), host.begin(), host.end());
  return own;
}

int kindOf(HWND window, DWORD style) {
  if (isHostWindow(window)) return kOrvaneCustom;
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, "Static") == 0) return kOrvaneStatic;
  if (lstrcmpiA(name, "Edit") == 0) return kOrvaneEdit;
  if (lstrcmpiA(name, "ComboBox") == 0) return kOrvaneComboBox;
  if (lstrcmpiA(name, "Button") != 0) return kOrvaneUnknown;
  switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX:
      return kOrvaneGroupBox;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return kOrvaneCheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return kOrvaneRadioButton;
    default:
      return kOrvanePushButton;
  }
}

// Screen pixels back to the dialog's units, for windows no template describes.
RECT unitsOf(HWND dialog, HWND window) {
  RECT base{0, 0, 4, 8};
  MapDialogRect(dialog, &base);
  RECT r{};
  GetWindowRect(window, &r);
  POINT corner{r.left, r.top};
  ScreenToClient(dialog, &corner);
  int bx = base.right > 0 ? base.right : 1, by = base.bottom > 0 ? base.bottom : 1;
  int x = MulDiv(corner.x, 4, bx), y = MulDiv(corner.y, 8, by);
  return {x, y, x + MulDiv(r.right - r.left, 4, bx), y + MulDiv(r.bottom - r.top, 8, by)};
}

Template templateOf(HWND dialog) {
  HINSTANCE module = nullptr;
  int resource = 0;
  if (!orvane::hookedDialogOf(dialog, &module, &resource)) return {};
  return readTemplate(module, resource);
}

// A person reaches a control that shows and is enabled, in a dialog that shows.
bool reachable(HWND control) {
  return control && IsWindow(control) && IsWindowVisible(control) && IsWindowEnabled(control);
}

}  // namespace

extern "C" {

int orvane_dialog_control_count(HWND dialog) {
  return dialog && IsWindow(dialog) ? static_cast<int>(controlsOf(dialog).size()) : 0;
}

int orvane_dialog_control(HWND dialog, int index, OrvaneControlInfo* out) {
  if (!dialog || !out || !IsWindow(dialog)) return -1;
  std::vector<HWND> controls = controlsOf(dialog);
  if (index < 0 || index >= static_cast<int>(controls.size())) return -1;
  HWND c = controls[index];
  *out = OrvaneControlInfo{};
  out->window = c;
  out->style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
  out->kind = kindOf(c, out->style);
  out->kindName = orvane_control_kind_name(out->kind);
  GetClassNameA(c, out->className, sizeof out->className);
  int id = GetDlgCtrlID(c);
  out->id = id == 0xFFFF ? -1 : id;
  if (out->kind == kOrvaneComboBox) {
    LRESULT item = SendMessageA(c, CB_GETCURSEL, 0, 0);
    LRESULT length = item == CB_ERR ? CB_ERR : SendMessageA(c, CB_GETLBTEXTLEN, item, 0);
    if (length != CB_ERR && length < static_cast<LRESULT>(sizeof out->text)) {
      SendMessageA(c, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(out->text));
    }
  } else {
    GetWindowTextA(c, out->text, sizeof out->text);
  }
  Template t = templateOf(dialog);
  // A picture's static names its image resource in the template, as on the Linux layer; its
  // window text is no text.
  const DWORD type = out->style & SS_TYPEMASK;
  if (out->kind == kOrvaneStatic && (type == SS_BITMAP || type == SS_ICON) && t.read &&
      index < static_cast<int>(t.items.size()))
    std::snprintf(out->text, sizeof out->text, "%s", t.items[index].text.c_str());
  if (out->kind == kOrvaneCheckBox || out->kind == kOrvaneRadioButton) {
    out->checked = SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  out->enabled = IsWindowEnabled(c) ? 1 : 0;
  out->visible = (out->style & WS_VISIBLE) ? 1 : 0;
  if (out->kind != kOrvaneCustom && t.read && index < static_cast<int>(t.items.size())) {
    out->rect = t.items[index].units;
  } else {
    out->rect = unitsOf(dialog, c);
  }
  return 0;
}

int orvane_dialog_resource(HWND dialog) {
  int resource = 0;
  return orvane::hookedDialogOf(dialog, nullptr, &resource) ? resource : 0;
}

int orvane_dialog_size(HWND dialog, int* width, int* height) {
  Template t = templateOf(dialog);
  if (!t.read) return 0;
  if (width) *width = t.width;
  if (height) *height = t.height;
  return 1;
}

int orvane_combo_count(HWND combo) {
  LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  return n == CB_ERR ? 0 : static_cast<int>(n);
}

int orvane_combo_item(HWND combo, int index, char* text, int size) {
  if (!text || size <= 0) return -1;
  text[0] = '\0';
  LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return -1;
  std::string item(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
  std::snprintf(text, size, "%s", item.c_str());
  return static_cast<int>(length);
}

// A click as the system makes it: the button changes its own state (auto styles) and tells
// the dialog.
int orvane_click(HWND control) {
  if (!reachable(control)) return -1;
  SendMessageA(control, BM_CLICK, 0, 0);
  return 0;
}

// The edit tells the dialog of its new text itself (EN_CHANGE).
int orvane_type(HWND control, LPCSTR text) {
  if (!reachable(control) || !text) return -1;
  if (GetWindowLongA(control, GWL_STYLE) & ES_READONLY) return -1;
  return SetWindowTextA(control, text) ? 0 : -1;
}

// CB_SETCURSEL does not notify; a person's choice does.
int orvane_select(HWND combo, int index) {
  if (!reachable(combo)) return -1;
  if (SendMessageA(combo, CB_SETCURSEL, index, 0) == CB_ERR) return -1;
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  return 0;
}

}  // extern "C"

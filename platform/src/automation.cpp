// What a person does to a dialog's controls and what that person sees of a dialog: the
// actions and the inspection calls of orvane_platform.h.
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "window_records.h"

namespace {

// The control as a person could reach it: a window inside a dialog still open, showing and
// enabled (itself and everything around it).
Window* reachable(HWND control) {
  Window* w = windowFind(control);
  if (!w || !(w->style & WS_CHILD)) return nullptr;
  Window* d = windowDialogOf(control);
  if (!d || d->dialog->ended) return nullptr;
  if (!windowShowing(w) || !windowUsable(w)) return nullptr;
  return w;
}

Window* dialogRecord(HWND dialog) {
  Window* d = windowFind(dialog);
  return d && d->dialog ? d : nullptr;
}

// Template controls in template order, then every other window inside the dialog (those the
// host or the plug-in created), parents before their children.
void collect(const Window* w, std::vector<HWND>* out) {
  for (HWND h : w->children) {
    const Window* c = windowFind(h);
    if (!c) continue;
    if (!c->fromTemplate) out->push_back(h);
    collect(c, out);
  }
}

std::vector<HWND> dialogControls(const Window* d) {
  std::vector<HWND> out;
  for (HWND h : d->children)
    if (const Window* c = windowFind(h); c && c->fromTemplate) out.push_back(h);
  collect(d, &out);
  return out;
}

bool acceptsTyping(const Window* w, const char* text) {
  if (w->style & ES_NUMBER)
    for (const char* p = text; *p; ++p)
      if (!isdigit((unsigned char)*p)) return false;
  return !(w->style & ES_READONLY);
}

}  // namespace

extern "C" ORVANE_EXPORT int orvane_click(HWND control) {
  Window* w = reachable(control);
  if (!w || w->registeredClass) return -1;
  const int kind = controlKind(w);
  const bool clickable = kind == kOrvanePushButton || kind == kOrvaneCheckBox ||
                         kind == kOrvaneRadioButton ||
                         (kind == kOrvaneStatic && (w->style & SS_NOTIFY));
  if (!clickable) return -1;
  windowActivity();
  controlClick(control);
  return 0;
}

extern "C" ORVANE_EXPORT int orvane_type(HWND control, LPCSTR text) {
  Window* w = reachable(control);
  if (!w || controlKind(w) != kOrvaneEdit || !text || !acceptsTyping(w, text)) return -1;
  std::string typed(text, strnlen(text, size_t(w->textLimit)));
  for (char& c : typed) {
    if (w->style & ES_UPPERCASE) c = char(toupper((unsigned char)c));
    if (w->style & ES_LOWERCASE) c = char(tolower((unsigned char)c));
  }
  windowActivity();
  // The edit reports the change itself, as it does for any new text.
  windowDeliver(control, WM_SETTEXT, 0, LPARAM(typed.c_str()));
  return 0;
}

extern "C" ORVANE_EXPORT int orvane_select(HWND combo, int index) {
  Window* w = reachable(combo);
  if (!w || w->registeredClass) return -1;
  const bool isCombo = w->className == "ComboBox";
  if (!isCombo && w->className != "ListBox") return -1;
  if (index < 0 || index >= int(w->items.size())) return -1;
  windowActivity();
  windowDeliver(combo, isCombo ? CB_SETCURSEL : LB_SETCURSEL, WPARAM(index), 0);
  if (Window* again = windowFind(combo)) {
    const int code = isCombo ? CBN_SELCHANGE : LBN_SELCHANGE;
    // A list box tells its parent only when it was made to (LBS_NOTIFY).
    if (isCombo || (again->style & LBS_NOTIFY))
      windowDeliver(again->parent, WM_COMMAND, MAKEWPARAM(again->id, code), LPARAM(combo));
  }
  return 0;
}

extern "C" ORVANE_EXPORT int orvane_dialog_control_count(HWND dialog) {
  Window* d = dialogRecord(dialog);
  return d ? int(dialogControls(d).size()) : 0;
}

extern "C" ORVANE_EXPORT int orvane_dialog_control(HWND dialog, int index, OrvaneControlInfo* out) {
  Window* d = dialogRecord(dialog);
  if (!d || !out) return -1;
  const std::vector<HWND> controls = dialogControls(d);
  if (index < 0 || index >= int(controls.size())) return -1;
  const Window* c = windowFind(controls[size_t(index)]);
  *out = OrvaneControlInfo{};
  out->window = c->handle;
  out->id = c->id;
  out->kind = controlKind(c);
  out->kindName = controlKindName(out->kind);
  snprintf(out->className, sizeof out->className, "%s", c->className.c_str());
  snprintf(out->text, sizeof out->text, "%s", c->text.c_str());
  out->checked = c->check;
  out->enabled = !(c->style & WS_DISABLED);
  out->visible = (c->style & WS_VISIBLE) != 0;
  out->style = c->style;
  out->rect = c->units;
  return 0;
}

extern "C" ORVANE_EXPORT int orvane_dialog_resource(HWND dialog) {
  Window* d = dialogRecord(dialog);
  return d ? d->dialog->resource : 0;
}

extern "C" ORVANE_EXPORT int orvane_dialog_size(HWND dialog, int* width, int* height) {
  Window* d = dialogRecord(dialog);
  if (!d) return 0;
  if (width) *width = d->dialog->widthUnits;
  if (height) *height = d->dialog->heightUnits;
  return 1;
}

extern "C" ORVANE_EXPORT int orvane_combo_count(HWND combo) {
  Window* w = windowFind(combo);
  if (!w || w->registeredClass || (w->className != "ComboBox" && w->className != "ListBox"))
    return -1;
  return int(w->items.size());
}

extern "C" ORVANE_EXPORT int orvane_combo_item(HWND combo, int index, char* text, int size) {
  const int count = orvane_combo_count(combo);
  if (count < 0 || index < 0 || index >= count) return -1;
  windowCopyText(windowFind(combo)->items[size_t(index)], text, size);
  return 0;
}

// The window half of the layer: the record behind each HWND and the services its files share.
// Records live in one table keyed by handle; code that calls out (a window procedure, a dialog
// procedure, a hook of the person) looks its record up again afterwards, since the call may
// have destroyed it.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "internal.h"

// A modal dialog's own state, on the record of its window.
struct DialogState {
  int resource;    // numeric template id; 0 for a named template
  int widthUnits;  // template size, dialog units
  int heightUnits;
  bool running;    // its modal loop is on the stack
  bool ended;      // EndDialog was called (or the loop gave up on it)
  INT_PTR result;  // what DialogBoxParamA returns
};

struct Window {
  HWND handle;
  std::string className;  // "Static", "Button", "Edit", "ComboBox", "ListBox", "ScrollBar",
                          // "#32770" for dialogs, or a registered class's name
  WNDPROC proc;           // receives every message sent or dispatched to the window
  bool registeredClass;   // made from a RegisterClassA class (a host or plug-in procedure)
  std::string text;
  DWORD style;  // WS_VISIBLE and WS_DISABLED are the window's visibility and enabled state
  DWORD exStyle;
  int id;
  HWND parent;  // the parent of a WS_CHILD window, else the owner (a value the caller gave)
  HINSTANCE instance;
  RECT rect;   // pixels, in the parent's client coordinates (screen for the others)
  RECT units;  // dialog units (x, y, x + width, y + height) as a template gives them
  bool fromTemplate;
  // Controls' state.
  int check;                         // BST_* of check boxes and radio buttons
  std::vector<std::string> items;    // combo and list boxes
  std::vector<LPARAM> itemData;      // parallel to items
  int selection;                     // -1: none
  int textLimit;                     // edits: most characters a person can type
  LONG_PTR userData;                 // GWLP_USERDATA
  std::vector<unsigned char> extra;  // class window bytes (a dialog's DWLP_* among them)
  bool invalid;                      // needs WM_PAINT
  bool erase;                        // and WM_ERASEBKGND first
  bool destroying;
  std::vector<HWND> children;           // in creation order: template controls first
  std::unique_ptr<DialogState> dialog;  // set on modal dialogs only
};

// ---- Records (windows.cpp) ----
Window* windowFind(HWND window);
// A new record; a WS_CHILD window is appended to its parent's children. The window starts
// invalid (it is painted once shown). Null when `parent` is required and not a window.
Window* windowNew(const std::string& className, WNDPROC proc, bool registeredClass,
                  const char* text, DWORD style, DWORD exStyle, int id, HWND parent,
                  const RECT& rect, size_t extraBytes);
// DestroyWindow's work: WM_DESTROY to the window, then its children, then the record goes.
// A modal dialog whose loop runs is only ended (result -1 unless EndDialog set one); its loop
// destroys it.
bool windowDestroy(HWND window);
// Calls the window's procedure; 0 when `window` is not a window.
LRESULT windowDeliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Every record in handle (creation) order.
std::vector<HWND> windowAll();
// The dialog that `window` is, or lies in (nearest dialog ancestor); null if none.
Window* windowDialogOf(HWND window);
// Visible and enabled as a person sees it: the window and each parent up to a top level.
bool windowShowing(const Window* w);
bool windowUsable(const Window* w);
// The window bytes at `offset` as a LONG (GetWindowLong) or a LONG_PTR (the DWLP_ slots,
// GetWindowLongPtr); reads past the end give 0, writes there are dropped.
template <typename T>
T windowExtra(const Window* w, size_t offset) {
  T v = 0;
  if (offset + sizeof v <= w->extra.size()) memcpy(&v, w->extra.data() + offset, sizeof v);
  return v;
}
template <typename T>
void windowSetExtra(Window* w, size_t offset, T value) {
  if (offset + sizeof value <= w->extra.size())
    memcpy(w->extra.data() + offset, &value, sizeof value);
}
// WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH on the record's text; `handled` false otherwise.
LRESULT windowTextMessage(Window* w, UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
// Copies at most size - 1 characters and a NUL, as Win32 text calls do; the count copied.
int windowCopyText(const std::string& text, char* buffer, int size);

// Something the person or a plug-in did that may move a dialog on: SendMessageA, PostMessageA,
// EndDialog and the person's actions count; reading state does not.
void windowActivity();
unsigned windowActivityCount();

// ---- Geometry (windows.cpp): dialog base units 6 x 13 pixels ----
LONG unitsToPixelsX(LONG units);
LONG unitsToPixelsY(LONG units);
LONG pixelsToUnitsX(LONG pixels);
LONG pixelsToUnitsY(LONG pixels);

// ---- Classes (window_classes.cpp) ----
struct RegisteredClass {
  std::string name;
  WNDCLASSA cls;  // lpszClassName points into `name`
  ATOM atom;
};
// By name (any case) or by atom (a MAKEINTATOM value); null when not registered.
const RegisteredClass* classFind(LPCSTR nameOrAtom);

// ---- Messages (window_messages.cpp) ----
bool queuePost(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Takes the oldest posted message and dispatches it; false when the queue is empty.
bool queueDispatchOne();
void queuePurge(HWND window);
void queueClear();
// Paints the first invalid window that is showing (WM_ERASEBKGND if asked, WM_PAINT); false
// when there is none.
bool paintOnePending();
// Paints `window` now if it is invalid and showing.
void paintWindow(HWND window);

// ---- Built-in controls (controls.cpp) ----
// The procedure of a system control class and its canonical name; null for other classes.
WNDPROC controlClassProc(const std::string& className, std::string* canonical);
bool isControlProc(WNDPROC proc);
int controlKind(const Window* w);  // OrvaneControlKind
const char* controlKindName(int kind);
// A click as the system performs it: the state change of auto check boxes and radio buttons,
// then BN_CLICKED (STN_CLICKED for a notifying static) sent to the parent.
void controlClick(HWND control);
// Radio buttons of the group of `control`: from the nearest WS_GROUP control at or before it to
// the next WS_GROUP control (exclusive), among its parent's children.
std::vector<HWND> controlGroup(HWND control);

// ---- Dialogs (dialogs.cpp) ----
LRESULT CALLBACK dialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Dialogs whose loop runs, innermost last.
const std::vector<HWND>& dialogStack();
void dialogsReset();

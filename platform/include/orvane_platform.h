// What the platform layer offers beyond the Win32 names: the person in front of the screen
// (the host answers dialogs, message boxes and save dialogs through an OrvaneUser), a person's
// actions on dialog controls, a look at dialogs and the clipboard, the accounting of memory
// blocks, and injected faults for tests. Only the host and the tests include this header;
// plug-in code sees nothing but the Win32 names of windows.h.
#pragma once

#include <windows.h>

extern "C" {

// ---- The person ----
// Every member may be null: then a message box answers with the first button of its type
// (IDOK, IDYES, ...), a save dialog is cancelled, help and beeps only happen, and a dialog
// with nothing more to do is closed with WM_CLOSE as a person would close it.
struct OrvaneUser {
  void* context;
  // A modal dialog finished WM_INITDIALOG and is about to wait for the person.
  void(WINAPI* dialogShown)(void* context, HWND dialog, int resource);
  // The dialog's queue is empty: act on it (orvane_click and friends) and return 1, or return
  // 0 when there is nothing more to do (the layer then closes the dialog with WM_CLOSE).
  int(WINAPI* dialogIdle)(void* context, HWND dialog, int resource);
  // EndDialog was called: the controls still stand as the person last saw them.
  void(WINAPI* dialogEnded)(void* context, HWND dialog, int resource, INT_PTR result);
  // Returns the button pressed (IDOK, IDYES, ...).
  int(WINAPI* messageBox)(void* context, HWND owner, LPCSTR text, LPCSTR caption, UINT type);
  // Fills ofn->lpstrFile (and nFilterIndex, nFileOffset) and returns TRUE, or returns FALSE.
  BOOL(WINAPI* saveFileName)(void* context, OPENFILENAMEA* ofn);
  void(WINAPI* help)(void* context, HWND window, LPCSTR file, UINT command, ULONG_PTR data);
  void(WINAPI* beep)(void* context, UINT type);
};
// Installs the person (copied); null restores the defaults.
void orvane_set_user(const OrvaneUser* user);

// ---- A person's actions on controls ----
// Each returns 0, or -1 when a person could not do it (no such control, hidden, disabled, not
// the right kind, no such item). A click on a check box or radio button changes its state as
// the system would (auto styles only), then notifies the dialog with WM_COMMAND BN_CLICKED; a
// click on a push button only notifies. Typing replaces an edit's text and notifies
// EN_CHANGE; selecting sets a combo box's item and notifies CBN_SELCHANGE. Notifications are
// sent at once, as the system would while the person acts.
int orvane_click(HWND control);
int orvane_type(HWND control, LPCSTR text);
int orvane_select(HWND combo, int index);

// ---- Dialog units ----
// The layer lays dialogs out with base units of 6 x 13 pixels: 4 dialog units across are 6
// pixels, 8 down are 13, rounded as MulDiv rounds (halves away from zero). The host's pictures
// of dialogs use the same mapping, so controls stand where the layer put them.
inline long orvane_mul_div(long value, long numerator, long denominator) {
  const long long p = (long long)value * numerator;
  const long long half = denominator / 2;
  return (long)(p >= 0 ? (p + half) / denominator : -((-p + half) / denominator));
}
inline long orvane_units_to_pixels_x(long units) { return orvane_mul_div(units, 6, 4); }
inline long orvane_units_to_pixels_y(long units) { return orvane_mul_div(units, 13, 8); }
inline long orvane_pixels_to_units_x(long pixels) { return orvane_mul_div(pixels, 4, 6); }
inline long orvane_pixels_to_units_y(long pixels) { return orvane_mul_div(pixels, 8, 13); }

// ---- Looking at dialogs ----
enum OrvaneControlKind {
  kOrvaneUnknown = 0,
  kOrvaneStatic,
  kOrvaneGroupBox,
  kOrvanePushButton,
  kOrvaneCheckBox,
  kOrvaneRadioButton,
  kOrvaneEdit,
  kOrvaneComboBox,
  kOrvaneCustom,  // a window the host created in the dialog (the display control)
};
// The kind's name as OrvaneControlInfo::kindName gives it ("static", "groupbox", "button",
// "checkbox", "radio", "edit", "combobox", "custom", "unknown").
inline const char* orvane_control_kind_name(int kind) {
  switch (kind) {
    case kOrvaneStatic:
      return "static";
    case kOrvaneGroupBox:
      return "groupbox";
    case kOrvanePushButton:
      return "button";
    case kOrvaneCheckBox:
      return "checkbox";
    case kOrvaneRadioButton:
      return "radio";
    case kOrvaneEdit:
      return "edit";
    case kOrvaneComboBox:
      return "combobox";
    case kOrvaneCustom:
      return "custom";
  }
  return "unknown";
}
struct OrvaneControlInfo {
  HWND window;
  int id;                // -1 for unnamed statics and frames
  int kind;              // OrvaneControlKind
  const char* kindName;  // "static", "groupbox", "button", "checkbox", "radio", "edit",
                         // "combobox", "custom", "unknown"
  char className[32];
  char text[512];  // window text; for a combo box its selected item's text
  int checked;
  int enabled;
  int visible;
  DWORD style;
  RECT rect;  // dialog units (x, y, x + width, y + height) as the template gives them
};
// Controls in template order, followed by windows the host created in the dialog.
int orvane_dialog_control_count(HWND dialog);
int orvane_dialog_control(HWND dialog, int index, OrvaneControlInfo* out);
// Resource id the dialog was created from, or 0 when `dialog` is not a dialog.
int orvane_dialog_resource(HWND dialog);
// Size of the dialog in dialog units (from its template); 0 when not a dialog.
int orvane_dialog_size(HWND dialog, int* width, int* height);
int orvane_combo_count(HWND combo);
int orvane_combo_item(HWND combo, int index, char* text, int size);

// ---- Memory accounting ----
struct OrvaneMemoryStats {
  int liveBlocks;    // allocated and not freed (blocks the clipboard holds are not counted)
  int lockedBlocks;  // live blocks with a lock count above zero
  int allocCalls;    // GlobalAlloc calls since the last reset
  int lockCalls;     // GlobalLock calls since the last reset
  int failedCalls;   // calls made to fail by orvane_fail_* since the last reset
};
void orvane_memory_stats(OrvaneMemoryStats* out);
// Whether blocks allocated without GMEM_ZEROINIT start filled with 0xCD (on by default: tests
// and the validator find reads of what was never written; a person's run need not pay a pass
// over every such block).
void orvane_memory_fill_fresh(int fill);
// Zeroes the call counters (not the blocks) and clears any pending fault.
void orvane_memory_reset_counters(void);
// The k-th GlobalAlloc (or GlobalLock) from now fails, k >= 1; 0 clears.
void orvane_fail_alloc_at(int k);
void orvane_fail_lock_at(int k);
// Fails the lock of this one block from now on (a parameter block that cannot be locked).
void orvane_fail_lock_of(HGLOBAL block, int fail);
// Lock count of a block, or -1 for a handle that is not a live block.
int orvane_lock_count(HGLOBAL block);

// ---- Clipboard ----
// While busy, OpenClipboard fails. `closeFails` makes CloseClipboard fail once opened.
void orvane_clipboard_busy(int busy);
void orvane_clipboard_close_fails(int fails);
// Bytes of the block held for `format`, or null; *size gets the block's size.
const void* orvane_clipboard_data(UINT format, size_t* size);
// Every block handed to the clipboard since the last clear, in order: its format and its bytes
// as they were handed over (valid until the next clear); null for an index out of range.
int orvane_clipboard_transfer_count(void);
const void* orvane_clipboard_transfer(int index, UINT* format, size_t* size);
// Frees what the clipboard holds and forgets the transfers.
void orvane_clipboard_clear(void);

// ---- Files ----
// Another process holds the file open: CreateFileA on it fails with ERROR_SHARING_VIOLATION.
void orvane_file_hold(LPCSTR path, int held);

// ---- Modules ----
// dlerror()-style text of the last LoadLibraryA or GetProcAddress failure.
LPCSTR orvane_module_error(void);

// Resets everything the tests may have set: user, faults, clipboard, held files.
void orvane_reset(void);
}

// Generated from each plug-in's .def file and .rc file for builds that are not on Windows.
extern "C" {
struct OrvaneExportEntry {
  WORD ordinal;        // 0 ends the table
  const char* name;    // exported name as the .def gives it ("_DisplayCallback@20")
  const char* symbol;  // the library's symbol for it ("DisplayCallback")
};
}
#define ORVANE_EXPORT_TABLE_SYMBOL "orvane_export_table"
#define ORVANE_RESOURCE_SCRIPT_SYMBOL "orvane_resource_script"

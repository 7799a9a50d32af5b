// The dialog templates of a resource script (.rc text), read as the resource compiler reads
// them: DIALOG and DIALOGEX statements with their options and controls, each control with the
// style the compiler gives it. Every other kind of resource is skipped.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Visible outside the library for the platform's own tests only.
#define PLATFORM_TEST_API __attribute__((visibility("default")))

struct RcControl {
  std::string text;       // caption; for a control named by a number or name, that word
  int id;                 // -1 for IDC_STATIC and other unnamed controls
  std::string className;  // "Static", "Button", "Edit", "ComboBox", "ListBox", "ScrollBar",
                          // or the class a CONTROL statement names, as written
  DWORD style;            // the statement's default style with the script's additions
  DWORD exStyle;
  int x, y, width, height;  // dialog units
  int line;                 // of the statement, for messages
};

struct RcDialog {
  int id;                   // numeric resource id, -1 when the dialog is named
  std::string name;         // upper-case name of a named dialog, empty otherwise
  bool extended;            // DIALOGEX
  int x, y, width, height;  // dialog units
  DWORD style;              // STYLE, or WS_POPUP | WS_BORDER | WS_SYSMENU without one; plus
                            // WS_CAPTION with a CAPTION and DS_SETFONT with a FONT
  DWORD exStyle;
  std::string caption;
  std::string className;            // CLASS, empty for the standard dialog class
  std::string menu;                 // MENU, empty without one
  std::string fontFace;             // FONT, empty without one
  int fontSize;                     // points, 0 without a FONT
  std::vector<RcControl> controls;  // in template order
  int line;                         // of the DIALOG statement
};

// Parses every dialog of `script`. On a fault returns false with "line N: ..." in `error`;
// `dialogs` then holds those read before it.
PLATFORM_TEST_API bool rcParseDialogs(const char* script, std::vector<RcDialog>* dialogs,
                                      std::string* error);

// The dialog with numeric id `id`, or (when `name` is not null) the dialog named `name`,
// compared without regard to case ("#100" names id 100); null when there is none.
PLATFORM_TEST_API const RcDialog* rcFindDialog(const std::vector<RcDialog>& dialogs, int id,
                                               const char* name);

// The person in front of the screen. The plug-ins' dialogs, message boxes and save dialogs
// wait for a user; the host answers them as a person following a script would: set the
// settings dialog's controls and press OK, press buttons in the results dialog and close it,
// answer message boxes with their first button, name a file in the save dialog. Everything
// the person sees is logged for the report.
//
// The types here are plain records; the Person itself is wired to the OrvaneUser hooks and
// acts through orvane_click / orvane_type / orvane_select (person.cpp, person_controls.cpp).
// On Linux the platform layer offers those; on Windows the host offers the same calls over
// the real system (user_hooks_win32.cpp routes the plug-in's dialogs, message boxes and save
// dialog to the person; dialog_look_win32.cpp looks at and acts on real controls).
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/cli/options.h"
#include "host/pictures/display.h"
#include "host/system/system.h"

namespace orvane {

struct PersonScript {
  std::vector<SetAction> settings;   // applied in order in the settings dialog (100)
  std::vector<std::string> presses;  // clicked in order in the results dialog (107)
  bool keep = false;  // end the results dialog with id 1, else with its close box (WM_CLOSE)
  std::optional<std::string> saveAs;  // answer for the save-file dialog, else cancel it
  // Where the plug-in is told to make that file when not at saveAs itself (an output set's
  // staging folder); the log keeps saveAs, as the person typed it.
  std::optional<std::string> saveAsMadeAt;
  std::optional<int> saveType;  // 1-based filter index chosen in it
  bool lookOnly = false;        // look at each dialog when shown, then close it
};

struct ControlRecord {
  int id = -1;       // -1 for unnamed statics and frames
  std::string kind;  // "static", "groupbox", "button", "checkbox", "radio", "edit",
                     // "combobox", "custom", "unknown"
  std::string text;  // window text; a combo box's selected item
  bool checked = false;
  bool enabled = false;
  bool visible = false;
  std::vector<std::string> items;  // a combo box's items
  unsigned long style = 0;         // window style bits (WS_, SS_, BS_, ES_ ...)
  int x = 0, y = 0;                // position in the dialog, dialog units
  int width = 0, height = 0;       // size, dialog units
};

// A display's curves as they were when its dialog ended, with what they are drawn from.
struct DisplaySnapshot {
  int number = 0;  // the display's number in the session
  int id = 0;      // the dialog control it lies over
  std::vector<double> x;
  std::map<int, std::vector<std::optional<double>>> curves;
  RECT rect{};                             // pixels, in the dialog's client coordinates
  std::array<DisplaySettings, 3> targets;  // DISPLAY_SET as received: graph, curve 1, curve 2
  AxisLabels inherited;                    // from the display it replaced (DisplayRecord)
};

struct DialogRecord {
  int resource = 0;
  std::string caption;
  bool ended = false;    // false for a look taken when the dialog was shown
  long long result = 0;  // EndDialog's result when ended
  int width = 0;         // client area, dialog units (orvane_dialog_size)
  int height = 0;
  std::vector<ControlRecord> controls;    // template order, then windows the host created
  std::vector<DisplaySnapshot> displays;  // those whose windows stood when it ended
  Screenshot screen;  // the window as the screen showed it when it ended (empty on Linux)
};

struct MessageRecord {
  std::string caption;
  std::string text;
  std::string icon;   // "error", "warning", "information", "question", "none"
  unsigned type = 0;  // the MB_ flags
  int answer = 0;     // IDOK, IDYES, ...
};

struct HelpRecord {
  std::string file;
  unsigned command = 0;  // HELP_KEY, HELP_CONTEXT, ...
  std::string keyword;   // for HELP_KEY
  unsigned long data = 0;
};

struct SaveDialogRecord {
  std::string title;
  std::string initialDirectory;
  std::string initialFile;
  std::vector<std::pair<std::string, std::string>> filters;  // (description, pattern)
  unsigned offeredType = 0;                                  // nFilterIndex as offered
  bool answered = false;                                     // false: cancelled
  std::string path;                                          // the answer
  unsigned chosenType = 0;                                   // nFilterIndex as answered
};

struct PersonLog {
  std::vector<MessageRecord> messages;
  std::vector<DialogRecord> dialogs;  // each dialog as it ended, in order
  std::vector<DialogRecord> looks;    // lookOnly: each dialog as it was shown
  std::vector<HelpRecord> help;
  std::vector<unsigned> beeps;  // MessageBeep types
  std::vector<SaveDialogRecord> saveDialogs;
  // The first thing the person could not do ("--set IEC=on: ..."); the dialog was cancelled.
  std::string error;
  std::vector<std::string> warnings;  // parts of the script that never applied
  bool settingsHandled = false;
  bool resultsHandled = false;
};

class Person {
 public:
  // `displays` (may be null) are sampled when their dialog ends; it must outlive the person.
  Person(PersonScript script, DisplayBoard* displays);
  // Restores the platform's default person.
  ~Person();
  Person(const Person&) = delete;
  Person& operator=(const Person&) = delete;

  // Makes this the person the platform layer consults.
  void install();
  // Notes the parts of the script that found no dialog to act on.
  void finish();
  const PersonLog& log() const { return log_; }

  // ---- The hooks (called through the platform layer) ----
  void dialogShown(HWND dialog, int resource);
  int dialogIdle(HWND dialog, int resource);
  void dialogEnded(HWND dialog, int resource, INT_PTR result);
  int messageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
  BOOL saveFileName(OPENFILENAMEA* ofn);
  void help(HWND window, LPCSTR file, UINT command, ULONG_PTR data);
  void beep(UINT type);

 private:
  void actOnSettings(HWND dialog);
  void actOnResults(HWND dialog);
  void fail(const std::string& message);

  PersonScript script_;
  DisplayBoard* displays_;
  PersonLog log_;
  std::vector<HWND> endedDialogs_;
  bool installed_ = false;
};

// Shows dialog template `resource` of `module` as it stands before the plug-in fills it, with a
// procedure of the host's own (no plug-in code runs), to the installed person, who looks at it
// (PersonScript::lookOnly) and closes it. False when the module has no such template.
bool showDialogTemplate(HMODULE module, int resource);
// What a person sees of a dialog right now (its displays not included).
DialogRecord lookAtDialog(HWND dialog, int resource);
// The icon name of MessageBox flags.
std::string messageIconName(UINT type);
// The button a person presses first in a message box of these flags.
int firstButtonOf(UINT type);

}  // namespace orvane

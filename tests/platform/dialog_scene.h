// A dialog under test: a dialog procedure that records what it receives and a person who
// takes scripted steps, one per idle call, and then has nothing more to do. Shared by the
// platform's dialog and control tests.
#pragma once

#include <gtest/gtest.h>
#include <orvane_platform.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/src/internal.h"

struct SceneMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct SceneControl {
  int id, kind;
  std::string text;
  int checked, enabled, visible;
};

struct SceneEnd {
  HWND dialog;
  int resource;
  INT_PTR result;
  std::vector<SceneControl> controls;
  const SceneControl* control(int id) const {
    for (const SceneControl& c : controls)
      if (c.id == id) return &c;
    return nullptr;
  }
};

struct Scene {
  // The dialog procedure's own handling; when it returns -1 the standard handling applies:
  // WM_INITDIALOG returns TRUE, IDOK and IDCANCEL end the dialog with their id, everything
  // else is declined.
  std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> handle;
  // The person's steps, each taken at one idle call (which then answers 1).
  std::vector<std::function<void(HWND)>> steps;
  size_t nextStep = 0;
  bool idleHook = true;
  int idleCalls = 0;
  std::vector<SceneMessage> received;  // by the dialog procedure, paints and erases excepted
  std::vector<std::pair<HWND, int>> shown;
  std::vector<SceneEnd> ended;
  int beeps = 0;
  // When the person's dialogShown ran, was the dialog visible?
  bool visibleWhenShown = false;

  std::vector<UINT> messagesOf(HWND dialog) const {
    std::vector<UINT> out;
    for (const SceneMessage& m : received)
      if (m.window == dialog) out.push_back(m.message);
    return out;
  }
  std::vector<int> commands() const {
    std::vector<int> out;
    for (const SceneMessage& m : received)
      if (m.message == WM_COMMAND) out.push_back(int(m.wParam));
    return out;
  }
};

inline Scene* scene = nullptr;

inline INT_PTR CALLBACK sceneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT && message != WM_ERASEBKGND)
    scene->received.push_back({dialog, message, wParam, lParam});
  if (scene->handle) {
    INT_PTR r = scene->handle(dialog, message, wParam, lParam);
    if (r != -1) return r;
  }
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

inline void WINAPI sceneShown(void*, HWND dialog, int resource) {
  scene->shown.push_back({dialog, resource});
  scene->visibleWhenShown = IsWindowVisible(dialog) != 0;
}

inline int WINAPI sceneIdle(void*, HWND dialog, int) {
  ++scene->idleCalls;
  if (scene->nextStep >= scene->steps.size()) return 0;
  scene->steps[scene->nextStep++](dialog);
  return 1;
}

inline void WINAPI sceneEnded(void*, HWND dialog, int resource, INT_PTR result) {
  SceneEnd end{dialog, resource, result, {}};
  const int count = orvane_dialog_control_count(dialog);
  for (int i = 0; i < count; ++i) {
    OrvaneControlInfo info;
    if (orvane_dialog_control(dialog, i, &info) == 0)
      end.controls.push_back(
          {info.id, info.kind, info.text, info.checked, info.enabled, info.visible});
  }
  scene->ended.push_back(end);
}

inline void WINAPI sceneBeep(void*, UINT) { ++scene->beeps; }

class DialogTest : public ::testing::Test {
 protected:
  Scene s;
  HWND owner = reinterpret_cast<HWND>(0x5150);  // the host's window: not a window of ours

  void SetUp() override {
    orvane_reset();
    platformResetWindows();
    scene = &s;
    install();
  }
  void TearDown() override {
    orvane_reset();
    platformResetWindows();
    scene = nullptr;
  }
  void install() {
    OrvaneUser user = {};
    user.dialogShown = sceneShown;
    if (s.idleHook) user.dialogIdle = sceneIdle;
    user.dialogEnded = sceneEnded;
    user.beep = sceneBeep;
    orvane_set_user(&user);
  }
  INT_PTR run(const std::string& script, int resource, LPARAM param = 0) {
    return dialogBoxFromScript(script.c_str(), resource, owner, sceneDialogProc, param);
  }
  static std::string levelmeterScript() {
    std::ifstream in(ORVANE_SOURCE_DIR "/levelmeter/levelmeter.rc");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

// A dialog with one control of each kind the tests work on.
inline const char* const kControlsScript = R"rc(
#define IDC_NAME 200
300 DIALOG 0, 0, 200, 160
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION
CAPTION "Controls"
BEGIN
    GROUPBOX        "Mode", -1, 2, 2, 100, 40
    AUTORADIOBUTTON "A", 10, 4, 10, 30, 10, WS_GROUP
    AUTORADIOBUTTON "B", 11, 4, 20, 30, 10
    RADIOBUTTON     "C", 12, 40, 10, 30, 10
    AUTORADIOBUTTON "D", 13, 40, 20, 30, 10, WS_GROUP
    AUTORADIOBUTTON "E", 14, 70, 20, 30, 10
    AUTOCHECKBOX    "Auto", 20, 4, 44, 40, 10
    CHECKBOX        "Manual", 21, 50, 44, 40, 10
    AUTO3STATE      "Three", 22, 100, 44, 40, 10
    EDITTEXT        IDC_NAME, 4, 58, 60, 12, ES_AUTOHSCROLL
    EDITTEXT        201, 70, 58, 60, 12, ES_NUMBER
    EDITTEXT        202, 140, 58, 50, 12, ES_READONLY
    COMBOBOX        30, 4, 74, 60, 50, CBS_DROPDOWNLIST | WS_VSCROLL
    COMBOBOX        31, 70, 74, 60, 50, CBS_DROPDOWN | CBS_SORT
    PUSHBUTTON      "Hidden", 40, 4, 90, 40, 14, NOT WS_VISIBLE
    PUSHBUTTON      "Disabled", 41, 50, 90, 40, 14, WS_DISABLED
    LTEXT           "Calibration", 42, 100, 90, 60, 8
    CONTROL         "Notify", 43, "Static", SS_NOTIFY, 100, 100, 60, 8
    LISTBOX         44, 4, 108, 60, 30
    DEFPUSHBUTTON   "OK", IDOK, 4, 140, 40, 14
    PUSHBUTTON      "Cancel", IDCANCEL, 50, 140, 40, 14
END
)rc";

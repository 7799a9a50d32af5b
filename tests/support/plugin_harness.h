// A plug-in loaded as the host loads it, with an instance record whose callbacks record what
// the plug-in did, and a scripted person who acts in its dialogs. One harness at a time: the
// record's callbacks carry no context.
#pragma once

#include <gtest/gtest.h>
#include <orvane_platform.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "frame/xfm.h"

struct SeenMessage {
  std::string text, caption;
  UINT type;
};

struct SeenControl {
  int id, kind;
  std::string text;
  bool checked, enabled, visible;
};

struct SeenDialog {
  int resource;
  INT_PTR result;
  std::vector<SeenControl> controls;
  const SeenControl* control(int id) const {
    for (const auto& c : controls)
      if (c.id == id) return &c;
    return nullptr;
  }
};

class PluginHarness {
 public:
  using Script = std::function<void(HWND dialog)>;

  explicit PluginHarness(const char* plugin, int channels = 1, int sampleRate = 48000);
  ~PluginHarness();

  // The loaded exports.
  HMODULE module = nullptr;
  short(WINAPI* queryXfm)(XFMINFO*) = nullptr;
  int(WINAPI* xfmInit)(XFMINSTANCE*) = nullptr;
  int(WINAPI* xfmSetup)(HWND, HINSTANCE, XFMINSTANCE*) = nullptr;
  int(WINAPI* xfmDo)(XFMINSTANCE*) = nullptr;
  int(WINAPI* xfmDestroy)(XFMINSTANCE*) = nullptr;
  XfmDisplayCallback displayCallback = nullptr;
  void* displayUser = nullptr;  // what the plug-in gave createDisplay for its callback

  XFMINSTANCE record = {};
  int cancelFlag = 0;
  HWND hostWindow = (HWND)0x5150;

  // The waveform the record's readSamples and writeSamples serve: interleaved, 16-bit scale.
  std::vector<float> wave;
  int writes = 0;

  // What the plug-in did.
  std::vector<SeenMessage> messages;
  std::vector<SeenDialog> dialogs;
  std::vector<std::string> progressCaptions;
  std::vector<std::string> helpKeywords;
  int dialogInits = 0, beeps = 0, progressCalls = 0;
  // DISPLAY_SET messages the display control received: attribute, target, and the value (the
  // double behind the pointer for the range attributes, the text for the labels).
  struct DisplaySet {
    int attribute, target;
    double value;
    std::string text;
  };
  std::vector<DisplaySet> displaySets;
  HWND display = nullptr;
  int displayPaints = 0;
  // Cancel when progress has been called this many times (0: never).
  int cancelAtProgress = 0;

  // What the person does in dialog `resource` once it is shown; afterwards, or without a
  // script, the dialog is closed as a person closes it.
  std::map<int, Script> scripts;
  // The save-file dialog's answer: a path (empty: cancel) and the file type.
  std::string saveAs;
  int saveType = 0;

  template <class T>
  T* block() {
    return (T*)GlobalLock(record.paramBlock);
  }
  void unlock() { GlobalUnlock(record.paramBlock); }
  int setup() { return xfmSetup(hostWindow, module, &record); }

  // Actions of the person, by control id.
  static void click(HWND dialog, int id) { ASSERT_EQ(orvane_click(GetDlgItem(dialog, id)), 0); }
  static void type(HWND dialog, int id, const char* text) {
    ASSERT_EQ(orvane_type(GetDlgItem(dialog, id), text), 0);
  }
  static std::string text(HWND dialog, int id) {
    char buffer[512] = "";
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
  }

  static PluginHarness* current;
};

std::string pluginPath(const char* plugin);

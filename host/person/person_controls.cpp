#include "host/person/person_controls.h"

#include <charconv>
#include <cstring>
#include <strings.h>
#include <vector>

namespace orvane {

namespace {

bool parseInt(const std::string& text, int* out) {
  if (text.empty()) return false;
  const char* begin = text.data();
  const char* end = begin + text.size();
  auto [ptr, ec] = std::from_chars(begin, end, *out);
  return ec == std::errc() && ptr == end;
}

const char* kindWords(int kind) {
  switch (kind) {
    case kOrvaneStatic:
      return "static text";
    case kOrvaneGroupBox:
      return "group box";
    case kOrvanePushButton:
      return "push button";
    case kOrvaneCheckBox:
      return "check box";
    case kOrvaneRadioButton:
      return "radio button";
    case kOrvaneEdit:
      return "edit box";
    case kOrvaneComboBox:
      return "combo box";
    case kOrvaneCustom:
      return "display";
    default:
      return "control";
  }
}

bool isLabelled(int kind) {
  return kind == kOrvaneCheckBox || kind == kOrvaneRadioButton || kind == kOrvanePushButton;
}

std::vector<OrvaneControlInfo> controlsOf(HWND dialog) {
  std::vector<OrvaneControlInfo> controls;
  int count = orvane_dialog_control_count(dialog);
  for (int i = 0; i < count; ++i) {
    OrvaneControlInfo info;
    std::memset(&info, 0, sizeof info);
    if (orvane_dialog_control(dialog, i, &info) == 0) controls.push_back(info);
  }
  return controls;
}

std::string idList(const std::vector<OrvaneControlInfo>& found) {
  std::string list;
  for (size_t i = 0; i < found.size(); ++i) {
    if (i > 0) list += i + 1 == found.size() ? " and " : ", ";
    list += std::to_string(found[i].id);
  }
  return list;
}

std::string usable(const OrvaneControlInfo& c) {
  if (!c.visible) return controlName(c) + " is hidden";
  if (!c.enabled) return controlName(c) + " is disabled";
  return "";
}

bool isWord(const std::string& value, const char* word) {
  return strcasecmp(value.c_str(), word) == 0;
}

}  // namespace

std::string controlName(const OrvaneControlInfo& c) {
  std::string name = std::string(kindWords(c.kind)) + " " + std::to_string(c.id);
  if (isLabelled(c.kind) && c.text[0]) name += std::string(" \"") + c.text + "\"";
  return name;
}

std::string findControl(HWND dialog, int resource, const std::string& name,
                        OrvaneControlInfo* out) {
  std::vector<OrvaneControlInfo> controls = controlsOf(dialog);
  std::vector<OrvaneControlInfo> found;
  int id = 0;
  if (parseInt(name, &id)) {
    if (id == -1) return "unnamed controls (id -1) cannot be named by id";
    // The dialog's own control before a display the host laid over it with the same id.
    for (const auto& c : controls) {
      if (c.id == id && c.kind != kOrvaneCustom) found.push_back(c);
    }
    if (found.empty()) {
      for (const auto& c : controls) {
        if (c.id == id) found.push_back(c);
      }
    }
    if (found.empty()) {
      return "dialog " + std::to_string(resource) + " has no control " + name;
    }
    if (found.size() > 1) return "id " + name + " names several controls";
  } else {
    for (const auto& c : controls) {
      if (isLabelled(c.kind) && name == c.text) found.push_back(c);
    }
    if (found.empty()) {
      return "dialog " + std::to_string(resource) + " has no control named \"" + name + "\"";
    }
    if (found.size() > 1)
      return "\"" + name + "\" is ambiguous: it names controls " + idList(found);
  }
  *out = found.front();
  return "";
}

std::string setControl(const OrvaneControlInfo& c, const std::string& value) {
  std::string problem = usable(c);
  if (!problem.empty()) return problem;
  switch (c.kind) {
    case kOrvaneCheckBox:
    case kOrvaneRadioButton: {
      bool on = isWord(value, "on");
      if (!on && !isWord(value, "off")) {
        return controlName(c) + " takes on or off, not \"" + value + "\"";
      }
      if ((c.checked != 0) == on) return "";
      if (c.kind == kOrvaneRadioButton && !on) {
        return controlName(c) + " cannot be turned off: turn on another radio button instead";
      }
      if (orvane_click(c.window) != 0) return controlName(c) + " could not be clicked";
      return "";
    }
    case kOrvaneEdit:
      if (orvane_type(c.window, value.c_str()) != 0) return controlName(c) + " took no text";
      return "";
    case kOrvaneComboBox: {
      int count = orvane_combo_count(c.window);
      for (int i = 0; i < count; ++i) {
        char item[512] = {};
        if (orvane_combo_item(c.window, i, item, sizeof item) >= 0 && value == item) {
          if (orvane_select(c.window, i) != 0) return controlName(c) + " refused item " + value;
          return "";
        }
      }
      int index = -1;
      if (parseInt(value, &index) && index >= 0 && index < count) {
        if (orvane_select(c.window, index) != 0) return controlName(c) + " refused item " + value;
        return "";
      }
      return controlName(c) + " has no item \"" + value + "\" (items 0 to " +
             std::to_string(count - 1) + ")";
    }
    case kOrvanePushButton:
      return controlName(c) + " takes no value (push buttons are pressed)";
    default:
      return controlName(c) + " takes no value";
  }
}

std::string pressControl(const OrvaneControlInfo& c) {
  std::string problem = usable(c);
  if (!problem.empty()) return problem;
  if (c.kind != kOrvanePushButton && c.kind != kOrvaneCheckBox && c.kind != kOrvaneRadioButton) {
    return controlName(c) + " cannot be pressed";
  }
  if (orvane_click(c.window) != 0) return controlName(c) + " could not be clicked";
  return "";
}

}  // namespace orvane

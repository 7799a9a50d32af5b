// How the person finds a control and gives it a value (Linux layer: orvane_dialog_control,
// orvane_click, orvane_type, orvane_select). Each returns "" on success or what went wrong,
// worded for a one-line error.
#pragma once

#include <orvane_platform.h>

#include <string>

namespace orvane {

// `name` is a control id, or the exact text of a check box, radio button or push button.
// A name that fits several controls is refused, naming all of them.
std::string findControl(HWND dialog, int resource, const std::string& name, OrvaneControlInfo* out);
// --set: on/off for check boxes and radio buttons, text for edits, an item's text or index
// for combo boxes.
std::string setControl(const OrvaneControlInfo& control, const std::string& value);
// --press: one click.
std::string pressControl(const OrvaneControlInfo& control);
// "check box 1001 \"IEC\"", "edit box 1007", ...
std::string controlName(const OrvaneControlInfo& control);

}  // namespace orvane

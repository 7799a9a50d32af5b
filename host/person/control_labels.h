// What a person reads as the name of a control that has no text of its own (a result field, an
// edit): the unnamed static on its row to its left, and the heading above its column. Positions
// are the dialog template's, in dialog units.
#pragma once

#include <string>

#include "host/person/person.h"

namespace orvane {

struct ControlBox {
  int left, top, right, bottom;  // dialog units
  int centreX() const { return (left + right) / 2; }
  int centreY() const { return (top + bottom) / 2; }
};

ControlBox boxOf(const ControlRecord& c);
// Rectangles, frames and etched lines: statics that hold no text.
bool isFrame(const ControlRecord& c);
// The nearest visible unnamed static left of `control` whose height spans its middle; null
// for none. The pointer is into `dialog`.
const ControlRecord* rowLabel(const DialogRecord& dialog, const ControlRecord& control);
// The nearest visible heading (an unnamed static or a check box) above `control` whose middle
// lies over it; null for none. The pointer is into `dialog`.
const ControlRecord* columnHeading(const DialogRecord& dialog, const ControlRecord& control);

}  // namespace orvane

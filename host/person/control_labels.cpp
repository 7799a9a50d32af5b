#include "host/person/control_labels.h"

#include <climits>

namespace orvane {

namespace {

bool isLabel(const ControlRecord& c) { return c.visible && c.id == -1 && c.kind == "static"; }

bool isHeading(const ControlRecord& c) {
  return c.visible && ((c.id == -1 && c.kind == "static") || c.kind == "checkbox");
}

}  // namespace

ControlBox boxOf(const ControlRecord& c) { return {c.x, c.y, c.x + c.width, c.y + c.height}; }

bool isFrame(const ControlRecord& c) {
  unsigned long type = c.style & SS_TYPEMASK;
  return (type >= SS_BLACKRECT && type <= SS_WHITEFRAME) ||
         (type >= SS_ETCHEDHORZ && type <= SS_ETCHEDFRAME);
}

const ControlRecord* rowLabel(const DialogRecord& d, const ControlRecord& control) {
  const ControlBox f = boxOf(control);
  const ControlRecord* best = nullptr;
  int bestGap = INT_MAX;
  for (const auto& c : d.controls) {
    if (!isLabel(c)) continue;
    const ControlBox b = boxOf(c);
    if (b.top > f.centreY() || b.bottom < f.centreY() || b.right > f.left) continue;
    if (f.left - b.right < bestGap) {
      bestGap = f.left - b.right;
      best = &c;
    }
  }
  return best;
}

const ControlRecord* columnHeading(const DialogRecord& d, const ControlRecord& control) {
  const ControlBox f = boxOf(control);
  const ControlRecord* best = nullptr;
  int bestGap = INT_MAX;
  for (const auto& c : d.controls) {
    if (!isHeading(c)) continue;
    const ControlBox b = boxOf(c);
    if (b.centreX() < f.left || b.centreX() > f.right || b.bottom > f.top) continue;
    if (f.top - b.bottom < bestGap) {
      bestGap = f.top - b.bottom;
      best = &c;
    }
  }
  return best;
}

}  // namespace orvane

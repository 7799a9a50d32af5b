// How the room's reports write a figure: rounded to the decimals it is measured to, null when
// there is none (a decay range too short, a band without signal).
#pragma once

#include <cmath>
#include <optional>

#include "host/report/json.h"

namespace orvane {

inline Json jsonFigure(const std::optional<double>& v, int decimals) {
  if (!v || !std::isfinite(*v)) return nullptr;
  const double scale = std::pow(10.0, decimals);
  return std::round(*v * scale) / scale;
}

}  // namespace orvane

// What an `orvane run` of the inverse-filter designer adds to its report: the design it made,
// judged against the selection it was given, as `orvane assess` judges a filter.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/assess/assessment.h"
#include "host/report/clipboard_items.h"
#include "host/report/named_results.h"
#include "host/session/audio.h"
#include "host/session/plugin.h"
#include "host/system/system.h"

namespace orvane {

// The assessment of a completed run of the designer ("Invert Kirkeby" in its menu name) that
// left a filter on the clipboard; none for any other run. The mode, the pass band (the cut
// frequencies moved inwards by half the transition width, where the in-band regularisation
// holds) and the regularisation are the run's results the designer publishes by name ("Mode",
// "Low frequency", "High frequency", "Transition width", "In-band regularisation"), as the
// design's record (the assessment's `design`, which --out keeps
// beside the filter). An assessment that cannot be made (a silent selection, say) adds a line to
// `warnings` instead.
std::optional<Assessment> assessRunDesign(const PluginInfo& plugin, const Audio& audio, long first,
                                          long last, const std::vector<NamedResult>& results,
                                          const std::vector<ClipboardItem>& clipboard,
                                          const std::vector<WaveImage>& images,
                                          std::vector<std::string>* warnings);

}  // namespace orvane

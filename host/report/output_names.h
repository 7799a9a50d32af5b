// The names a run gives the files it writes at the top of its output folder (report.json,
// waveform.wav, display-N.*, dialog-N.png, clipboard*.*, assessment-*.png): a name another
// output of the same run must not take.
#pragma once

#include <string>

namespace orvane {

bool isRunOutputName(const std::string& name);

}  // namespace orvane

#include "host/report/output_names.h"

namespace orvane {

namespace {

bool startsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

}  // namespace

bool isRunOutputName(const std::string& name) {
  for (const char* whole : {"report.json", "waveform.wav", "summary.csv", "assessment.json"})
    if (name == whole) return true;
  // Numbered and suffixed by the writers of pictures, displays and clipboard transfers.
  for (const char* start : {"display-", "dialog-", "clipboard", "assessment-"})
    if (startsWith(name, start)) return true;
  return false;
}

}  // namespace orvane

#include "levelmeter/results_text.h"

#include "frame/text_buffer.h"
#include "levelmeter/result_fields.h"
#include "levelmeter/results_values.h"

namespace {

const char* const kHeader[] = {"Channel",
                               "Leq (dB)",
                               "SEL (dB)",
                               "Total Duration (s)",
                               "Active Speech Level (dB)",
                               "Threshold Level (dB)",
                               "Activity Ratio (%)",
                               "Max Peak SPL (dB)",
                               "Max Impulse SPL (dB)",
                               "Max Fast SPL (dB)",
                               "Max Slow SPL (dB)",
                               "Event Duration (s)",
                               "Impulsive Event",
                               "Peakiness (dB)",
                               "Impulsiveness (dB)",
                               "Millisecondness (dB)"};

void appendRow(TextBuffer* out, const char* label, const ResultSummary& s) {
  appendText(out, "%s\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f\t%.1f%%\t%.2f\t%.2f\t%.2f\t%.2f\t%.3f\t%s",
             label, s.leq, s.sel, s.duration, s.activeLevel, s.thresholdLevel, s.activityPercent,
             s.maxPeak, s.maxImpulse, s.maxFast, s.maxSlow, s.eventDuration,
             s.impulsive ? kImpulsiveYes : kImpulsiveNo);
  appendText(out, "\t%.2f\t%.2f\t%.2f\t\r\n", s.peakiness, s.impulsiveness, s.millisecondness);
}

}  // namespace

bool resultsText(char* buffer, size_t size, const MeterParams* p) {
  TextBuffer out;
  initTextBuffer(&out, buffer, size);
  appendText(&out, "Orvane 4.0 - Results of ITU-T P56 Calculations\r\n");
  for (size_t i = 0; i < sizeof kHeader / sizeof kHeader[0]; ++i)
    appendText(&out, i == 0 ? "%s" : "\t%s", kHeader[i]);
  appendText(&out, "\r\n");
  if (p->runChannels == 2) {
    appendRow(&out, "Left", channelSummary(p, p->left, p->fullScaleLeft));
    appendRow(&out, "Right", channelSummary(p, p->right, p->fullScaleRight));
    appendRow(&out, "Average", averageSummary(p));
  } else {
    appendRow(&out, "Mono", channelSummary(p, p->left, p->fullScaleLeft));
  }
  return !out.truncated;
}

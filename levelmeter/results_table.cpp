// The results levelmeter publishes (XfmResults): each row of its results dialog per channel,
// from the parameter block where a run keeps it, and for what the dialog derives (SEL, the
// duration, the average column) from the field that shows it.
#include "frame/plugin.h"
#include "levelmeter/dialog_ids.h"
#include "levelmeter/meter_params.h"
#include "levelmeter/result_fields.h"

namespace {

constexpr char kLeft[] = "Left";
constexpr char kRight[] = "Right";
constexpr char kAverage[] = "Average";
constexpr char kImpulsiveTexts[] = "no|yes";  // kImpulsiveNo, kImpulsiveYes
constexpr int kShownOnly = -1;                // no block field: the shown text holds it
constexpr int kPercent = 2;                   // activityFactor, a ratio, shown in %

// A level (or another float) kept per channel in ChannelResults.
#define CHANNEL_FLOATS(name, unit, member, field, power)                                      \
  {name,  kLeft,  unit, kLeftColumn.field, RESULT_FIELD(MeterParams, left.member, 'f'),       \
   power, nullptr},                                                                           \
      {name,  kRight, unit, kRightColumn.field, RESULT_FIELD(MeterParams, right.member, 'f'), \
       power, nullptr},                                                                       \
  {                                                                                           \
    name, kAverage, unit, kAverageColumn.field, kShownOnly, 0, 0, nullptr                     \
  }
// A value only the dialog derives, in every column.
#define SHOWN_ONLY(name, unit, field)                                        \
  {name, kLeft, unit, kLeftColumn.field, kShownOnly, 0, 0, nullptr},         \
      {name, kRight, unit, kRightColumn.field, kShownOnly, 0, 0, nullptr}, { \
    name, kAverage, unit, kAverageColumn.field, kShownOnly, 0, 0, nullptr    \
  }

const ResultEntry kEntries[] = {
    {"Weighting", "", "", kWeightingName, kShownOnly, 0, 0, nullptr},
    {"Full Scale Level", kLeft, "dB", kLeftColumn.fullScale,
     RESULT_FIELD(MeterParams, fullScaleLeft, 'f'), 0, nullptr},
    {"Full Scale Level", kRight, "dB", kRightColumn.fullScale,
     RESULT_FIELD(MeterParams, fullScaleRight, 'f'), 0, nullptr},
    // "Average Level" in the dialog: the equivalent continuous level.
    CHANNEL_FLOATS("Leq", "dB", leq, leq, 0),
    SHOWN_ONLY("SEL", "dB", sel),
    SHOWN_ONLY("Total Duration", "s", duration),
    CHANNEL_FLOATS("Active Speech Level", "dB", activeLevel, active, 0),
    CHANNEL_FLOATS("Threshold Level", "dB", thresholdLevel, threshold, 0),
    CHANNEL_FLOATS("Activity Factor", "%", activityFactor, activity, kPercent),
    CHANNEL_FLOATS("Max Peak Level", "dB", maxPeak, maxPeak, 0),
    CHANNEL_FLOATS("MaxSPL Impulse", "dB", maxImpulse, maxImpulse, 0),
    CHANNEL_FLOATS("MaxSPL Fast", "dB", maxFast, maxFast, 0),
    CHANNEL_FLOATS("MaxSPL Slow", "dB", maxSlow, maxSlow, 0),
    CHANNEL_FLOATS("Duration of the impulsive event", "s", eventDuration, eventDuration, 0),
    {"Impulsive Event", kLeft, "", kLeftColumn.impulsive,
     RESULT_FIELD(MeterParams, left.impulsiveEvent, 'b'), 0, kImpulsiveTexts},
    {"Impulsive Event", kRight, "", kRightColumn.impulsive,
     RESULT_FIELD(MeterParams, right.impulsiveEvent, 'b'), 0, kImpulsiveTexts},
    {"Impulsive Event", kAverage, "", kAverageColumn.impulsive, kShownOnly, 0, 0, kImpulsiveTexts},
};

}  // namespace

// The display's two curves are the left and right channels' histories, in s and dB as labelled.
const ResultsTable kResultsTable = {
    kEntries, sizeof kEntries / sizeof kEntries[0], kNotShown, nullptr, 0, nullptr, nullptr};

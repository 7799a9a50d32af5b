// The results crossanalyser publishes (XfmResults): the input and statistics of its results
// dialog and the time of flight, from the parameter block where a run keeps them.
#include "crossanalyser/analyser_params.h"
#include "crossanalyser/curve_boxes.h"
#include "crossanalyser/dialog_ids.h"
#include "frame/plugin.h"

namespace {

constexpr int kShownOnly = -1;  // no block field: the shown text holds it
constexpr int kPercent = 2;     // NccMax, a ratio, shown in %
constexpr int kSeconds = -3;    // ElapsedMs, shown in s

const ResultEntry kEntries[] = {
    {"Transform type", "", "", kTransformTypeText, kShownOnly, 0, 0, nullptr},
    {"FFT Size", "", "Samples", kFftSizeText, RESULT_FIELD(AnalyserParams, FftSize, 'l'), 0,
     nullptr},
    {"Channels", "", "", kChannelsText, RESULT_FIELD(AnalyserParams, Channels, 'c'), 0, nullptr},
    {"Sample Rate", "", "Hz", kSampleRateText, RESULT_FIELD(AnalyserParams, SampleRate, 'l'), 0,
     nullptr},
    {"Blocks averaged", "", "", kBlockCountText, RESULT_FIELD(AnalyserParams, AveragedBlocks, 'l'),
     0, nullptr},
    {"Elapsed time", "", "s", kElapsedText, RESULT_FIELD(AnalyserParams, ElapsedMs, 'l'), kSeconds,
     nullptr},
    {"RMS left", "", "dB", kRmsLeftText, RESULT_FIELD(AnalyserParams, RmsLeftDb, 'f'), 0, nullptr},
    {"RMS right", "", "dB", kRmsRightText, RESULT_FIELD(AnalyserParams, RmsRightDb, 'f'), 0,
     nullptr},
    {"RMS cross", "", "dB", kRmsCrossText, RESULT_FIELD(AnalyserParams, RmsCrossDb, 'f'), 0,
     nullptr},
    // The correlation line shows both, and only when the run found a correlation maximum.
    {"NCC Max", "", "%", kCorrelationLine, RESULT_FIELD(AnalyserParams, NccMax, 'f'), kPercent,
     nullptr},
    {"Time of flight", "", "ms", kCorrelationLine,
     RESULT_FIELD(AnalyserParams, TimeOfFlightMs, 'f'), 0, nullptr},
    {"Trigger time", "", "ms", kTriggerLine, RESULT_FIELD(AnalyserParams, TriggerTimeMs, 'f'), 0,
     nullptr},
};

// The display's curves by the boxes that choose them.
constexpr DisplayCurveName curveName(int curve, const CurveBox& box) {
  return {curve, (long)box.colour, box.name};
}
const DisplayCurveName kCurveNames[] = {
    curveName(1, kFirstCurveBoxes[0]),  curveName(1, kFirstCurveBoxes[1]),
    curveName(1, kFirstCurveBoxes[2]),  curveName(1, kFirstCurveBoxes[3]),
    curveName(2, kSecondCurveBoxes[0]), curveName(2, kSecondCurveBoxes[1]),
    curveName(2, kSecondCurveBoxes[2]), curveName(2, kSecondCurveBoxes[3]),
};

}  // namespace

// The display's curves have no one unit (levels in dB, a phase scaled to +-80, a coherence).
const ResultsTable kResultsTable = {
    kEntries,    sizeof kEntries / sizeof kEntries[0],       "",
    kCurveNames, sizeof kCurveNames / sizeof kCurveNames[0], nullptr,
    nullptr};

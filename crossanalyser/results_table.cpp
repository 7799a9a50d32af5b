// The results crossanalyser publishes (XfmResults): the input and statistics of its results
// dialog and the time of flight, from the parameter block where a run keeps them.
#include "crossanalyser/analyser_params.h"
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

}  // namespace

const ResultsTable kResultsTable = {kEntries, sizeof kEntries / sizeof kEntries[0], ""};

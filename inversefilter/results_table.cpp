// The results inversefilter publishes (XfmResults): the design's settings and figures of its
// results dialog, from the parameter block where a run keeps them, and the mode the filters
// are laid out in (the clipboard image does not tell a Stereo network from a Dual Mono pair).
#include "frame/plugin.h"
#include "inversefilter/designer_params.h"
#include "inversefilter/dialog_ids.h"

namespace {

constexpr int kShownOnly = -1;  // no block field: the shown text holds it
constexpr int kNotShown = 0;    // no dialog field shows it
constexpr int kSeconds = -3;    // ElapsedMs, shown in s
// The texts of Mode's values, in DesignerMode order.
constexpr char kModeTexts[] = "mono|Dual Mono|Stereo|2x2";

const ResultEntry kEntries[] = {
    // The length and channels of the filters as designed: the run may round the length to an
    // even one, or make the single-filter form mono.
    {"Length", "", "Samples", kShownFilterLength, kShownOnly, 0, 0, nullptr},
    {"Channels", "", "", kShownChannels, kShownOnly, 0, 0, nullptr},
    {"Mode", "", "", kNotShown, RESULT_FIELD(DesignerParams, Mode, 'i'), 0, kModeTexts},
    {"Sample Rate", "", "Hz", kShownSampleRate, kShownOnly, 0, 0, nullptr},
    {"In-band regularisation", "", "", kShownInBand,
     RESULT_FIELD(DesignerParams, InBandRegularisation, 'f'), 0, nullptr},
    {"Out-band regularisation", "", "", kShownOutBand,
     RESULT_FIELD(DesignerParams, OutBandRegularisation, 'f'), 0, nullptr},
    {"Low frequency", "", "Hz", kShownLowerCut, RESULT_FIELD(DesignerParams, LowerCutHz, 'l'), 0,
     nullptr},
    {"High frequency", "", "Hz", kShownHigherCut, RESULT_FIELD(DesignerParams, HigherCutHz, 'l'), 0,
     nullptr},
    {"Transition width", "", "oct", kShownTransition,
     RESULT_FIELD(DesignerParams, TransitionOctaves, 'f'), 0, nullptr},
    {"Average type", "", "", kShownAverageType, kShownOnly, 0, 0, nullptr},
    {"Window type", "", "", kShownWindowType, kShownOnly, 0, 0, nullptr},
    // Points or octaves, by the window type; "none" without smoothing.
    {"Window width", "", "", kShownWindowWidth, kShownOnly, 0, 0, nullptr},
    {"Elapsed time", "", "s", kShownElapsed, RESULT_FIELD(DesignerParams, ElapsedMs, 'l'), kSeconds,
     nullptr},
    {"Rescaling Gain", "", "dB", kShownGain, RESULT_FIELD(DesignerParams, GainDb, 'd'), 0, nullptr},
};

}  // namespace

// The display draws the filters' samples over their index, labelled "s", at full scale 1; its
// curves are the image's left and right channels.
const ResultsTable kResultsTable = {
    kEntries, sizeof kEntries / sizeof kEntries[0], "", nullptr, 0, "samples", "full scale"};

// inversefilter's parameter block: the design settings the host keeps between runs and the
// hand-over area between a run and its results dialog. 73 bytes, packed, little-endian, with the
// double at offset 1. The host owns the block; the plug-in reaches it only while it holds a lock
// on paramBlock.
#pragma once

#include "frame/param_types.h"
#include "frame/xfm.h"

#include <stddef.h>
#include <stdint.h>

// Mode (offset 53).
enum DesignerMode : int16_t {
  kModeMono = 0,      // one response, one filter
  kModeDualMono = 1,  // left and right designed independently
  kModeStereo = 2,    // one stereo response taken as a symmetric 2x2 set-up
  kMode2x2 = 3,       // two stereo responses: left loudspeaker, then right loudspeaker
};

// AverageType (offset 57): the pre-processing of the measured spectrum.
enum AverageType : int32_t {
  kAverageNone = 0,
  kAverageRealImag = 1,  // smoothing of the real and imaginary parts
  kAverageMagPhase = 2,  // smoothing of the magnitude and the unwrapped phase
  kAverageCepstrum = 3,  // minimum-phase / excess-phase split, each part smoothed
};

// WindowType (offset 61): the averaging window.
enum AveragingWindow : int32_t {
  kWindowLinear = 0,   // Hann-weighted, WindowWidth spectral points
  kWindowOctaves = 1,  // rectangular, WindowWidth octaves wide
};

#pragma pack(push, 1)

struct DesignerParams {
  BYTE Autorange;               // 0: 1 automatic gain, 0 manual gain
  double GainDb;                // 1: manual gain (dB); after an automatic run, the gain found
  int32_t InverseFilterLength;  // 9: IFL, samples per filter
  float InBandRegularisation;   // 13: epsilon in the pass band (> 0)
  float OutBandRegularisation;  // 17: epsilon outside the pass band (> 0)
  int32_t LowerCutHz;           // 21: lower cut frequency, Hz
  int32_t HigherCutHz;          // 25: higher cut frequency, Hz
  float TransitionOctaves;      // 29: width of each transition band, octaves
  int32_t ElapsedMs;            // 33: duration of the last design, ms
  BlockHandle HostWindow;       // 37: parent given to XfmSetup; owner of the run's messages
  BlockHandle ModuleInstance;   // 41: module instance given to XfmSetup
  BlockBuffer FilterSamples;    // 45: the clipboard image holding the last filters, their
                                //     samples after its header; 0 once the results dialog
                                //     has closed
  BlockHandle DisplayWindow;    // 49: display control of the open results dialog
  int16_t Mode;                 // 53: DesignerMode
  BYTE CrossTalkOnly;           // 55: 1 "Cross-Talk cancel only"
  BYTE ActiveNoiseControl;      // 56: 1 single-filter output; never set by the dialog
  int32_t AverageType;          // 57: AverageType
  int32_t WindowType;           // 61: AveragingWindow
  float WindowWidth;            // 65: averaging width, points or octaves
  int32_t DisplayCursor;        // 69: last sample index served to the display
};

#pragma pack(pop)

static_assert(offsetof(DesignerParams, Autorange) == 0);
static_assert(offsetof(DesignerParams, GainDb) == 1);
static_assert(offsetof(DesignerParams, InverseFilterLength) == 9);
static_assert(offsetof(DesignerParams, InBandRegularisation) == 13);
static_assert(offsetof(DesignerParams, OutBandRegularisation) == 17);
static_assert(offsetof(DesignerParams, LowerCutHz) == 21);
static_assert(offsetof(DesignerParams, HigherCutHz) == 25);
static_assert(offsetof(DesignerParams, TransitionOctaves) == 29);
static_assert(offsetof(DesignerParams, ElapsedMs) == 33);
static_assert(offsetof(DesignerParams, HostWindow) == 37);
static_assert(offsetof(DesignerParams, ModuleInstance) == 41);
static_assert(offsetof(DesignerParams, FilterSamples) == 45);
static_assert(offsetof(DesignerParams, DisplayWindow) == 49);
static_assert(offsetof(DesignerParams, Mode) == 53);
static_assert(offsetof(DesignerParams, CrossTalkOnly) == 55);
static_assert(offsetof(DesignerParams, ActiveNoiseControl) == 56);
static_assert(offsetof(DesignerParams, AverageType) == 57);
static_assert(offsetof(DesignerParams, WindowType) == 61);
static_assert(offsetof(DesignerParams, WindowWidth) == 65);
static_assert(offsetof(DesignerParams, DisplayCursor) == 69);
static_assert(sizeof(DesignerParams) == 73);

// The block as the host sees it: one type letter per field, in order.
constexpr char kDesignerParamTypes[] = "cdlffllflhhlhiccllfl";
static_assert(sizeof(kDesignerParamTypes) - 1 == 20);
static_assert(paramTypeBytes(kDesignerParamTypes) == (long)sizeof(DesignerParams));

// Defaults that XfmInit writes into a new block (fields not listed keep the host's bytes).
constexpr BYTE kDefaultAutorange = 1;
constexpr double kDefaultGainDb = 0.0;
constexpr int32_t kDefaultInverseFilterLength = 1024;
constexpr float kDefaultInBandRegularisation = 0.001f;
constexpr float kDefaultOutBandRegularisation = 1.0f;
constexpr int32_t kDefaultLowerCutHz = 80;
constexpr int32_t kDefaultHigherCutHz = 16000;
constexpr float kDefaultTransitionOctaves = 0.33f;
constexpr int16_t kDefaultMode = kModeDualMono;
constexpr int32_t kDefaultAverageType = kAverageNone;
constexpr int32_t kDefaultWindowType = kWindowLinear;
constexpr float kDefaultWindowWidth = 5.0f;

// Writes the defaults above into the block and leaves every other field as it is.
inline void SetDesignerDefaults(DesignerParams* p) {
  p->Autorange = kDefaultAutorange;
  p->GainDb = kDefaultGainDb;
  p->InverseFilterLength = kDefaultInverseFilterLength;
  p->InBandRegularisation = kDefaultInBandRegularisation;
  p->OutBandRegularisation = kDefaultOutBandRegularisation;
  p->LowerCutHz = kDefaultLowerCutHz;
  p->HigherCutHz = kDefaultHigherCutHz;
  p->TransitionOctaves = kDefaultTransitionOctaves;
  p->Mode = kDefaultMode;
  p->AverageType = kDefaultAverageType;
  p->WindowType = kDefaultWindowType;
  p->WindowWidth = kDefaultWindowWidth;
}

// levelmeter's parameter block: the settings the host keeps between runs and the hand-over
// area between a run and its results dialog. 1460 bytes, packed, little-endian. The host owns
// the block; the plug-in reaches it only while it holds a lock on paramBlock.
#pragma once

#include "frame/param_types.h"
#include "frame/xfm.h"

#include <stddef.h>
#include <stdint.h>

// Filter codes (bytes 16 and 17).
constexpr char kFilterWideBand = 'L';
constexpr char kFilterItuBandPass = 'B';
constexpr char kFilterAWeighting = 'A';
constexpr char kFilterWholeBody = 'W';

// Calibration modes (byte 34).
constexpr char kCalFullScale = 'F';
constexpr char kCalLeq = 'L';

// Time histories, in argument and storage order.
enum MeterHistory { kHistRms = 0, kHistItu, kHistFast, kHistSlow, kHistImpulse, kHistoryKinds };

#pragma pack(push, 1)

// Results of one channel; levels in dB, calibrated.
struct ChannelResults {
  float leq;             // equivalent continuous level
  float activeLevel;     // active speech level
  float thresholdLevel;  // activeLevel - 15.9 dB
  float activityFactor;  // ratio 0..1
  float maxRms;          // largest 1 ms block level
  float maxPeak;         // largest sample, as a level
  float maxImpulse;
  float maxFast;
  float maxSlow;
  float eventDuration;     // seconds
  int32_t impulsiveEvent;  // 1 yes, 0 no
};
static_assert(sizeof(ChannelResults) == 44);

struct MeterParams {
  BlockHandle HostWindow;      // 0: owner of the run's message boxes and results dialog
  BlockHandle ModuleInstance;  // 4: the results dialog is loaded from it
  BlockHandle unusedHandle;    // 8
  BlockHandle displayWindow;   // 12: display control of the results dialog
  char filterLeft;             // 16: filter code of the left or only channel
  char filterRight;            // 17
  float fullScaleLeft;         // 18: dB that digital full scale represents
  float fullScaleRight;        // 22
  float leqCalLeft;            // 26: dB, known Leq of a calibration recording
  float leqCalRight;           // 30
  char calMode;                // 34: kCalFullScale or kCalLeq
  char displayCurve;           // 35: '1' RMS, '3' ITU, 'F', 'S', 'I'
  int32_t runSampleRate;       // 36: Hz, of the last run
  int32_t runFrames;           // 40: frames of the last run
  int32_t runChannels;         // 44
  // The run's history blocks, in MeterHistory order, blockCount floats each.
  BlockBuffer leftHistories[kHistoryKinds];   // 48
  BlockBuffer rightHistories[kHistoryKinds];  // 68
  ChannelResults left;                        // 88: left or only channel
  ChannelResults right;                       // 132
  int32_t averageColumn;      // 176: 1 when the results dialog's "Avg" box is checked
  BYTE reserved[512];         // 180
  char exportDirectory[256];  // 692: folder the export dialog offers
  char exportFileName[256];   // 948: file name the export dialog offers
  char exportPath[256];       // 1204: full path of the last export
};
#pragma pack(pop)

static_assert(offsetof(MeterParams, ModuleInstance) == 4);
static_assert(offsetof(MeterParams, displayWindow) == 12);
static_assert(offsetof(MeterParams, filterLeft) == 16);
static_assert(offsetof(MeterParams, filterRight) == 17);
static_assert(offsetof(MeterParams, fullScaleLeft) == 18);
static_assert(offsetof(MeterParams, fullScaleRight) == 22);
static_assert(offsetof(MeterParams, leqCalLeft) == 26);
static_assert(offsetof(MeterParams, leqCalRight) == 30);
static_assert(offsetof(MeterParams, calMode) == 34);
static_assert(offsetof(MeterParams, displayCurve) == 35);
static_assert(offsetof(MeterParams, runSampleRate) == 36);
static_assert(offsetof(MeterParams, runFrames) == 40);
static_assert(offsetof(MeterParams, runChannels) == 44);
static_assert(offsetof(MeterParams, leftHistories) == 48);
static_assert(offsetof(MeterParams, rightHistories) == 68);
static_assert(offsetof(MeterParams, left) == 88);
static_assert(offsetof(MeterParams, left) + offsetof(ChannelResults, impulsiveEvent) == 128);
static_assert(offsetof(MeterParams, right) == 132);
static_assert(offsetof(MeterParams, right) + offsetof(ChannelResults, impulsiveEvent) == 172);
static_assert(offsetof(MeterParams, averageColumn) == 176);
static_assert(offsetof(MeterParams, reserved) == 180);
static_assert(offsetof(MeterParams, exportDirectory) == 692);
static_assert(offsetof(MeterParams, exportFileName) == 948);
static_assert(offsetof(MeterParams, exportPath) == 1204);
static_assert(sizeof(MeterParams) == 1460);

// The block as the host sees it, one type letter per field: its 53 letters describe only the
// first 185 of the 1460 bytes, the fields from offset 0 through averageColumn (48 letters) and
// then, as five "c", the first five bytes of reserved. The export fields are left undescribed.
constexpr char kMeterParamTypes[] = "hhhhccffffcclllllllllllllffffffffffbffffffffffbbccccc";
static_assert(sizeof(kMeterParamTypes) - 1 == 53);
static_assert(paramTypeBytes(kMeterParamTypes) == 185);
static_assert(paramTypeBytes(kMeterParamTypes) == (long)offsetof(MeterParams, reserved) + 5);

// crossanalyser's parameter block: the settings the host keeps between runs and the hand-over
// area between a run and its results dialog. 124 bytes, packed, little-endian. The host owns the
// block; the plug-in reaches it only while it holds a lock on paramBlock. The buffer fields hold
// the run's blocks of N floats each (frame/block_fields.h), 0 before the first run.
#pragma once

#include "frame/param_types.h"
#include "frame/xfm.h"

#include <stddef.h>
#include <stdint.h>

// Processing functions (ProcessingFunction), in the order of the settings dialog's buttons.
enum AnalyserFunction : int {
  kFnCrossCorrelation = 0,
  kFnTransferH1 = 1,
  kFnTransferH2 = 2,
  kFnTransferH3 = 3,
  kFnAutoCorrelations = 4,
  kFnWhiteCrossCorrelation = 5,
  kFnTubeCalibration = 6,
  kFnAbsorption = 7,
  kFnFreeFieldCalibration = 8,
  kFnCrossPowerPhase = 9,
};

// FFT sizes (FftSizeIndex): index i means N = 2^(i + 8), 256 ... 1048576.
constexpr int kMaxFftSizeIndex = 12;
constexpr int kDefaultFftSizeIndex = 6;  // 16384

// N of an FftSizeIndex. An index outside 0 ... 12 (a block written elsewhere, or a settings
// dialog whose size list had no selection) is taken as the nearest size there is, so that a
// run never transforms a length the analyser cannot take nor asks for memory that wraps.
inline int ValidFftSizeIndex(int32_t index) {
  return index < 0 ? 0 : (index > kMaxFftSizeIndex ? kMaxFftSizeIndex : (int)index);
}
inline long FftSizeOf(int32_t index) { return 1L << (ValidFftSizeIndex(index) + 8); }

// Following filter (FollowMode).
enum FollowMode : int { kFollowOff = 0, kFollowLeft = 1, kFollowRight = 2 };

#pragma pack(push, 1)

struct AnalyserParams {
  char Channels;               // 0: channel count of the last run (low byte of the record's)
  int32_t FftSize;             // 1: N = 2^(FftSizeIndex + 8), written by each run
  int32_t FftSizeIndex;        // 5: 0 ... 12 for N = 256 ... 1048576
  int16_t WindowShape;         // 9: 0 "RECT" ... 5 "HALF-SINE"
  int16_t ProcessingFunction;  // 11: AnalyserFunction
  char Normalize;              // 13: 0 or 1
  char ShiftHalf;              // 14: 0 or 1, rotate the outputs by half a window
  char SaveMultiSpectrum;      // 15: 0 or 1, write "MultiSpectrum.txt"
  int16_t BlockCount;          // 16: averaged blocks of the last run, saturated at 32767
  int32_t ElapsedMs;           // 18: duration of the last run, ms
  int32_t SampleRate;          // 22: Hz, of the last run
  float LeftScale;             // 26: divisor r of the left output
  float RmsLeftDb;             // 30: 20 log10 of the RMS of the windowed left samples
  float RmsRightDb;            // 34: the same for the right samples
  float RmsCrossDb;            // 38: 10 log10 of the absolute mean product of the windowed samples
  float NccMax;                // 42: normalised cross-correlation maximum (0 unless function 0)
  float TimeOfFlightMs;        // 46: lag of the left output's peak, ms; NaN: no peak at all
  int16_t TimeReversal;        // 50: 0 or 1
  int16_t SquaredHilbert;      // 52: 0 or 1
  int16_t FollowMode;          // 54: FollowMode
  int16_t CoherenceWeighting;  // 56: 0 or 1
  float BandwidthOctaves;      // 58: following-filter bandwidth, octaves
  int16_t TriggerLevel;        // 62: percent of full scale
  float TriggerTimeMs;         // 64: trigger time of the last run, ms
  BlockHandle HostWindow;      // 68: window handle given to XfmSetup
  BlockHandle ModuleInstance;  // 72: module handle given to XfmSetup
  BlockHandle reserved76;      // 76
  BlockHandle DisplayWindow;   // 80: display control of the open results dialog
  BlockBuffer AutoLeft;        // 84: GLL
  BlockBuffer AutoRight;       // 88: GRR
  BlockBuffer CrossSpectrum;   // 92: GLR (CSP for function 9)
  BlockBuffer ResultSpectrum;  // 96: the copy of the result spectrum
  BlockBuffer SecondSpectrum;  // 100: the copy of the second spectrum
  int32_t AveragedBlocks;      // 104: averaged blocks of the last run, the whole count (0 in
                               //      blocks from before it was kept: BlockCount tells)
  int16_t LeftCurve;           // 108: first display curve, 0 ... 4
  int16_t RightCurve;          // 110: second display curve, 0 ... 4
  float SoundSpeed;            // 112: c, m/s
  float ProbeDistance;         // 116: d, mm
  float MaxFrequency;          // 120: fmax, Hz
};

#pragma pack(pop)

static_assert(offsetof(AnalyserParams, Channels) == 0);
static_assert(offsetof(AnalyserParams, FftSize) == 1);
static_assert(offsetof(AnalyserParams, FftSizeIndex) == 5);
static_assert(offsetof(AnalyserParams, WindowShape) == 9);
static_assert(offsetof(AnalyserParams, ProcessingFunction) == 11);
static_assert(offsetof(AnalyserParams, Normalize) == 13);
static_assert(offsetof(AnalyserParams, ShiftHalf) == 14);
static_assert(offsetof(AnalyserParams, SaveMultiSpectrum) == 15);
static_assert(offsetof(AnalyserParams, BlockCount) == 16);
static_assert(offsetof(AnalyserParams, ElapsedMs) == 18);
static_assert(offsetof(AnalyserParams, SampleRate) == 22);
static_assert(offsetof(AnalyserParams, LeftScale) == 26);
static_assert(offsetof(AnalyserParams, RmsLeftDb) == 30);
static_assert(offsetof(AnalyserParams, RmsRightDb) == 34);
static_assert(offsetof(AnalyserParams, RmsCrossDb) == 38);
static_assert(offsetof(AnalyserParams, NccMax) == 42);
static_assert(offsetof(AnalyserParams, TimeOfFlightMs) == 46);
static_assert(offsetof(AnalyserParams, TimeReversal) == 50);
static_assert(offsetof(AnalyserParams, SquaredHilbert) == 52);
static_assert(offsetof(AnalyserParams, FollowMode) == 54);
static_assert(offsetof(AnalyserParams, CoherenceWeighting) == 56);
static_assert(offsetof(AnalyserParams, BandwidthOctaves) == 58);
static_assert(offsetof(AnalyserParams, TriggerLevel) == 62);
static_assert(offsetof(AnalyserParams, TriggerTimeMs) == 64);
static_assert(offsetof(AnalyserParams, HostWindow) == 68);
static_assert(offsetof(AnalyserParams, ModuleInstance) == 72);
static_assert(offsetof(AnalyserParams, reserved76) == 76);
static_assert(offsetof(AnalyserParams, DisplayWindow) == 80);
static_assert(offsetof(AnalyserParams, AutoLeft) == 84);
static_assert(offsetof(AnalyserParams, AutoRight) == 88);
static_assert(offsetof(AnalyserParams, CrossSpectrum) == 92);
static_assert(offsetof(AnalyserParams, ResultSpectrum) == 96);
static_assert(offsetof(AnalyserParams, SecondSpectrum) == 100);
static_assert(offsetof(AnalyserParams, AveragedBlocks) == 104);
static_assert(offsetof(AnalyserParams, LeftCurve) == 108);
static_assert(offsetof(AnalyserParams, RightCurve) == 110);
static_assert(offsetof(AnalyserParams, SoundSpeed) == 112);
static_assert(offsetof(AnalyserParams, ProbeDistance) == 116);
static_assert(offsetof(AnalyserParams, MaxFrequency) == 120);
static_assert(sizeof(AnalyserParams) == 124);

// The block as the host sees it: one type letter per field, in order.
constexpr char kAnalyserParamTypes[] = "clliicccillffffffiiiififhhhhlllllliifff";
constexpr DWORD kAnalyserParamSize = sizeof(AnalyserParams);
static_assert(sizeof(kAnalyserParamTypes) - 1 == 39);
static_assert(paramTypeBytes(kAnalyserParamTypes) == (long)sizeof(AnalyserParams));

// The 16-bit BlockCount field of a 32-bit count: saturated at 32767 so that a long selection
// never reads as a negative or wrapped count.
inline int16_t saturatedBlockCount(long count) {
  return (int16_t)(count > 32767 ? 32767 : (count < 0 ? 0 : count));
}

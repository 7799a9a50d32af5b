// The run's figures derived from the averaging and the output frames: the statistics in
// decibels, the time of flight in milliseconds and the trigger time.
#pragma once

#include "crossanalyser/averaging.h"

// Level floor: zero (or a NaN) reads as -200 dB, and no level reads lower.
constexpr float kLevelFloorDb = -200.0f;

struct StatisticsLevels {
  float rmsLeftDb;   // 20 log10 rmsL
  float rmsRightDb;  // 20 log10 rmsR
  float rmsCrossDb;  // 10 log10 |meanLR|
};

// Logarithms formed as ln(x) / ln(10) in double, results floats, floored at -200 dB.
StatisticsLevels LevelsOf(const SpectraStatistics* statistics);

// samples / fs * 1000 (ms), fs the record's integer rate.
float TimeOfFlightMs(long samples, long sampleRate);

// First output frame (frames: N interleaved stereo frames as written, after scaling and time
// reversal) whose left sample's magnitude is strictly above TriggerLevel * 327.67 (the float
// 327.67, the product rounded to float): percent of 32767. 0 when no frame is above it, so that
// level 100 (threshold 32767.002) finds nothing on a normalised output peaking at 32767.
long TriggerIndex(const float* frames, long n, int triggerLevel);

// (index - N/2) / fs * 1000 with shiftHalf, else index / fs * 1000 (ms).
float TriggerTimeMs(long index, long n, bool shiftHalf, long sampleRate);

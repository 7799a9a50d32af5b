// The measuring core of the meter: one channel in, its time histories and calibrated levels
// out. A channel is pre-filtered in place (mean removal, then its weighting) and walked once
// in blocks of meterBlockLength samples of its float rate (levelmeter/blocks.h: 48 at 48 kHz,
// 44 at 44.1 kHz); samples after the last whole block are never looked at. All levels are
// 10 log10 of power quantities, so a value of 0 dB relative is a mean square (or squared peak)
// of 1.0.
#pragma once

#include "frame/xfm.h"
#include "levelmeter/meter_params.h"

// 10 log10(x) for x > 0; -200 for zero, negative or NaN power.
double powerToDb(double x);

// powerToDb(x) rounded to a float, bit for bit, as the time histories store it: a short series
// stands in for the library logarithm wherever it settles the float on its own, which is all
// but about one value in 2000.
float powerToDbFloat(double x);

// Measures one channel of the selection.
//   signal      n = selLast - selFirst + 1 floats at full scale 1.0, owned by the caller;
//               overwritten with the mean-free, weighted signal (also when cancelled).
//   params      the locked parameter block; read: calMode, the channel's fullScale and
//               leqCal; written: the channel's ChannelResults (params->right for code 'r',
//               params->left for every other code) and, in calibration mode 'L', the
//               channel's full-scale value (dB), set to leqCal - Leq relative.
//   channelCode 'm' mono, 'l' left, 'r' right; chooses the progress caption and the fields.
//   filterCode  the channel's weighting code (kFilterWideBand ... kFilterWholeBody).
//   histories   five caller-owned arrays of at least n / blockLength floats: element j is the
//               level (dB re full scale, uncalibrated) at the end of block j.
//   instance    sampleRate, selFirst, selLast, cancelFlag and the progress callbacks.
// Returns true when the results were written. Returns false when the user cancelled (after a
// pre-filter step or after any block; the histories then hold the blocks done so far) and,
// without touching signal, histories or params and without any progress call, when the
// channel cannot be measured: a sample rate below 1000 Hz or fewer samples than one block.
// The run refuses both before it gets here; the check keeps this routine free of divisions by
// zero whatever it is given.
bool analyseChannel(float* signal, MeterParams* params, char channelCode, char filterCode,
                    float* rmsHistory, float* ituHistory, float* fastHistory, float* slowHistory,
                    float* impulseHistory, const XFMINSTANCE* instance);

// Speech activity thresholds: index j = 0..29 holds 2^-(j+1)/2 (-3.01 dB down to -90.31 dB in
// envelope amplitude); only 1..29 are used.
constexpr int kActivityThresholds = 30;
// Distance in dB between the active speech level and the threshold that defines it.
constexpr double kActivityMargin = 15.9;

// Envelope amplitude of threshold j.
double activityThreshold(int j);

// Active level (dB re full scale) from the sum of the block mean squares and the number of
// active blocks per threshold (a count of 0 is taken as 1). Walks from the lowest threshold
// up to the first one whose level lies within the margin above it, and interpolates between
// that threshold and the one below. Where the text leaves it open:
//  - the margin met already at the lowest threshold (29): its level A_29, as there is no
//    threshold below to interpolate with;
//  - the margin met at no threshold (a signal whose active level lies more than 15.9 dB above
//    the highest threshold, i.e. above about +9.9 dB re full scale): A_1, the level over the
//    blocks active at the highest threshold, as that threshold is where the search ends.
// The levels A_j are taken with powerToDb, so a silent channel (energy sum 0) gives -200 dB,
// found at threshold 29, rather than minus infinity.
double activeSpeechLevel(double energySum, const long counts[kActivityThresholds]);

// Outcome of the impulsive-event test.
struct ImpulsiveEvent {
  double duration;  // seconds between the Fast level's crossings of (max - 10 dB); 0 if none
  int impulsive;    // 1 yes, 0 no
};

// Impulsive-event decision from the maxima (dB re full scale) and the Fast history as stored.
// With impulseMax - slowMax >= 6 dB, the Fast history is followed from its maximum at block
// fastMaxBlock back and forward to where it first lies below fastMax - 10 dB; the duration is
// the time of the blocks strictly between the two crossings, 0 when either is missing (a start
// crossing at block 0 counts as missing), and the event is impulsive when that is below 1 s.
// Otherwise duration 0 and not impulsive.
ImpulsiveEvent impulsiveEventOf(const float* fastHistory, long blockCount, long fastMaxBlock,
                                double fastMax, double slowMax, double impulseMax,
                                double blockSeconds);

// What the results dialog and the results text show for a channel and for the average of two
// channels, derived from the parameter block where it is shown. Levels in dB, durations in
// seconds, the activity factor in percent.
#pragma once

#include "levelmeter/meter_params.h"

struct ResultSummary {
  double fullScale;
  double leq;
  double sel;       // single event level: leq + 10 log10 T
  double duration;  // T, seconds
  double activeLevel;
  double thresholdLevel;
  double activityPercent;
  double maxPeak;
  double maxImpulse;
  double maxFast;
  double maxSlow;
  double maxRms;
  double eventDuration;  // seconds
  bool impulsive;
  double peakiness;        // maxPeak - activeLevel
  double impulsiveness;    // maxImpulse - activeLevel
  double millisecondness;  // maxRms - activeLevel
};

// 10 log10 of the mean of the two powers.
double energeticMean(double a, double b);
// T = runFrames / runSampleRate (0 before any run).
double totalDuration(const MeterParams* p);

ResultSummary channelSummary(const MeterParams* p, const ChannelResults& r, float fullScale);
// The average column: energetic means of the levels, arithmetic means of threshold, activity
// and event duration, an impulsive event when either channel has one.
ResultSummary averageSummary(const MeterParams* p);

// Names of a filter code in the results ("Wide Band", "ITU BandPass", ...).
const char* filterName(char code);

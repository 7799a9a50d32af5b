#include "crossanalyser/run_outputs.h"

#include <math.h>

namespace {

float levelDb(double value, double factor) {
  if (!(value > 0.0)) return kLevelFloorDb;
  const float level = (float)(factor * (log(value) / log(10.0)));
  return level < kLevelFloorDb ? kLevelFloorDb : level;
}

}  // namespace

StatisticsLevels LevelsOf(const SpectraStatistics* s) {
  return {levelDb(s->rmsLeft, 20.0), levelDb(s->rmsRight, 20.0),
          levelDb(fabs((double)s->meanProduct), 10.0)};
}

float TimeOfFlightMs(long samples, long sampleRate) {
  return (float)((double)samples / sampleRate * 1000.0);
}

long TriggerIndex(const float* frames, long n, int triggerLevel) {
  const float threshold = (float)triggerLevel * 327.67f;
  for (long i = 0; i < n; ++i)
    if (fabsf(frames[2 * i]) > threshold) return i;
  return 0;
}

float TriggerTimeMs(long index, long n, bool shiftHalf, long sampleRate) {
  const long lag = shiftHalf ? index - n / 2 : index;
  return (float)((double)lag / sampleRate * 1000.0);
}

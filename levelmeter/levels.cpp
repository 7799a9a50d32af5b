#include "levelmeter/levels.h"

#include "frame/progress.h"
#include "levelmeter/blocks.h"
#include "levelmeter/filters.h"

#include <float.h>
#include <math.h>

#include <emmintrin.h>

namespace {

// How a channel is cut into blocks of about one millisecond.
struct BlockPlan {
  long blockLength;     // samples per block
  double blockSeconds;  // duration of one block
  long blockCount;      // whole blocks in the channel
};

// Levels of one channel relative to full scale (dB), before calibration.
struct RelativeLevels {
  double peak;
  double rmsMax;
  double fastMax;
  double slowMax;
  double impulseMax;
  double leq;
  double active;
  ImpulsiveEvent event;
};

// powerToDb(x) as a float without the library logarithm where that is safe. The bits of x
// give x = 2^e m with m in [1/sqrt(2), sqrt(2)), and ln m = 2 atanh(s), s = (m - 1) / (m + 1),
// |s| <= 0.172, from its series up to s^15 (truncation below 4e-14). This and the library's
// 10 log10(x) both lie within 1e-13 of the true value, relative to it, far inside the margin of
// 1e-11; where every value within the margin rounds to the same float, the library's value
// rounds to that float too. Otherwise (about one value in 2000), and for powers that are not
// normal positive numbers, the library decides.
inline float decibelsAsFloat(double x) {
  if (!(x >= DBL_MIN && x <= DBL_MAX)) return (float)powerToDb(x);
  const __m128i bits = _mm_castpd_si128(_mm_set_sd(x));
  const __m128i unitMantissa = _mm_or_si128(
      _mm_and_si128(bits, _mm_set_epi32(0, 0, 0x000FFFFF, -1)), _mm_set_epi32(0, 0, 0x3FF00000, 0));
  double m = _mm_cvtsd_f64(_mm_castsi128_pd(unitMantissa));  // [1, 2)
  int e = _mm_cvtsi128_si32(_mm_srli_epi64(bits, 52)) - 1023;
  const bool fold = m > 1.4142135623730951;
  m = fold ? m * 0.5 : m;
  e += fold ? 1 : 0;
  const double s = (m - 1.0) / (m + 1.0);
  const double s2 = s * s;
  const double s4 = s2 * s2;
  // Estrin's scheme: four independent pairs instead of one long chain.
  const double p01 = 1.0 + s2 * (1.0 / 3);
  const double p23 = 1.0 / 5 + s2 * (1.0 / 7);
  const double p45 = 1.0 / 9 + s2 * (1.0 / 11);
  const double p67 = 1.0 / 13 + s2 * (1.0 / 15);
  const double series = (p01 + s4 * p23) + (s4 * s4) * (p45 + s4 * p67);
  const double ln = e * 0.69314718055994530942 + 2.0 * s * series;
  const double level = ln * 4.3429448190325182765;  // 10 / ln 10
  const double margin = 1e-11 * fabs(level);
  const float low = (float)(level - margin);
  if (low == (float)(level + margin)) return low;
  return (float)powerToDb(x);
}

// False when the rate gives blocks of no samples or the channel holds no whole block.
bool planBlocks(long sampleRate, long n, BlockPlan* plan) {
  const float fs = (float)sampleRate;
  const long blockLength = meterBlockLength(fs);
  if (blockLength < 1 || n < blockLength) return false;
  plan->blockLength = blockLength;
  plan->blockSeconds = (double)blockLength / fs;
  plan->blockCount = n / blockLength;
  return true;
}

// Mean removal and weighting over all n samples. A cancel seen after the mean removal still
// lets the weighting run, so the signal handed back is always fully conditioned.
bool preFilter(float* signal, long n, char filterCode, const XFMINSTANCE* instance) {
  progressBegin(instance, "Pre-Filtering...");
  progressStep(instance, 0, 2);
  removeMean(signal, n);
  progressStep(instance, 1, 2);
  bool cancelled = isCancelled(instance);
  applyWeighting(filterCode, signal, n, instance->sampleRate);
  progressStep(instance, 2, 2);
  cancelled = cancelled || isCancelled(instance);
  progressEnd(instance);
  return !cancelled;
}

const char* levelCaption(char channelCode) {
  switch (channelCode) {
    case 'l':
      return "Calculating Left Channel Levels...";
    case 'm':
      return "Calculating Levels...";
    case 'r':
      return "Calculating Right Channel Levels...";
    default:
      return nullptr;
  }
}

// Speech activity per threshold: a block counts as active when the envelope at its end is at
// or above the threshold, or when it was so within the last `hangover` blocks.
struct Activity {
  double threshold[kActivityThresholds];
  long count[kActivityThresholds];
  long sinceAbove[kActivityThresholds];  // blocks of hangover used since last above
  long hangover;
};

void startActivity(Activity* activity, long hangover) {
  for (int j = 0; j < kActivityThresholds; ++j) {
    activity->threshold[j] = activityThreshold(j);
    activity->count[j] = 0;
    // Starting "used up" keeps the blocks before the envelope first reaches a threshold out.
    activity->sinceAbove[j] = hangover;
  }
  activity->hangover = hangover;
}

void countActivity(Activity* activity, double envelope) {
  for (int j = 1; j < kActivityThresholds; ++j) {
    if (envelope >= activity->threshold[j]) {
      ++activity->count[j];
      activity->sinceAbove[j] = 0;
    } else if (activity->sinceAbove[j] < activity->hangover) {
      ++activity->count[j];
      ++activity->sinceAbove[j];
    }
  }
}

// The gains of the time weightings at the block rate, (D / tau) exp(-D / 2 tau), and of the
// sample-rate envelope.
struct Weightings {
  double fastGain, slowGain, riseGain;  // 125 ms, 1 s, 35 ms (the impulse's rise)
  double fastKeep, slowKeep, riseKeep;  // 1 - gain
  double fallFactor;                    // the impulse's fall of 1.5 s
  double envKeep, envGain;              // the 30 ms envelope, two stages
};

Weightings weightingsOf(double D, float fs) {
  Weightings w;
  w.fastGain = 8.0 * D * exp(-4.0 * D);
  w.slowGain = D * exp(-0.5 * D);
  w.riseGain = 28.57142857142857 * D * exp(-14.285714285714285 * D);
  w.fallFactor = 1.0 - 0.6666666666666666 * D * exp(-0.3333333333333333 * D);
  w.fastKeep = 1.0 - w.fastGain;
  w.slowKeep = 1.0 - w.slowGain;
  w.riseKeep = 1.0 - w.riseGain;
  w.envKeep = exp(-33.333333333333336 / fs);
  w.envGain = 1.0 - w.envKeep;
  return w;
}

// What the pass carries from block to block.
struct PassState {
  double squareMax = 0.0, energy = 0.0;
  double env1 = 0.0, env2 = 0.0;
  double fast = 0.0, slow = 0.0, rise = 0.0, impulse = 0.0;
  double fastMax = 0.0, slowMax = 0.0, impulseMax = 0.0, msMax = 0.0;
  long fastMaxBlock = 0;
};

// The samples of one block: their mean square, the largest square and the envelope.
double blockMeanSquare(const float* x, long blockLength, const Weightings& w, PassState* s) {
  double blockSum = 0.0;
  for (long i = 0; i < blockLength; ++i) {
    const double v = x[i];
    const double square = v * v;  // exact: a float's square fits a double
    blockSum += square;
    s->squareMax = square > s->squareMax ? square : s->squareMax;
    s->env1 = w.envKeep * s->env1 + w.envGain * fabs(v);
    s->env2 = w.envKeep * s->env2 + w.envGain * fabs(s->env1);
  }
  return blockSum / blockLength;
}

// Block j's mean square through the time weightings, and the maxima so far.
void weightBlock(double ms, long j, const Weightings& w, PassState* s) {
  s->fast = w.fastKeep * s->fast + w.fastGain * ms;
  s->slow = w.slowKeep * s->slow + w.slowGain * ms;
  s->rise = w.riseKeep * s->rise + w.riseGain * ms;
  s->impulse = s->rise > s->impulse ? s->rise : w.fallFactor * s->impulse;

  // Strictly greater: the earliest block keeps a tied maximum.
  if (s->fast > s->fastMax) {
    s->fastMax = s->fast;
    s->fastMaxBlock = j;
  }
  if (s->slow > s->slowMax) s->slowMax = s->slow;
  if (s->impulse > s->impulseMax) s->impulseMax = s->impulse;
  if (ms > s->msMax) s->msMax = ms;
}

void storeHistories(float* const* histories, long j, double ms, const PassState& s) {
  histories[kHistRms][j] = decibelsAsFloat(ms);
  histories[kHistItu][j] = decibelsAsFloat(s.env2 * s.env2);
  histories[kHistFast][j] = decibelsAsFloat(s.fast);
  histories[kHistSlow][j] = decibelsAsFloat(s.slow);
  histories[kHistImpulse][j] = decibelsAsFloat(s.impulse);
}

RelativeLevels relativeLevelsOf(const PassState& s, const Activity& activity,
                                const float* fastHistory, const BlockPlan& plan) {
  RelativeLevels levels;
  levels.peak = powerToDb(s.squareMax);
  levels.fastMax = powerToDb(s.fastMax);
  levels.slowMax = powerToDb(s.slowMax);
  levels.impulseMax = powerToDb(s.impulseMax);
  levels.rmsMax = powerToDb(s.msMax);
  levels.leq = powerToDb(s.energy / plan.blockCount);
  levels.event = impulsiveEventOf(fastHistory, plan.blockCount, s.fastMaxBlock, levels.fastMax,
                                  levels.slowMax, levels.impulseMax, plan.blockSeconds);
  levels.active = activeSpeechLevel(s.energy, activity.count);
  return levels;
}

// The single pass over the blocks, inside the progress display its caller opened: fills the
// histories and returns the relative levels; false on a cancel, with the histories filled up
// to the block just done.
bool levelPass(const float* signal, const BlockPlan& plan, float fs, float* const* histories,
               const XFMINSTANCE* instance, RelativeLevels* levels) {
  const Weightings w = weightingsOf(plan.blockSeconds, fs);
  Activity activity;
  startActivity(&activity, (long)(0.2 / plan.blockSeconds));
  PassState s;

  progressStep(instance, 0, plan.blockCount);
  const float* x = signal;
  for (long j = 0; j < plan.blockCount; ++j) {
    const double ms = blockMeanSquare(x, plan.blockLength, w, &s);
    x += plan.blockLength;
    s.energy += ms;
    countActivity(&activity, s.env2);
    weightBlock(ms, j, w, &s);
    storeHistories(histories, j, ms, s);

    if (!progressStepGoesOn(instance, j, plan.blockCount)) return false;
  }
  *levels = relativeLevelsOf(s, activity, histories[kHistFast], plan);
  return true;
}

// Calibrated results for a full-scale value `cal` (dB). The sum is formed in double and
// rounded once into each field.
ChannelResults calibratedResults(const RelativeLevels& levels, float cal) {
  ChannelResults r;
  r.leq = (float)(cal + levels.leq);
  r.activeLevel = (float)(cal + levels.active);
  r.thresholdLevel = (float)(cal + levels.active - kActivityMargin);
  r.activityFactor = (float)pow(10.0, (levels.leq - levels.active) * 0.1);
  r.maxRms = (float)(cal + levels.rmsMax);
  r.maxPeak = (float)(cal + levels.peak);
  r.maxImpulse = (float)(cal + levels.impulseMax);
  r.maxFast = (float)(cal + levels.fastMax);
  r.maxSlow = (float)(cal + levels.slowMax);
  r.eventDuration = (float)levels.event.duration;
  r.impulsiveEvent = levels.event.impulsive;
  return r;
}

// Writes the results into the channel's fields. In mode 'L' the full-scale value is derived
// from the known Leq and stored as the float field it is; the levels are then calibrated with
// that stored float, so a later run in mode 'F' on the same signal reads the same levels.
void storeResults(MeterParams* params, char channelCode, const RelativeLevels& levels) {
  const bool right = channelCode == 'r';
  float cal = right ? params->fullScaleRight : params->fullScaleLeft;
  const bool byLeq = params->calMode == kCalLeq;
  float leqCal = 0.0f;
  if (byLeq) {
    leqCal = right ? params->leqCalRight : params->leqCalLeft;
    cal = (float)(leqCal - levels.leq);
    if (right) {
      params->fullScaleRight = cal;
    } else {
      params->fullScaleLeft = cal;
    }
  }
  ChannelResults results = calibratedResults(levels, cal);
  if (byLeq) results.leq = leqCal;
  if (right) {
    params->right = results;
  } else {
    params->left = results;
  }
}

}  // namespace

double powerToDb(double x) { return x > 0.0 ? 10.0 * log10(x) : -200.0; }

float powerToDbFloat(double x) { return decibelsAsFloat(x); }

double activityThreshold(int j) {
  // 2^-(j+1)/2 exactly as far as a double allows: 1/sqrt(2) or 1, scaled by a power of two.
  const int k = j + 1;
  return ldexp(k % 2 != 0 ? 0.70710678118654752440 : 1.0, -(k / 2));
}

double activeSpeechLevel(double energySum, const long counts[kActivityThresholds]) {
  long active[kActivityThresholds];
  for (int j = 0; j < kActivityThresholds; ++j) active[j] = counts[j] == 0 ? 1 : counts[j];

  double previousDelta = 50.0;
  for (int i = kActivityThresholds - 1; i >= 1; --i) {
    const double level = powerToDb(energySum / active[i]);
    const double delta = level - 20.0 * log10(activityThreshold(i));
    if (delta > kActivityMargin) {
      previousDelta = delta;
      continue;
    }
    if (i == kActivityThresholds - 1) return level;  // no lower threshold to interpolate with
    const double below = powerToDb(energySum / active[i + 1]);
    return level + (below - level) * (kActivityMargin - delta) / (previousDelta - delta);
  }
  return powerToDb(energySum / active[1]);
}

ImpulsiveEvent impulsiveEventOf(const float* fastHistory, long blockCount, long fastMaxBlock,
                                double fastMax, double slowMax, double impulseMax,
                                double blockSeconds) {
  ImpulsiveEvent event = {0.0, 0};
  if (!(impulseMax - slowMax >= 6.0)) return event;

  const double limit = fastMax - 10.0;
  long k = fastMaxBlock;
  while (k > 0 && fastHistory[k] >= limit) --k;
  const long start = fastHistory[k] < limit ? k : 0;
  k = fastMaxBlock;
  while (k < blockCount && fastHistory[k] >= limit) ++k;
  const long end = k < blockCount && fastHistory[k] < limit ? k : 0;

  if (start > 0 && end > 0) event.duration = (end - start - 1) * blockSeconds;
  event.impulsive = event.duration < 1.0 ? 1 : 0;
  return event;
}

bool analyseChannel(float* signal, MeterParams* params, char channelCode, char filterCode,
                    float* rmsHistory, float* ituHistory, float* fastHistory, float* slowHistory,
                    float* impulseHistory, const XFMINSTANCE* instance) {
  const long n = instance->selLast - instance->selFirst + 1;
  BlockPlan plan;
  if (!planBlocks(instance->sampleRate, n, &plan)) return false;

  if (!preFilter(signal, n, filterCode, instance)) return false;

  float* const histories[kHistoryKinds] = {rmsHistory, ituHistory, fastHistory, slowHistory,
                                           impulseHistory};
  // The pass's progress display: opened and closed here, also on a cancel.
  const char* caption = levelCaption(channelCode);
  if (caption != nullptr) progressBegin(instance, caption);
  RelativeLevels levels;
  const bool done =
      levelPass(signal, plan, (float)instance->sampleRate, histories, instance, &levels);
  if (done) storeResults(params, channelCode, levels);
  progressEnd(instance);
  return done;
}

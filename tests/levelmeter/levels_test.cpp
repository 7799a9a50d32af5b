// The measuring core: analyseChannel against the host's records, and its decision routines.
#include "levelmeter/levels.h"

#include "levelmeter/filters.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr long kRate = 48000;
constexpr long kBlock = 48;              // samples per block at 48 kHz
constexpr float kUnwritten = -12345.0f;  // history sentinel

// What the host saw of one call. The progress callbacks are plain functions, as the host
// calls them, so they report into this one record.
struct HostLog {
  std::vector<std::string> captions;
  std::vector<std::pair<int, int>> steps;
  int ends = 0;
  int* cancelFlag = nullptr;
  std::pair<int, int> cancelAt = {-1, -1};  // the step at which the user presses Cancel
  int cancelOccurrence = 1;                 // ... on its n-th report
};
HostLog gHost;

void WINAPI onBegin(LPCSTR caption, LPARAM) { gHost.captions.push_back(caption); }
int WINAPI onProgress(int step, int steps) {
  gHost.steps.push_back({step, steps});
  if (std::make_pair(step, steps) == gHost.cancelAt && --gHost.cancelOccurrence == 0) {
    *gHost.cancelFlag = 1;
  }
  return 1;
}
void WINAPI onEnd(void) { ++gHost.ends; }

std::vector<float> sine(double amplitude, long n, double frequency = 1000.0) {
  std::vector<float> s(n);
  for (long i = 0; i < n; ++i) s[i] = (float)(amplitude * sin(2.0 * M_PI * frequency * i / kRate));
  return s;
}

void append(std::vector<float>* s, const std::vector<float>& more) {
  s->insert(s->end(), more.begin(), more.end());
}

std::vector<float> silence(long n) { return std::vector<float>(n, 0.0f); }

// One measurement set-up: instance record, parameter block and histories as the run gives them.
class Meter : public testing::Test {
 protected:
  void SetUp() override {
    cancelFlag = 0;
    gHost = HostLog();
    gHost.cancelFlag = &cancelFlag;
    memset(&instance, 0, sizeof instance);
    instance.channels = 1;
    instance.sampleRate = kRate;
    instance.cancelFlag = &cancelFlag;
    instance.progress = onProgress;
    instance.progressBegin = onBegin;
    instance.progressEnd = onEnd;
    // Every byte set, so a stray write anywhere in the block shows.
    memset(&params, 0x5A, sizeof params);
    params.filterLeft = params.filterRight = kFilterWideBand;
    params.fullScaleLeft = params.fullScaleRight = 120.0f;
    params.leqCalLeft = params.leqCalRight = 94.0f;
    params.calMode = kCalFullScale;
  }

  bool measure(std::vector<float>& signal, char channel = 'm', char filter = 'L') {
    instance.selFirst = 1000;  // only the difference matters
    instance.selLast = instance.selFirst + (long)signal.size() - 1;
    const long rate = instance.sampleRate;
    const long blockLength = rate >= 1000 ? (long)(rate * 0.001) : 1;
    const size_t blocks = signal.size() / blockLength;
    for (auto& h : histories) h.assign(blocks + 4, kUnwritten);  // room to see overruns
    return analyseChannel(signal.data(), &params, channel, filter, histories[0].data(),
                          histories[1].data(), histories[2].data(), histories[3].data(),
                          histories[4].data(), &instance);
  }

  const std::vector<float>& history(MeterHistory kind) const { return histories[kind]; }

  int cancelFlag = 0;
  XFMINSTANCE instance;
  MeterParams params;
  std::vector<float> histories[kHistoryKinds];
};

MeterParams copyOf(const MeterParams& p) {
  MeterParams c;
  memcpy(&c, &p, sizeof c);
  return c;
}

bool sameBytes(const MeterParams& a, const MeterParams& b) { return memcmp(&a, &b, sizeof a) == 0; }

// --- worked values: 48 kHz, mono, wide band, full scale 120 dB, mode F -------------------------

TEST_F(Meter, FullScaleSineOfTwoSeconds) {
  std::vector<float> s = sine(1.0, 2 * kRate);
  ASSERT_TRUE(measure(s));
  const ChannelResults& r = params.left;
  EXPECT_NEAR(r.leq, 116.99, 0.005);
  EXPECT_NEAR(r.activeLevel, 117.04, 0.005);
  EXPECT_NEAR(r.thresholdLevel, 101.14, 0.005);
  EXPECT_NEAR(r.activityFactor, 0.99, 0.005);
  EXPECT_NEAR(r.maxPeak, 120.00, 0.005);
  EXPECT_NEAR(r.maxFast, 116.99, 0.005);
  EXPECT_NEAR(r.maxSlow, 116.36, 0.005);
  EXPECT_NEAR(r.maxImpulse, 116.99, 0.005);
  EXPECT_NEAR(r.maxRms, 116.99, 0.005);
  EXPECT_EQ(r.impulsiveEvent, 0);
  EXPECT_EQ(r.eventDuration, 0.0f);
  EXPECT_FLOAT_EQ(r.thresholdLevel, r.activeLevel - 15.9f);

  // One value per 1 ms block, each a whole period of the sine: -3.01 dB re full scale.
  const long blocks = 2 * kRate / kBlock;
  for (long j = 0; j < blocks; ++j) ASSERT_NEAR(history(kHistRms)[j], -3.0103, 0.001) << j;
  EXPECT_EQ(history(kHistRms)[blocks], kUnwritten);
  // The 30 ms envelope settles on the mean rectified value 2/pi of the sine.
  EXPECT_NEAR(history(kHistItu)[blocks - 1], 20.0 * log10(2.0 / M_PI), 0.05);
  EXPECT_NEAR(history(kHistFast)[blocks - 1], -3.0103, 0.001);
  EXPECT_NEAR(history(kHistSlow)[blocks - 1] + 120.0, r.maxSlow, 1e-4);
}

TEST_F(Meter, QuietSineFollowedBySilence) {
  std::vector<float> s = sine(0.1, kRate);
  append(&s, silence(3 * kRate));
  ASSERT_TRUE(measure(s));
  const ChannelResults& r = params.left;
  EXPECT_NEAR(r.leq, 90.97, 0.005);
  EXPECT_NEAR(r.activeLevel, 95.93, 0.005);
  EXPECT_NEAR(r.thresholdLevel, 80.03, 0.005);
  EXPECT_NEAR(r.activityFactor, 0.32, 0.005);
}

TEST_F(Meter, ShortBurstIsAnImpulsiveEvent) {
  std::vector<float> s = silence(kRate);
  append(&s, sine(1.0, kRate / 20));
  append(&s, silence(2 * kRate));
  ASSERT_TRUE(measure(s));
  const ChannelResults& r = params.left;
  EXPECT_NEAR(r.maxImpulse, 115.80, 0.005);
  EXPECT_NEAR(r.maxSlow, 103.87, 0.005);
  EXPECT_NEAR(r.maxFast, 112.17, 0.005);
  EXPECT_NEAR(r.eventDuration, 0.333, 0.0005);
  EXPECT_EQ(r.impulsiveEvent, 1);
}

// --- blocks and the end of the selection ---------------------------------------------------------

// A sine whose periods sum to exactly zero, so the mean removal leaves it as it is.
std::vector<float> zeroMeanSine(double amplitude, long periods) {
  std::vector<float> half(kBlock / 2);
  for (long i = 0; i < kBlock / 2; ++i) half[i] = (float)(amplitude * sin(2.0 * M_PI * i / kBlock));
  std::vector<float> s;
  for (long p = 0; p < periods; ++p) {
    append(&s, half);
    for (float v : half) s.push_back(-v);
  }
  return s;
}

TEST_F(Meter, SamplesAfterTheLastWholeBlockAreNeverLookedAt) {
  for (char filter : {'L', 'A'}) {
    SCOPED_TRACE(filter);
    SetUp();
    std::vector<float> whole = zeroMeanSine(0.5, 1500);
    ASSERT_TRUE(measure(whole, 'm', filter));
    const MeterParams reference = copyOf(params);
    std::vector<float> referenceHistories[kHistoryKinds];
    for (int k = 0; k < kHistoryKinds; ++k) referenceHistories[k] = histories[k];

    // 46 loud samples that leave the sum, hence the mean, unchanged.
    std::vector<float> longer = zeroMeanSine(0.5, 1500);
    for (int i = 0; i < kBlock - 2; ++i) longer.push_back(i % 2 ? -8.0f : 8.0f);
    SetUp();
    ASSERT_TRUE(measure(longer, 'm', filter));
    EXPECT_TRUE(sameBytes(params, reference));
    for (int k = 0; k < kHistoryKinds; ++k) EXPECT_EQ(histories[k], referenceHistories[k]) << k;
    EXPECT_LT(params.left.maxPeak, 120.0f);  // the 8.0 samples were not seen
  }
}

TEST_F(Meter, BlocksAreOneMillisecondTruncatedAt44100Hz) {
  instance.sampleRate = 44100;
  std::vector<float> s(44 * 100 + 43, 0.25f);
  for (size_t i = 0; i < s.size(); i += 2) s[i] = -0.25f;
  ASSERT_TRUE(measure(s));
  EXPECT_NE(history(kHistRms)[99], kUnwritten);
  EXPECT_EQ(history(kHistRms)[100], kUnwritten);
  EXPECT_EQ(gHost.steps.back(), std::make_pair(99, 100));
}

// --- the impulsive event
// --------------------------------------------------------------------------

TEST_F(Meter, FastMaximumInTheFirstBlockFindsNoStart) {
  // One loud block (summing to zero) at the very start, then silence: Fast peaks at block 0.
  std::vector<float> s;
  for (int i = 0; i < kBlock; ++i) s.push_back(i % 2 ? -1.0f : 1.0f);
  append(&s, silence(kRate));
  ASSERT_TRUE(measure(s));
  const std::vector<float>& fast = history(kHistFast);
  for (size_t j = 1; j < s.size() / kBlock; ++j) ASSERT_LT(fast[j], fast[0]) << j;
  EXPECT_GE(params.left.maxImpulse - params.left.maxSlow, 6.0f);
  EXPECT_EQ(params.left.eventDuration, 0.0f);
  EXPECT_EQ(params.left.impulsiveEvent, 1);
}

TEST_F(Meter, BurstRunningToTheEndHasNoEndCrossing) {
  // Short burst at the end: impulsive, though no duration is found.
  std::vector<float> s = silence(kRate);
  append(&s, sine(1.0, kRate / 20));
  ASSERT_TRUE(measure(s));
  EXPECT_GE(params.left.maxImpulse - params.left.maxSlow, 6.0f);
  EXPECT_EQ(params.left.eventDuration, 0.0f);
  EXPECT_EQ(params.left.impulsiveEvent, 1);

  // A long one: Impulse and Slow end close together, so no event at all.
  SetUp();
  s = silence(kRate);
  append(&s, sine(1.0, 3 * kRate));
  ASSERT_TRUE(measure(s));
  EXPECT_LT(params.left.maxImpulse - params.left.maxSlow, 6.0f);
  EXPECT_EQ(params.left.eventDuration, 0.0f);
  EXPECT_EQ(params.left.impulsiveEvent, 0);
}

// Fast history (dB) with a plateau at 0 dB from block `from` to `to` inclusive, -40 dB elsewhere.
std::vector<float> plateau(long blocks, long from, long to) {
  std::vector<float> h(blocks, -40.0f);
  for (long j = from; j <= to; ++j) h[j] = 0.0f;
  return h;
}

TEST(ImpulsiveEvent, SixDecibelsExactlyMeetsTheCriterion) {
  const double D = 48.0 / 48000.0f;
  std::vector<float> fast = plateau(20, 5, 8);
  fast[4] = -10.0f;  // exactly at the limit: still part of the event
  ImpulsiveEvent e = impulsiveEventOf(fast.data(), 20, 6, 0.0, -20.0, -14.0, D);
  EXPECT_EQ(e.impulsive, 1);
  EXPECT_DOUBLE_EQ(e.duration, 5 * D);  // blocks 4..8 lie strictly between crossings 3 and 9

  e = impulsiveEventOf(fast.data(), 20, 6, 0.0, -20.0, nextafter(-14.0, -100.0), D);
  EXPECT_EQ(e.impulsive, 0);
  EXPECT_EQ(e.duration, 0.0);
}

TEST(ImpulsiveEvent, OneSecondExactlyIsNotImpulsive) {
  const double D = 48.0 / 48000.0f;
  std::vector<float> fast = plateau(1200, 11, 1010);  // crossings at 10 and 1011
  ImpulsiveEvent e = impulsiveEventOf(fast.data(), 1200, 500, 0.0, -20.0, -10.0, D);
  EXPECT_EQ(e.duration, 1.0);
  EXPECT_EQ(e.impulsive, 0);

  fast = plateau(1200, 11, 1009);
  e = impulsiveEventOf(fast.data(), 1200, 500, 0.0, -20.0, -10.0, D);
  EXPECT_LT(e.duration, 1.0);
  EXPECT_EQ(e.impulsive, 1);
}

TEST(ImpulsiveEvent, MissingCrossingGivesZeroDurationAndCountsAsImpulsive) {
  const double D = 0.001;
  // Start crossing at block 0 counts as none.
  std::vector<float> fast = plateau(3000, 1, 2500);
  ImpulsiveEvent e = impulsiveEventOf(fast.data(), 3000, 10, 0.0, -20.0, -10.0, D);
  EXPECT_EQ(e.duration, 0.0);
  EXPECT_EQ(e.impulsive, 1);
  // No end crossing before the last block.
  fast = plateau(3000, 100, 2999);
  e = impulsiveEventOf(fast.data(), 3000, 100, 0.0, -20.0, -10.0, D);
  EXPECT_EQ(e.duration, 0.0);
  EXPECT_EQ(e.impulsive, 1);
  // Both found, 2 s apart: a long event.
  fast = plateau(3000, 100, 2099);
  e = impulsiveEventOf(fast.data(), 3000, 100, 0.0, -20.0, -10.0, D);
  EXPECT_NEAR(e.duration, 2.0, 1e-12);
  EXPECT_EQ(e.impulsive, 0);
}

// --- the active speech level search --------------------------------------------------------------

TEST(ActiveSpeechLevel, ThresholdsRunInStepsOfThreeDecibels) {
  EXPECT_DOUBLE_EQ(activityThreshold(0), 1.0 / sqrt(2.0));
  EXPECT_EQ(activityThreshold(1), 0.5);
  EXPECT_EQ(activityThreshold(29), 1.0 / 32768.0);
  for (int j = 1; j < kActivityThresholds; ++j) {
    EXPECT_NEAR(20.0 * log10(activityThreshold(j) / activityThreshold(j - 1)), -3.0103, 1e-4);
  }
}

TEST(ActiveSpeechLevel, CountThatStaysZeroIsTakenAsOne) {
  // No block active anywhere: every A_i = 10 log10(E); with E = 1 the margin is met at
  // threshold 4 (-15.05 dB) and the level is 0 dB, not an infinity from E / 0.
  const long none[kActivityThresholds] = {};
  EXPECT_EQ(activeSpeechLevel(1.0, none), 0.0);
}

TEST(ActiveSpeechLevel, MarginMetAtTheLowestThresholdGivesItsLevel) {
  long counts[kActivityThresholds] = {};
  counts[29] = 1000;
  counts[28] = 500;
  EXPECT_DOUBLE_EQ(activeSpeechLevel(1e-8, counts), 10.0 * log10(1e-8 / 1000));
}

TEST(ActiveSpeechLevel, MarginMetNowhereGivesTheLevelAtTheHighestThreshold) {
  long counts[kActivityThresholds];
  for (long& c : counts) c = 2000;
  counts[1] = 1987;
  // 20 dB above full scale: every threshold is exceeded by more than 15.9 dB.
  const double energy = 2000 * 100.0;
  EXPECT_DOUBLE_EQ(activeSpeechLevel(energy, counts), 10.0 * log10(energy / 1987));
  // Zero counts as one there too.
  counts[1] = 0;
  EXPECT_DOUBLE_EQ(activeSpeechLevel(energy, counts), 10.0 * log10(energy));
}

TEST(ActiveSpeechLevel, SilenceGivesMinus200) {
  const long none[kActivityThresholds] = {};
  EXPECT_EQ(activeSpeechLevel(0.0, none), -200.0);
}

TEST_F(Meter, OpenCasesOfTheSearchGiveSoundLevels) {
  // -80 dB sine: the margin is met at the lowest threshold; active level just above Leq.
  std::vector<float> s = sine(1e-4, 2 * kRate);
  ASSERT_TRUE(measure(s));
  EXPECT_NEAR(params.left.leq, 36.99, 0.005);
  EXPECT_GT(params.left.activeLevel, params.left.leq);
  EXPECT_LT(params.left.activeLevel, params.left.leq + 0.2f);
  EXPECT_FLOAT_EQ(params.left.thresholdLevel, params.left.activeLevel - 15.9f);

  // +20 dB sine: above every threshold all along; the level over the active blocks of the
  // highest threshold, close to Leq, with the blocks before the envelope rose left out.
  SetUp();
  s = sine(10.0, 2 * kRate);
  ASSERT_TRUE(measure(s));
  EXPECT_NEAR(params.left.leq, 136.99, 0.005);
  EXPECT_GT(params.left.activeLevel, params.left.leq);
  EXPECT_LT(params.left.activeLevel, params.left.leq + 0.05f);
  EXPECT_GT(params.left.activityFactor, 0.99f);
  EXPECT_LE(params.left.activityFactor, 1.0f);
}

TEST_F(Meter, SilentChannelReadsMinus200PlusCalibration) {
  std::vector<float> s = silence(kRate);
  ASSERT_TRUE(measure(s));
  const ChannelResults& r = params.left;
  for (float v : {r.leq, r.activeLevel, r.maxRms, r.maxPeak, r.maxImpulse, r.maxFast, r.maxSlow})
    EXPECT_EQ(v, -80.0f);
  EXPECT_EQ(r.activityFactor, 1.0f);
  EXPECT_EQ(r.impulsiveEvent, 0);
  for (int k = 0; k < kHistoryKinds; ++k) EXPECT_EQ(histories[k][0], -200.0f);
}

// --- calibration and result fields ---------------------------------------------------------------

TEST_F(Meter, ModeLeqSetsLeqAndDerivesTheFullScale) {
  // A sine the mean removal leaves alone, so its relative Leq (the mean of the block mean
  // squares, in dB) can be worked out here.
  const std::vector<float> original = zeroMeanSine(0.3, 1000);
  double energy = 0.0;
  for (long j = 0; j < 1000; ++j) {
    double sum = 0.0;
    for (long i = 0; i < kBlock; ++i)
      sum += (double)original[j * kBlock + i] * original[j * kBlock + i];
    energy += sum / kBlock;
  }
  const double leqRelative = 10.0 * log10(energy / 1000);

  params.fullScaleLeft = 0.0f;
  std::vector<float> s = original;
  ASSERT_TRUE(measure(s));
  const MeterParams relative = copyOf(params);  // mode F with 0 dB: relative levels

  SetUp();
  params.calMode = kCalLeq;
  params.leqCalLeft = 94.0f;
  MeterParams expected = copyOf(params);
  s = original;
  ASSERT_TRUE(measure(s));
  EXPECT_EQ(params.left.leq, 94.0f);
  EXPECT_EQ(params.fullScaleLeft, (float)(94.0f - leqRelative));
  EXPECT_NEAR(params.left.maxPeak, params.fullScaleLeft + relative.left.maxPeak, 1e-4);
  EXPECT_NEAR(params.left.activeLevel, params.fullScaleLeft + relative.left.activeLevel, 1e-4);
  // Only the left results and the left full-scale value changed.
  expected.left = params.left;
  expected.fullScaleLeft = params.fullScaleLeft;
  EXPECT_TRUE(sameBytes(params, expected));

  // A later mode-F run with the derived value reads the same levels, bit for bit.
  const ChannelResults byLeq = params.left;
  params.calMode = kCalFullScale;
  s = original;
  ASSERT_TRUE(measure(s));
  EXPECT_NEAR(params.left.leq, 94.0f, 1e-4);
  EXPECT_EQ(params.left.activeLevel, byLeq.activeLevel);
  EXPECT_EQ(params.left.maxPeak, byLeq.maxPeak);
  EXPECT_EQ(params.left.maxSlow, byLeq.maxSlow);
}

TEST_F(Meter, RightChannelWritesOnlyTheRightFields) {
  params.calMode = kCalLeq;
  params.leqCalRight = 80.0f;
  MeterParams expected = copyOf(params);
  std::vector<float> s = sine(0.5, kRate);
  ASSERT_TRUE(measure(s, 'r'));
  EXPECT_EQ(params.right.leq, 80.0f);
  EXPECT_NE(params.fullScaleRight, 120.0f);
  expected.right = params.right;
  expected.fullScaleRight = params.fullScaleRight;
  EXPECT_TRUE(sameBytes(params, expected));
  EXPECT_EQ(gHost.captions,
            (std::vector<std::string>{"Pre-Filtering...", "Calculating Right Channel Levels..."}));
}

TEST_F(Meter, LeftAndMonoWriteTheLeftFieldsWithTheirCaptions) {
  for (char channel : {'l', 'm'}) {
    SetUp();
    MeterParams expected = copyOf(params);
    std::vector<float> s = sine(0.5, kRate);
    ASSERT_TRUE(measure(s, channel));
    expected.left = params.left;
    EXPECT_TRUE(sameBytes(params, expected)) << channel;
    EXPECT_NEAR(params.left.leq, 110.97, 0.005);  // -9.03 dB re full scale
    EXPECT_EQ(gHost.captions[1], channel == 'l' ? std::string("Calculating Left Channel Levels...")
                                                : std::string("Calculating Levels..."));
  }
}

TEST_F(Meter, OtherChannelCodesGetNoCaptionAndTheLeftFields) {
  MeterParams expected = copyOf(params);
  std::vector<float> s = sine(0.5, kRate);
  ASSERT_TRUE(measure(s, 'x'));
  expected.left = params.left;
  EXPECT_TRUE(sameBytes(params, expected));
  EXPECT_NEAR(params.left.leq, 110.97, 0.005);
  EXPECT_EQ(gHost.captions, std::vector<std::string>{"Pre-Filtering..."});
  EXPECT_EQ(gHost.ends, 2);
}

// --- progress and cancel
// ---------------------------------------------------------------------------

TEST_F(Meter, ReportsProgressPerStageAndPerBlock) {
  std::vector<float> s = sine(0.5, 100 * kBlock + 10);
  ASSERT_TRUE(measure(s));
  std::vector<std::pair<int, int>> expected = {{0, 2}, {1, 2}, {2, 2}, {0, 100}};
  for (int j = 0; j < 100; ++j) expected.push_back({j, 100});
  EXPECT_EQ(gHost.steps, expected);
  EXPECT_EQ(gHost.captions,
            (std::vector<std::string>{"Pre-Filtering...", "Calculating Levels..."}));
  EXPECT_EQ(gHost.ends, 2);
}

TEST_F(Meter, RunsWithoutProgressCallbacks) {
  std::vector<float> s = sine(0.5, kRate);
  ASSERT_TRUE(measure(s));
  const ChannelResults withCallbacks = params.left;
  SetUp();
  instance.progress = nullptr;
  instance.progressBegin = nullptr;
  instance.progressEnd = nullptr;
  instance.cancelFlag = nullptr;
  s = sine(0.5, kRate);
  ASSERT_TRUE(measure(s));
  EXPECT_EQ(memcmp(&params.left, &withCallbacks, sizeof withCallbacks), 0);
}

TEST_F(Meter, CancelDuringPreFilteringWritesNoResult) {
  for (std::pair<int, int> at : {std::make_pair(1, 2), std::make_pair(2, 2)}) {
    SCOPED_TRACE(at.first);
    SetUp();
    gHost.cancelAt = at;
    const MeterParams before = copyOf(params);
    const std::vector<float> original = sine(0.5, kRate, 300.0);
    std::vector<float> s = original;
    EXPECT_FALSE(measure(s, 'm', 'A'));
    EXPECT_TRUE(sameBytes(params, before));
    EXPECT_EQ(history(kHistRms)[0], kUnwritten);
    EXPECT_EQ(gHost.captions, std::vector<std::string>{"Pre-Filtering..."});
    EXPECT_EQ(gHost.ends, 1);
    // The weighting still ran after a cancel seen between the two steps.
    std::vector<float> filtered = original;
    removeMean(filtered.data(), (long)filtered.size());
    aWeighting(filtered.data(), (long)filtered.size(), kRate);
    EXPECT_EQ(s, filtered);
  }
}

TEST_F(Meter, CancelDuringTheBlockLoopStopsAfterThatBlock) {
  gHost.cancelAt = {10, 1000};
  const MeterParams before = copyOf(params);
  std::vector<float> s = sine(0.5, 1000 * kBlock);
  EXPECT_FALSE(measure(s));
  EXPECT_TRUE(sameBytes(params, before));
  for (int k = 0; k < kHistoryKinds; ++k) {
    EXPECT_NE(histories[k][10], kUnwritten) << k;
    EXPECT_EQ(histories[k][11], kUnwritten) << k;
  }
  EXPECT_EQ(gHost.steps.back(), std::make_pair(10, 1000));
  EXPECT_EQ(gHost.ends, 2);
}

TEST_F(Meter, CancelAtTheFirstBlockReportStopsAfterBlockZero) {
  // progress(0, blockCount) comes twice: once before the loop, once after block 0.
  gHost.cancelAt = {0, 1000};
  std::vector<float> s = sine(0.5, 1000 * kBlock);
  EXPECT_FALSE(measure(s));
  EXPECT_NE(history(kHistRms)[0], kUnwritten);
  EXPECT_EQ(history(kHistRms)[1], kUnwritten);
}

// --- channels the routine cannot measure
// ------------------------------------------------------------

TEST_F(Meter, RefusesChannelsWithoutAWholeBlockOrBelow1000Hz) {
  struct Case {
    long rate;
    long n;
  };
  for (Case c : {Case{999, 5000}, Case{0, 5000}, Case{-48000, 5000}, Case{48000, kBlock - 1},
                 Case{48000, 0}}) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.n << " samples");
    SetUp();
    instance.sampleRate = c.rate;
    const MeterParams before = copyOf(params);
    const std::vector<float> original = sine(0.5, c.n, 100.0);
    std::vector<float> s = original;
    EXPECT_FALSE(measure(s, 'm', 'A'));
    EXPECT_TRUE(sameBytes(params, before));
    EXPECT_EQ(s, original);
    EXPECT_TRUE(gHost.captions.empty());
    EXPECT_TRUE(gHost.steps.empty());
    EXPECT_EQ(gHost.ends, 0);
  }
  // One whole block is enough.
  SetUp();
  std::vector<float> s = sine(0.5, kBlock);
  EXPECT_TRUE(measure(s));
}

// --- decibels
// ----------------------------------------------------------------------------------------

TEST(Decibels, PowerToDbWithTheMinus200Floor) {
  EXPECT_EQ(powerToDb(1.0), 0.0);
  EXPECT_DOUBLE_EQ(powerToDb(100.0), 20.0);
  EXPECT_DOUBLE_EQ(powerToDb(0.5), -3.010299956639812);
  EXPECT_EQ(powerToDb(0.0), -200.0);
  EXPECT_EQ(powerToDb(-1.0), -200.0);
  EXPECT_EQ(powerToDb(NAN), -200.0);
}

TEST(Decibels, FloatLevelsMatchTheLibraryBitForBit) {
  uint32_t state = 2463534242u;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  long mismatches = 0;
  auto check = [&mismatches](double x) {
    const float fast = powerToDbFloat(x), library = (float)powerToDb(x);
    if (memcmp(&fast, &library, sizeof fast) != 0 && ++mismatches <= 5) {
      ADD_FAILURE() << "x = " << x << ": " << fast << " vs " << library;
    }
  };
  for (int i = 0; i < 1000000; ++i) {
    // Any power from 1e-30 to 1e10, and powers within a hair of 1.
    check(pow(10.0, -30.0 + 40.0 * next() / 4294967296.0));
    check(1.0 + ((double)next() - 2147483648.0) * 1e-18);
  }
  // Powers whose level falls a hair off the midpoint between two floats, where only the
  // library can decide.
  for (int i = 0; i < 100000; ++i) {
    const float below = (float)(-200.0 + 220.0 * next() / 4294967296.0);
    const double midpoint = ((double)below + nextafterf(below, 1000.0f)) / 2.0;
    const double x = pow(10.0, midpoint / 10.0);
    for (double y : {x, nextafter(x, 0.0), nextafter(x, 1e300)}) check(y);
  }
  for (double x : {0.0, -1.0, (double)NAN, 1e-310, 1.0, (double)INFINITY}) check(x);
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

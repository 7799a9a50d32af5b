// The run's derived figures: levels with their floor, time of flight and trigger.
#include "crossanalyser/run_outputs.h"

#include <gtest/gtest.h>
#include <math.h>

#include <vector>

namespace {

TEST(LevelsOf, ConvertsToDecibelsAndFloorsSilenceAtMinus200) {
  SpectraStatistics s = {4, 0.5f, 0.0f, -0.01f};
  const StatisticsLevels l = LevelsOf(&s);
  EXPECT_NEAR(l.rmsLeftDb, -6.0206, 1e-4);
  EXPECT_EQ(l.rmsRightDb, -200.0f);
  EXPECT_NEAR(l.rmsCrossDb, -20.0, 1e-4);  // absolute value of the mean product
  SpectraStatistics tiny = {1, 1e-30f, NAN, 1e-38f};
  const StatisticsLevels t = LevelsOf(&tiny);
  EXPECT_EQ(t.rmsLeftDb, -200.0f);
  EXPECT_EQ(t.rmsRightDb, -200.0f);
  EXPECT_EQ(t.rmsCrossDb, -200.0f);
}

TEST(TimeOfFlightMs, IsSamplesOverTheRateInMilliseconds) {
  EXPECT_FLOAT_EQ(TimeOfFlightMs(37, 48000), 37.0f / 48.0f);
  EXPECT_FLOAT_EQ(TimeOfFlightMs(-480, 48000), -10.0f);
}

TEST(TriggerIndex, Level100FindsNothingOnAFullScaleOutput) {
  std::vector<float> frames(2 * 64, 0.0f);
  frames[2 * 20] = 32767.0f;
  frames[2 * 21] = -32767.0f;
  EXPECT_EQ(TriggerIndex(frames.data(), 64, 100), 0);
  EXPECT_EQ(TriggerIndex(frames.data(), 64, 99), 20);
  frames[2 * 5] = -0.001f;
  frames[2 * 4 + 1] = 9.0f;  // right samples are never looked at
  EXPECT_EQ(TriggerIndex(frames.data(), 64, 0), 5);
}

TEST(TriggerTimeMs, CountsFromTheCentreWithTheHalfShift) {
  EXPECT_FLOAT_EQ(TriggerTimeMs(600, 1024, false, 48000), 12.5f);
  EXPECT_FLOAT_EQ(TriggerTimeMs(512 - 48, 1024, true, 48000), -1.0f);
  EXPECT_FLOAT_EQ(TriggerTimeMs(0, 1024, true, 48000), -512.0f / 48.0f);
}

}  // namespace

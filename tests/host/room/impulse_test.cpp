// orvane impulse: the response deconvolved from a sweep through a distorting loudspeaker and
// from white noise against the true one, both limited to 100 Hz - 15 kHz; and the refusals.
#include <gtest/gtest.h>

#include <cmath>

#include "host/host_test_support.h"
#include "room_signals.h"

using namespace roomtest;

namespace {

constexpr double kLowHz = 100.0, kHighHz = 15000.0;

double energy(const std::vector<double>& h) {
  double e = 0.0;
  for (double v : h) e += v * v;
  return e;
}

std::size_t peakAt(const std::vector<double>& h) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < h.size(); ++i)
    if (std::fabs(h[i]) > std::fabs(h[at])) at = i;
  return at;
}

// Error and level of `measured` re `truth` over the first samples both hold, in band, dB.
void expectMatch(const std::vector<double>& measured, const std::vector<double>& truth,
                 double errorDb) {
  const std::size_t n = std::min(measured.size(), truth.size());
  ASSERT_GE(n, kRate / 4u);
  const auto m = bandLimited({measured.begin(), measured.begin() + n}, kLowHz, kHighHz);
  const auto t = bandLimited({truth.begin(), truth.begin() + n}, kLowHz, kHighHz);
  std::vector<double> difference(n);
  for (std::size_t i = 0; i < n; ++i) difference[i] = m[i] - t[i];
  EXPECT_LT(10 * std::log10(energy(difference) / energy(t)), errorDb);
  EXPECT_EQ(peakAt(m), peakAt(t));
  EXPECT_EQ(peakAt(t), static_cast<std::size_t>(kDelayS * kRate));
  EXPECT_NEAR(10 * std::log10(energy(m) / energy(t)), 0.0, 0.5);
}

}  // namespace

TEST(ImpulseFromSweep, MatchesTheTrueResponseWithItsHarmonicsCutAway) {
  const SweepMeasurement& s = sweepMeasurement();
  expectMatch(s.measured.h, s.room, -30.0);
  EXPECT_TRUE(s.measured.risingSweep);
  EXPECT_NEAR(s.measured.timeOfFlightMs, 1000 * kDelayS, 1e-9);
  // The loudspeaker's 0.02 x^2 at amplitude 0.5 gives a second harmonic 0.005 of the
  // fundamental: -46 dB (the third, 0.01 x^3, lies 18 dB lower).
  ASSERT_TRUE(s.measured.distortionDb.has_value());
  EXPECT_NEAR(*s.measured.distortionDb, -46.0, 2.0);
  EXPECT_GT(s.measured.peakToNoiseDb.value_or(0.0), 60.0);
}

TEST(ImpulseFromNoise, MatchesTheTrueResponse) {
  const std::vector<double> room = trueRoom({0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3}, 0.5);
  orvane::ImpulseInput in;
  in.excitation = noise(1.0, 0.5);
  in.response = recorded(in.excitation, room);
  in.sampleRate = kRate;
  const orvane::ImpulseResponse r = orvane::deconvolve(in, "noise");
  expectMatch(r.h, room, -25.0);
  EXPECT_FALSE(r.risingSweep);
  EXPECT_FALSE(r.distortionDb.has_value());
}

TEST(ImpulseCommand, RefusesBadInput) {
  hosttest::ScratchDir dir;
  const std::vector<double> x = sweep(0.1, 0.05);
  std::vector<double> both;
  for (double v : x) both.insert(both.end(), {v, 0.5 * v});
  auto write = [&](const char* name, int channels, int rate, const std::vector<double>& s) {
    hosttest::writeWav(dir.file(name), channels, rate, s, true);
  };
  write("mono.wav", 1, kRate, x);
  write("other-rate.wav", 1, 44100, x);
  write("shorter.wav", 1, kRate, {x.begin(), x.end() - 10});
  std::vector<double> silent(both);
  for (std::size_t i = 0; i < silent.size(); i += 2) silent[i] = 0.0;
  write("silent.wav", 2, kRate, silent);
  std::vector<double> broken(both);
  broken[2 * 100 + 1] = NAN;
  write("nan.wav", 2, kRate, broken);
  write("fine.wav", 2, kRate, both);
  struct Case {
    std::vector<std::string> args;
    const char* mustSay;
  };
  const std::vector<Case> cases = {
      {{"mono.wav"}, "mono.wav is mono"},
      {{"silent.wav"}, "the excitation is silent"},
      {{"mono.wav", "shorter.wav"}, "one length"},
      {{"mono.wav", "other-rate.wav"}, "sample rate"},
      {{"nan.wav"}, "nan.wav: frame 100"},
      {{"fine.wav", "--band", "100:30000"}, "half the sample rate"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"impulse"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--out", "out"});
    const auto r = hosttest::runOrvane(args, dir.path());
    EXPECT_EQ(r.status, 2) << c.args[0];
    EXPECT_TRUE(r.out.empty()) << r.out;
    const auto lines = hosttest::lines(r.err);
    ASSERT_EQ(lines.size(), 1u) << r.err;
    EXPECT_NE(lines[0].find(c.mustSay), std::string::npos) << lines[0];
    EXPECT_FALSE(hosttest::exists(dir.file("out")));
  }
}

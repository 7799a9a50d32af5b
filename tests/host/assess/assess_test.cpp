// orvane assess: an ideal inverse through the command, analytic echoes and cross-talk through
// the library, and the refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "host/assess/assessment.h"
#include "host/assess/assess_signals.h"
#include "host/host_test_support.h"

using hosttest::interleave;
using hosttest::joined;
using hosttest::pulseAt;
using hosttest::runOrvane;
using hosttest::ScratchDir;

namespace {

constexpr int kRate = 48000;
// The float transform's rounding in a band level, dB: some 1e-7, far below the hundredths of a
// dB that the figures are stated in.
constexpr double kFloatDb = 1e-5;

// The band levels of |1 + a e^(-j w d)|^2 averaged over the transform's bins of each band, from
// the band's own midband (x recovered from it) and the IEC edges.
std::vector<double> echoBandLevelsDb(const std::vector<double>& centres, double a, long d, long n) {
  std::vector<double> levels;
  for (double centre : centres) {
    const int x = static_cast<int>(std::lround(10.0 * std::log10(centre / 1000.0)));
    const double fm = 1000.0 * std::pow(10.0, x / 10.0);
    const double lo = fm * std::pow(10.0, -0.05), hi = fm * std::pow(10.0, 0.05);
    double sum = 0.0;
    long count = 0;
    for (long k = 0; k <= n / 2; ++k) {
      const double f = static_cast<double>(k) * kRate / n;
      if (f < lo || f >= hi) continue;
      sum += 1.0 + a * a + 2.0 * a * std::cos(2.0 * M_PI * k * d / n);
      ++count;
    }
    levels.push_back(10.0 * std::log10(sum / count));
  }
  return levels;
}

void expectFlatness(const orvane::Flatness& f, const std::vector<double>& levels) {
  double mean = 0.0;
  for (double l : levels) mean += l;
  mean /= levels.size();
  double mx = 0.0, sq = 0.0;
  for (double l : levels) {
    mx = std::max(mx, std::fabs(l - mean));
    sq += (l - mean) * (l - mean);
  }
  EXPECT_NEAR(f.maxDb, mx, kFloatDb);
  EXPECT_NEAR(f.rmsDb, std::sqrt(sq / levels.size()), kFloatDb);
}

}  // namespace

TEST(AssessCommand, IdealInverseOfAPureDelay) {
  ScratchDir dir;
  const long L = 1024;
  hosttest::writeWav(dir.file("response.wav"), 1, kRate, pulseAt(4800, 250, 0.5), true);
  // The design's inverse undoes the delay too: its peak lands on the filter's own delay, L/2.
  hosttest::writeWav(dir.file("filter.wav"), 1, kRate, pulseAt(L, L / 2 - 250, 2.0), true);
  auto r = runOrvane({"assess", dir.file("response.wav"), dir.file("filter.wav"), "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const orvane::Json j = orvane::Json::parse(r.out).at("assessment");
  ASSERT_EQ(j.at("channels").size(), 1u);
  const orvane::Json& c = j.at("channels")[0];
  EXPECT_EQ(c.at("peak_offset_ms").get<double>(), 0.0);
  EXPECT_NEAR(c.at("main_share").get<double>(), 1.0, 1e-6);
  // Nothing but the float transform's rounding arrives early (null: nothing at all).
  if (!c.at("pre_ringing_db").is_null()) {
    EXPECT_LT(c.at("pre_ringing_db").get<double>(), -140.0);
  }
  for (const char* when : {"before", "after"}) {
    EXPECT_NEAR(c.at("flatness_db").at(when).at("max").get<double>(), 0.0, 0.01) << when;
    EXPECT_NEAR(c.at("flatness_db").at(when).at("rms").get<double>(), 0.0, 0.01) << when;
  }
  EXPECT_FALSE(c.contains("separation_db"));
  EXPECT_NEAR(j.at("filter_gain_db").at("max").get<double>(), 20.0 * std::log10(2.0), kFloatDb);
  // A flat response: the default pass band is every audible band, 20 Hz ... 20 kHz.
  EXPECT_NEAR(j.at("band_hz")[0].get<double>(), 1000.0 * std::pow(10.0, -1.7 - 0.05), 1e-6);
  EXPECT_NEAR(j.at("band_hz")[1].get<double>(), 1000.0 * std::pow(10.0, 1.3 + 0.05), 1e-6);
  EXPECT_TRUE(j.at("warnings").empty()) << j.at("warnings").dump();
}

// Two seats through a pure delay: the first hears a clean pulse, the second the same with a
// copy 6 dB down 25 ms earlier. Only the second is warned of, by name, and the spread across
// the seats is the second's comb against the first's flat levels.
TEST(AssessCommand, TwoPositionsTheSecondWorse) {
  ScratchDir dir;
  const long L = 1024, M = 4800, d = 1200, at = 2000;
  const double a = 0.5;
  std::vector<double> early = pulseAt(M, at);
  early[at - d] = a;
  hosttest::writeWav(dir.file("seat1.wav"), 1, kRate, pulseAt(M, at), true);
  hosttest::writeWav(dir.file("seat2.wav"), 1, kRate, early, true);
  hosttest::writeWav(dir.file("filter.wav"), 1, kRate, pulseAt(L, L / 2), true);
  auto r = runOrvane({"assess", "seat1.wav", "seat2.wav", "filter.wav", "--json"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const orvane::Json j = orvane::Json::parse(r.out).at("assessment");
  EXPECT_FALSE(j.contains("channels"));
  ASSERT_EQ(j.at("positions").size(), 2u);
  EXPECT_EQ(j.at("positions")[1].at("response"), "seat2.wav");
  EXPECT_EQ(j.at("positions")[1].at("channels")[0].at("name"), "mono");

  bool named = false;
  for (const auto& w : j.at("warnings")) {
    const std::string line = w.get<std::string>();
    EXPECT_EQ(line.rfind("seat2.wav: mono: ", 0), 0u) << line;
    named = named || line.find("pre-echo") != std::string::npos;
  }
  EXPECT_TRUE(named) << j.at("warnings").dump();

  const orvane::Json& spread = j.at("position_spread_db")[0];
  std::vector<double> centres;
  for (const auto& c : spread.at("band_hz")) centres.push_back(c.get<double>());
  const std::vector<double> comb = echoBandLevelsDb(centres, a, d, 65536);
  double mean = 0.0;
  for (double l : comb) mean += l / comb.size();
  double largest = 0.0;
  for (std::size_t b = 0; b < comb.size(); ++b) {
    EXPECT_NEAR(spread.at("spread")[b].get<double>(), std::fabs(comb[b] - mean), kFloatDb) << b;
    largest = std::max(largest, std::fabs(comb[b] - mean));
  }
  EXPECT_NEAR(spread.at("max").get<double>(), largest, kFloatDb);
  EXPECT_GT(largest, 0.1);  // the comb shows in the low bands
}

TEST(AssessLibrary, TwoPathEchoWithoutEqualisation) {
  const double a = 0.6;
  const long d = 37, L = 2048;
  orvane::AssessmentInput in;
  in.sampleRate = kRate;
  in.mode = orvane::FilterMode::Mono;
  // The direct sound at time 0, so that the trivial filter's peak lies on its own delay.
  std::vector<double> h = pulseAt(3000, 0);
  h[d] = a;
  in.response = {h};
  in.filter = {pulseAt(L, L / 2)};
  in.bandLowHz = 100.0;
  in.bandHighHz = 10000.0;
  const orvane::Assessment r = orvane::assessFilter(in);
  ASSERT_EQ(r.positions[0].channels.size(), 1u);
  const orvane::ChannelAssessment& c = r.positions[0].channels[0];
  // 100 Hz ... 10 kHz holds the bands of 125 Hz (its lower edge is above 100 Hz) to 8 kHz.
  ASSERT_EQ(c.bandCentreHz.size(), 19u);
  EXPECT_NEAR(c.bandCentreHz.front(), 1000.0 * std::pow(10.0, -0.9), 1e-9);
  const auto expected = echoBandLevelsDb(c.bandCentreHz, a, d, r.transformLength);
  for (std::size_t b = 0; b < expected.size(); ++b) {
    EXPECT_NEAR(c.bandBeforeDb[b], expected[b], kFloatDb) << c.bandCentreHz[b];
    EXPECT_NEAR(c.bandAfterDb[b], expected[b], kFloatDb) << c.bandCentreHz[b];
  }
  expectFlatness(c.before, expected);
  expectFlatness(c.after, expected);
  EXPECT_GT(c.before.maxDb, 1.0);  // the comb is not flat: the check above means something
  EXPECT_NEAR(c.peakOffsetMs, 0.0, 1e-12);
  // The echo is 37 samples (0.77 ms) after the direct sound: all of it lies in the main window.
  EXPECT_NEAR(c.mainShare, 1.0, 1e-9);
  // Nothing arrives early but the transform's rounding.
  EXPECT_TRUE(!c.preEchoDb || *c.preEchoDb < -140.0);
  EXPECT_LT(c.preRingingDb, -140.0);
  EXPECT_NEAR(r.filterGain.maxDb, 0.0, kFloatDb);
  EXPECT_TRUE(r.warnings.empty()) << r.warnings[0];

  // The same response 40 dB down: |H|^2, some (1 + a^2) 1e-4, lies below 10 times the
  // regularisation 0.001 in every bin of the pass band, which then decides the inversion.
  for (double& v : in.response[0]) v *= 0.01;
  const orvane::Assessment weak = orvane::assessFilter(in);
  EXPECT_EQ(weak.positions[0].channels[0].belowRegularisationShare, 1.0);
  ASSERT_EQ(weak.warnings.size(), 1u);
  EXPECT_EQ(weak.warnings[0].rfind("mono: 100 % of the pass band's bins", 0), 0u)
      << weak.warnings[0];
}

// A band silent after the filter leaves an infinite flatness: the text states it as the
// warning does, not as a figure that is none.
TEST(AssessLibrary, AnInfiniteFlatnessReadsAlikeInTextAndWarning) {
  orvane::AssessmentInput in;
  in.sampleRate = kRate;
  in.response = {pulseAt(3000, 0)};
  in.filter = {pulseAt(256, 128)};
  orvane::Assessment a = orvane::assessFilter(in);
  a.positions[0].channels[0].after = {INFINITY, INFINITY};
  a.warnings = orvane::assessmentWarnings(a);
  ASSERT_EQ(a.warnings.size(), 1u);
  EXPECT_NE(a.warnings[0].find("(inf dB largest deviation"), std::string::npos) << a.warnings[0];
  EXPECT_NE(orvane::assessmentText(a).find("Flatness after:       max inf dB, rms inf dB"),
            std::string::npos)
      << orvane::assessmentText(a);
}

// A muffled response: loud enough on average, but over most of the pass band |H|^2 lies below
// 10 beta. For a network it is |det H|^2 that the inversion divides by.
TEST(AssessLibrary, RegularisationDecidesMuchOfAMuffledBand) {
  orvane::AssessmentInput in;
  in.sampleRate = kRate;
  in.bandLowHz = 100.0;
  in.bandHighHz = 16000.0;
  // 0.3 times an 8-point average: |H| below 0.1 from some 2.5 kHz on.
  std::vector<double> muffled(1000, 0.0);
  for (int i = 0; i < 8; ++i) muffled[i] = 0.3 / 8;
  in.response = {muffled};
  in.filter = {pulseAt(2048, 1024)};
  const orvane::Assessment a = orvane::assessFilter(in);
  EXPECT_GT(a.positions[0].channels[0].belowRegularisationShare, 0.5);
  ASSERT_EQ(a.warnings.size(), 1u);
  EXPECT_EQ(a.warnings[0].rfind("mono: ", 0), 0u) << a.warnings[0];

  // The same at both ears, the cross paths as strong as the direct ones: det H = 0.
  in.mode = orvane::FilterMode::Stereo;
  in.response = {pulseAt(1000, 0), pulseAt(1000, 0)};
  in.filter = {pulseAt(2048, 1024), std::vector<double>(2048, 0.0)};
  const orvane::Assessment net = orvane::assessFilter(in);
  for (const auto& c : net.positions[0].channels)
    EXPECT_EQ(c.belowRegularisationShare, 1.0) << c.name;
}

// Headroom is the continuous response's peak: a sinusoid over the whole of a long filter peaks
// between the transform's bins; a network's is its largest singular value.
TEST(AssessLibrary, TrueHeadroom) {
  orvane::AssessmentInput in;
  in.sampleRate = kRate;
  in.bandLowHz = 100.0;
  in.bandHighHz = 16000.0;
  const long L = 65536;
  const double f0 = 1000.0 + 0.37 * kRate / (2.0 * L);  // between the bins of 2L points
  std::vector<double> tone(L);
  for (long n = 0; n < L; ++n) tone[n] = 0.5 * std::cos(2 * M_PI * f0 * n / kRate);
  in.response = {pulseAt(100, 0)};
  in.filter = {tone};
  // The true peak, from the transform's sum itself on a fine grid around f0.
  double truePeak = 0.0;
  for (int i = -50; i <= 50; ++i) {
    const double w = 2 * M_PI * (f0 + i * kRate / (100.0 * L)) / kRate;
    double re = 0.0, im = 0.0;
    for (long n = 0; n < L; ++n) {
      re += tone[n] * std::cos(w * n);
      im -= tone[n] * std::sin(w * n);
    }
    truePeak = std::max(truePeak, 10.0 * std::log10(re * re + im * im));
  }
  const orvane::Assessment boost = orvane::assessFilter(in);
  EXPECT_NEAR(boost.filterGain.maxDb, truePeak, 0.1);

  // LL a pulse of 0.5, LR one of 0.3 a sample later, RL = LR, RR = LL: at DC the matrix is
  // [[0.5, 0.3], [0.3, 0.5]], whose largest singular value is 0.8.
  in.mode = orvane::FilterMode::Stereo;
  in.response = {pulseAt(100, 0), pulseAt(100, 0, 0.1)};
  in.filter = {pulseAt(1024, 512, 0.5), pulseAt(1024, 513, 0.3)};
  const orvane::Assessment net = orvane::assessFilter(in);
  EXPECT_NEAR(net.filterGain.maxDb, 20.0 * std::log10(0.8), 0.3);
  ASSERT_EQ(net.filterGain.feedsDb.size(), 2u);
  for (double feed : net.filterGain.feedsDb) EXPECT_NEAR(feed, 20.0 * std::log10(0.8), 0.3);
}

TEST(AssessLibrary, CrossTalkSeparationOfKnownPaths) {
  const long L = 512, M = 1000;
  const double g = 0.08, g2 = 0.05;
  orvane::AssessmentInput in;
  in.sampleRate = kRate;
  in.bandLowHz = 200.0;
  in.bandHighHz = 5000.0;

  // Stereo: the left loudspeaker reaches the right ear at gain g (and, symmetric, the right
  // loudspeaker the left ear); the network passes each input to its own loudspeaker only.
  in.mode = orvane::FilterMode::Stereo;
  in.response = {pulseAt(M, 0), pulseAt(M, 0, g)};
  in.filter = {pulseAt(L, L / 2), std::vector<double>(L, 0.0)};
  orvane::Assessment s = orvane::assessFilter(in);
  ASSERT_EQ(s.positions[0].channels.size(), 2u);
  for (const auto& c : s.positions[0].channels) {
    EXPECT_NEAR(*c.separationMinDb, -20.0 * std::log10(g), kFloatDb) << c.name;
    EXPECT_NEAR(*c.separationMedianDb, -20.0 * std::log10(g), kFloatDb) << c.name;
    EXPECT_NEAR(c.after.maxDb, 0.0, kFloatDb);
  }

  // 2x2: the cross paths differ, so each ear's figure shows which path reaches it: the right
  // loudspeaker's g2 at the left ear, the left one's g at the right ear.
  in.mode = orvane::FilterMode::TwoByTwo;
  in.response = {joined(pulseAt(M, 0), pulseAt(M, 0, g2)), joined(pulseAt(M, 0, g), pulseAt(M, 0))};
  in.filter = {joined(pulseAt(L, L / 2), std::vector<double>(L, 0.0)),
               joined(std::vector<double>(L, 0.0), pulseAt(L, L / 2))};
  orvane::Assessment t = orvane::assessFilter(in);
  ASSERT_EQ(t.positions[0].channels.size(), 2u);
  EXPECT_EQ(t.positions[0].channels[0].name, "left ear");
  EXPECT_NEAR(*t.positions[0].channels[0].separationMinDb, -20.0 * std::log10(g2), kFloatDb);
  EXPECT_NEAR(*t.positions[0].channels[1].separationMedianDb, -20.0 * std::log10(g), kFloatDb);
  EXPECT_NEAR(t.positions[0].channels[1].peakOffsetMs, 0.0, 1e-12);
  for (const auto& c : t.positions[0].channels)
    EXPECT_EQ(c.separationDb.size(), c.bandCentreHz.size());
  EXPECT_TRUE(t.warnings.empty()) << t.warnings[0];

  // A weak cross-talk cancellation is said, naming the ear.
  in.response[1] = joined(pulseAt(M, 0, 0.5), pulseAt(M, 0));
  const orvane::Assessment weak = orvane::assessFilter(in);
  ASSERT_EQ(weak.warnings.size(), 1u) << weak.warnings[0] << "\n" << weak.warnings[1];
  EXPECT_EQ(weak.warnings[0].rfind("right ear: the median cross-talk separation", 0), 0u)
      << weak.warnings[0];
}

TEST(AssessCommand, RefusesBadInput) {
  ScratchDir dir;
  const long L = 256;
  hosttest::writeWav(dir.file("mono.wav"), 1, kRate, pulseAt(1000, 10), true);
  hosttest::writeWav(dir.file("mono44.wav"), 1, 44100, pulseAt(1000, 10), true);
  hosttest::writeWav(dir.file("stereo.wav"), 2, kRate,
                     interleave(pulseAt(1000, 10), pulseAt(1000, 10)), true);
  hosttest::writeWav(dir.file("stereo-odd.wav"), 2, kRate,
                     interleave(pulseAt(1001, 10), pulseAt(1001, 10)), true);
  hosttest::writeWav(dir.file("filter.wav"), 1, kRate, pulseAt(L, L / 2), true);
  hosttest::writeWav(dir.file("filter2.wav"), 2, kRate,
                     interleave(pulseAt(L + 1, L / 2), pulseAt(L + 1, L / 2)), true);
  hosttest::writeWav(dir.file("filter2even.wav"), 2, kRate,
                     interleave(pulseAt(L, L / 2), pulseAt(L, L / 2)), true);
  hosttest::writeWav(dir.file("empty.wav"), 1, kRate, {}, true);
  hosttest::writeWav(dir.file("zeros.wav"), 1, kRate, std::vector<double>(L, 0.0), true);
  std::vector<double> broken = pulseAt(L, L / 2);
  broken[7] = NAN;
  hosttest::writeWav(dir.file("nan.wav"), 1, kRate, broken, true);
  broken[7] = 0.0;
  broken[9] = INFINITY;
  hosttest::writeWav(dir.file("inf.wav"), 1, kRate, broken, true);
  // A 16-bit mono file one frame longer than the largest transform: its samples are a hole in
  // the file, never written, and must never be read.
  {
    const long frames = orvane::maxAssessmentTransform() + 1;
    const unsigned dataBytes = static_cast<unsigned>(frames * 2);
    std::ofstream f(dir.file("huge.wav"), std::ios::binary);
    auto u32 = [&](unsigned v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](unsigned short v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f << "RIFF";
    u32(36 + dataBytes);
    f << "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    f << "data";
    u32(dataBytes);
    f.close();
    ASSERT_EQ(truncate(dir.file("huge.wav").c_str(), 44 + static_cast<off_t>(dataBytes)), 0);
  }
  struct Case {
    std::vector<std::string> args;
    const char* mustSay;
  };
  const std::vector<Case> cases = {
      {{"mono44.wav", "filter.wav"}, "sample rate"},
      {{"stereo.wav", "filter.wav"}, "mono response"},
      {{"mono.wav", "stereo.wav", "filter.wav"}, "stereo.wav: a mono filter"},  // every position
      {{"mono.wav", "filter2.wav"}, "stereo response"},
      {{"stereo.wav", "filter.wav", "--mode", "2x2"}, "stereo filter"},
      {{"stereo.wav", "filter2.wav", "--mode", "2x2"}, "filter2.wav: a 2x2 filter"},
      {{"stereo-odd.wav", "filter2.wav", "--mode", "stereo"}, ""},  // accepted: a control
      {{"stereo-odd.wav", "filter2even.wav", "--mode", "2x2"}, "stereo-odd.wav: a 2x2 response"},
      {{"empty.wav", "filter.wav"}, "empty.wav"},
      {{"mono.wav", "empty.wav"}, "empty.wav"},
      {{"mono.wav", "huge.wav"}, "fit in memory"},
      {{"mono.wav", "zeros.wav"}, "the filter is silent"},
      {{"zeros.wav", "filter.wav"}, "the response of the mono channel is silent"},
      {{"mono.wav", "nan.wav"}, "nan.wav: frame 7"},
      {{"inf.wav", "filter.wav"}, "inf.wav: frame 9"},
      {{"mono.wav", "filter.wav", "--band", "300:100"}, "--band"},
      {{"mono.wav", "filter.wav", "--band", "1000:1100"}, "no third-octave band"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"assess"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = runOrvane(args, dir.path());
    const std::string what = c.args[0] + " " + c.args[1];
    if (*c.mustSay == '\0') {
      EXPECT_EQ(r.status, 0) << what << ": " << r.err;
      continue;
    }
    EXPECT_EQ(r.status, 2) << what;
    EXPECT_TRUE(r.out.empty()) << what << ": " << r.out;
    const auto lines = hosttest::lines(r.err);
    ASSERT_EQ(lines.size(), 1u) << what << ": " << r.err;
    EXPECT_EQ(lines[0].rfind("orvane: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(c.mustSay), std::string::npos) << what << ": " << lines[0];
  }
}

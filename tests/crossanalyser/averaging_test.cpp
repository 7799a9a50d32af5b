// The averaging through the host's readSamples: block positions and lengths, the partial
// block, cancelling, the statistics over long selections, the following filter and the
// multispectrum log.
#include "crossanalyser/averaging.h"

#include <gtest/gtest.h>
#include <math.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analyser_host.h"
#include "crossanalyser/running_mean.h"
#include "crossanalyser/window_shapes.h"
#include "frame/fft.h"

namespace {

// The averaged left auto-spectrum of blocks given by (start, length), computed from the
// defining steps: window of the block's length, zero padding, forward transform, running mean.
std::vector<float> expectedAuto(const std::vector<float>& wave, long n,
                                const std::vector<std::pair<long, long>>& blocks) {
  std::vector<float> g(n, 0.0f), w(n), x(n);
  for (size_t b = 0; b < blocks.size(); ++b) {
    const long start = blocks[b].first, length = blocks[b].second;
    MakeWindow(w.data(), kWindowHanning, length);
    for (long i = 0; i < n; ++i) x[i] = i < length ? wave[2 * (start + i)] * w[i] : 0.0f;
    RealFFT(x.data(), n, 1, false);
    AccumulateAuto(g.data(), x.data(), n, (long)b, 0, n / 2);
  }
  return g;
}

TEST(AverageSpectra, ASelectionOfExactlyNIsOneBlockOfItsOwnProducts) {
  const long n = 1024;
  AnalyserHost host;
  host.wave = interleave(whiteNoise(3000, 1), whiteNoise(3000, 2));
  host.select(500, n);
  ASSERT_TRUE(host.allocate(n));
  const SpectraSettings s = plainSpectraSettings(n);
  SpectraStatistics st;
  ASSERT_TRUE(AverageSpectra(&host.buffers, &s, &host.record, &st));
  EXPECT_EQ(st.blockCount, 1);
  ASSERT_EQ(host.reads.size(), 1u);
  EXPECT_EQ(host.reads[0].first, 500);
  EXPECT_EQ(host.reads[0].frames, n);
  EXPECT_EQ(host.reads[0].format, 34);
  EXPECT_EQ(host.progress, (std::vector<std::pair<int, int>>{{1, 2}}));
  const std::vector<float> want = expectedAuto(host.wave, n, {{500, n}});
  EXPECT_EQ(memcmp(want.data(), host.buffers.gll, n * sizeof(float)), 0);
}

TEST(AverageSpectra, NPlusAnEighthAddsAPartialBlockWithItsOwnWindowAtHalfWeight) {
  const long n = 2048;
  AnalyserHost host;
  host.wave = interleave(whiteNoise(5000, 3), whiteNoise(5000, 4));
  host.select(100, n + n / 8);
  ASSERT_TRUE(host.allocate(n));
  const SpectraSettings s = plainSpectraSettings(n);
  SpectraStatistics st;
  ASSERT_TRUE(AverageSpectra(&host.buffers, &s, &host.record, &st));
  EXPECT_EQ(st.blockCount, 2);
  ASSERT_EQ(host.reads.size(), 2u);
  EXPECT_EQ(host.reads[1].first, 100 + n / 4);
  EXPECT_EQ(host.reads[1].frames, 7 * n / 8);
  EXPECT_EQ(host.progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
  // The window buffer starts with the partial block's window.
  std::vector<float> w(7 * n / 8);
  MakeWindow(w.data(), kWindowHanning, 7 * n / 8);
  EXPECT_EQ(memcmp(w.data(), host.buffers.window, w.size() * sizeof(float)), 0);
  const std::vector<float> want = expectedAuto(host.wave, n, {{100, n}, {100 + n / 4, 7 * n / 8}});
  EXPECT_EQ(memcmp(want.data(), host.buffers.gll, n * sizeof(float)), 0);
}

TEST(AverageSpectra, NoReadEverLeavesTheSelection) {
  const long n = 1024;
  for (long m : {n - 1, 3 * n / 4 + 1, 3 * n / 4, 7L, n, n + 1, 5 * n + 333}) {
    SCOPED_TRACE(m);
    AnalyserHost host;
    host.wave = interleave(whiteNoise(8000, 5), whiteNoise(8000, 6));
    host.select(40, m);
    ASSERT_TRUE(host.allocate(n));
    const SpectraSettings s = plainSpectraSettings(n);
    SpectraStatistics st;
    ASSERT_TRUE(AverageSpectra(&host.buffers, &s, &host.record, &st));
    EXPECT_FALSE(host.readOutside);
    long read = 0;
    for (const SampleRead& r : host.reads) read = std::max(read, r.first + r.frames - 40);
    EXPECT_EQ(read, m);
    EXPECT_TRUE(isfinite(st.rmsLeft));
    EXPECT_GT(st.rmsLeft, 0.0f);
  }
}

TEST(AverageSpectra, ACancelStopsTheFullBlocksButStillAveragesThePartialOne) {
  const long n = 256;
  AnalyserHost host;
  host.wave = interleave(whiteNoise(4000, 7), whiteNoise(4000, 8));
  host.select(0, 10 * n / 4 + n + 30);  // A = 11 full blocks and a partial one
  ASSERT_TRUE(host.allocate(n));
  host.cancelAtProgress = 2;
  const SpectraSettings s = plainSpectraSettings(n);
  SpectraStatistics st;
  EXPECT_FALSE(AverageSpectra(&host.buffers, &s, &host.record, &st));
  EXPECT_EQ(host.progress, (std::vector<std::pair<int, int>>{{1, 12}, {2, 12}, {12, 12}}));
  ASSERT_EQ(host.reads.size(), 3u);
  EXPECT_EQ(host.reads[2].first, 11 * n / 4);
  EXPECT_EQ(host.reads[2].frames, 30 + 3 * n / 4);
}

TEST(AverageSpectra, StatisticsStayExactOverMoreThan32767Blocks) {
  // A constant signal: every block's windowed squares are the same, so the RMS is
  // c * sqrt(sum W^2 / N) however many blocks there are. 33000 blocks at N 256 (44 s at
  // 48 kHz) would wrap a 16-bit count and drift in float sums.
  const long n = 256, blocks = 33000, m = n + (blocks - 1) * n / 4;
  const float left = 12000.0f, right = -6000.0f;
  AnalyserHost host;
  host.wave.resize(2 * m);
  for (long i = 0; i < m; ++i) host.wave[2 * i] = left, host.wave[2 * i + 1] = right;
  host.select(0, m);
  ASSERT_TRUE(host.allocate(n));
  const SpectraSettings s = plainSpectraSettings(n);
  SpectraStatistics st;
  ASSERT_TRUE(AverageSpectra(&host.buffers, &s, &host.record, &st));
  EXPECT_EQ(st.blockCount, blocks);
  std::vector<float> w(n);
  MakeWindow(w.data(), kWindowHanning, n);
  double energy = 0.0;
  for (float v : w) energy += (double)v * v;
  EXPECT_NEAR(st.rmsLeft / (left * sqrt(energy / n)), 1.0, 1e-6);
  EXPECT_NEAR(st.rmsRight / (-right * sqrt(energy / n)), 1.0, 1e-6);
  EXPECT_NEAR(st.meanProduct / (left * right * energy / n), 1.0, 1e-6);
  // Constant input has all its power at DC: the averaged DC power is one block's.
  double dc = 0.0;
  for (float v : w) dc += v;
  EXPECT_NEAR(host.buffers.gll[0] / (left * dc * left * dc), 1.0, 1e-4);
}

TEST(AverageSpectra, FollowingAToneAtBin100KeepsOnlyTheThirdOctaveAroundIt) {
  const long n = 4096, m = 4 * n;
  std::vector<float> tone(m);
  for (long i = 0; i < m; ++i) tone[i] = (float)(10000.0 * sin(2.0 * M_PI * 100.0 * i / n));
  AnalyserHost host;
  host.wave = interleave(tone, tone);
  host.select(0, m);
  ASSERT_TRUE(host.allocate(n));
  SpectraSettings s = plainSpectraSettings(n);
  s.followMode = kFollowLeft;
  s.bandwidthOctaves = 1.0f / 3.0f;
  SpectraStatistics st;
  ASSERT_TRUE(AverageSpectra(&host.buffers, &s, &host.record, &st));
  const float* g = host.buffers.gll;
  EXPECT_EQ(g[0], 0.0f);  // DC and Nyquist frozen
  EXPECT_EQ(g[1], 0.0f);
  for (long k = 1; k < n / 2; ++k) {
    if (k < 90 || k > 111) {
      ASSERT_EQ(g[2 * k], 0.0f) << k;
    }
  }
  // The tone's power: (10000 * 2^-15 * N/2 * 0.5 for Hann)^2.
  EXPECT_NEAR(g[200], 97656.25f, 10.0f);
  EXPECT_NEAR(host.buffers.glr[200], 97656.25f, 10.0f);
}

class InTempDir : public testing::Test {
 protected:
  void SetUp() override {
    char path[] = "/tmp/xa-avg-XXXXXX";
    ASSERT_NE(mkdtemp(path), nullptr);
    dir_ = path;
    ASSERT_NE(getcwd(old_, sizeof old_), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(old_), 0);
    std::string command = "rm -rf " + dir_;
    ASSERT_EQ(system(command.c_str()), 0);
  }
  std::string dir_;
  char old_[4096];
};

using MultiSpectrum = InTempDir;

std::vector<float> averagedWith(bool save, long n, std::vector<float>* gll) {
  AnalyserHost host;
  host.wave = interleave(whiteNoise(3 * n, 9), whiteNoise(3 * n, 10));
  host.select(0, 2 * n);  // A = 5
  EXPECT_TRUE(host.allocate(n));
  SpectraSettings s = plainSpectraSettings(n);
  s.saveMultiSpectrum = save;
  SpectraStatistics st;
  EXPECT_TRUE(AverageSpectra(&host.buffers, &s, &host.record, &st));
  gll->assign(host.buffers.gll, host.buffers.gll + n);
  return std::vector<float>(host.buffers.glr, host.buffers.glr + n);
}

TEST_F(MultiSpectrum, FiveBlocksWriteTheHeaderAndTwoRowsAndChangeNoAverage) {
  const long n = 256;
  std::vector<float> gllWith, gllWithout;
  const std::vector<float> glrWith = averagedWith(true, n, &gllWith);
  const std::vector<float> glrWithout = averagedWith(false, n, &gllWithout);
  EXPECT_EQ(gllWith, gllWithout);
  EXPECT_EQ(glrWith, glrWithout);

  std::ifstream in("MultiSpectrum.txt", std::ios::binary);
  ASSERT_TRUE(in.good());
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = all.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(all.substr(at, end - at));
  EXPECT_EQ(at, all.size());  // every line ends with CR LF
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 14), "N\xB0  0.0 187.5 ");
  EXPECT_EQ(lines[1].substr(0, 2), "1 ");
  EXPECT_EQ(lines[2].substr(0, 2), "2 ");
  // N/2 values per row after the row number.
  std::istringstream row(lines[1]);
  std::string value;
  int count = -1;
  while (row >> value) ++count;
  EXPECT_EQ(count, n / 2);
}

TEST_F(MultiSpectrum, AFileThatCannotBeCreatedIsSkippedWithoutChangingTheAverages) {
  ASSERT_EQ(mkdir("MultiSpectrum.txt", 0755), 0);  // a directory in the file's place
  const long n = 256;
  std::vector<float> gllWith, gllWithout;
  EXPECT_EQ(averagedWith(true, n, &gllWith), averagedWith(false, n, &gllWithout));
  EXPECT_EQ(gllWith, gllWithout);
}

TEST(AverageSpectra, TriangularReadsWhiteNoiseAThirdOfRectsPowerBelow) {
  // The mean square of a triangle of peak 1 is 1/3: -4.77 dB against RECT, not 90 dB above.
  const long n = 4096;
  AnalyserHost host;
  host.wave = interleave(whiteNoise(64 * n, 11), whiteNoise(64 * n, 12));
  host.select(0, 64 * n);
  ASSERT_TRUE(host.allocate(n));
  auto rmsLeftDb = [&](int shape) {
    SpectraSettings s = plainSpectraSettings(n);
    s.windowShape = shape;
    SpectraStatistics st;
    EXPECT_TRUE(AverageSpectra(&host.buffers, &s, &host.record, &st));
    return 20.0 * log10(st.rmsLeft);
  };
  EXPECT_NEAR(rmsLeftDb(kWindowTriangular) - rmsLeftDb(kWindowRect), -4.771, 0.02);
}

}  // namespace

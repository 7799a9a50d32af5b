// The cross-talk cancelling design: its three inversions, its paths, what the host sees and how
// it fails.
#include "inversefilter/dipole_design.h"

#include <math.h>

#include <algorithm>
#include <vector>

#include "designer_test_support.h"

namespace {

// The buffers of one design, sized as the run sizes them.
struct DipoleDesign {
  long A, N;
  std::vector<float> slot[4], scratch, det, work1, work2;
  DipoleDesign(const std::vector<float>& ll, const std::vector<float>& lr,
               const std::vector<float>& rl, const std::vector<float>& rr, long N_)
      : N(N_) {
    A = 1;
    while (A < (long)ll.size()) A *= 2;
    const long length = std::max(A, N);
    const std::vector<float>* in[4] = {&ll, &lr, &rl, &rr};
    for (int r = 0; r < 4; ++r) {
      slot[r] = *in[r];
      slot[r].resize(length, 0.0f);
    }
    scratch.assign(N, 0.0f);
    det.assign(N, 0.0f);
    work1.assign(length / 2 + 1, 0.0f);
    work2.assign(length / 2 + 1, 0.0f);
  }
  bool run(const DesignerParams& p, DesignerRecorder& r) {
    return DesignStereoDipole(slot[0].data(), slot[1].data(), slot[2].data(), slot[3].data(),
                              scratch.data(), det.data(), A, N, (N & (N - 1)) != 0, &p, &r.instance,
                              work1.data(), work2.data());
  }
  std::vector<float> filter(int r) const {
    return std::vector<float>(slot[r].begin(), slot[r].begin() + N);
  }
};

TEST(DesignStereoDipole, SymmetricStereoPairGivesEqualDirectAndEqualCrossFilters) {
  // The Stereo mode's set-up: HRL a copy of HLR, HRR a copy of HLL.
  for (const PathCase& c : kPaths) {
    SCOPED_TRACE(c.path);
    const std::vector<float> direct = earResponse(c.responseLength, 10, 0.5, 1, 1u);
    const std::vector<float> cross = earResponse(c.responseLength, 23, 0.3, 4, 2u);
    DesignerRecorder recorder;
    DipoleDesign d(direct, cross, cross, direct, c.N);
    ASSERT_TRUE(d.run(defaultParams(), recorder));
    EXPECT_EQ(d.filter(0), d.filter(3));
    EXPECT_EQ(d.filter(1), d.filter(2));
    EXPECT_NE(d.filter(0), d.filter(1));
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ(recorder.liveBlocks(), 0);
  }
}

TEST(DesignStereoDipole, CrossTalkOnlyWithSilentCrossPathsGivesPureDelays) {
  for (const PathCase& c : kPaths) {
    SCOPED_TRACE(c.path);
    const std::vector<float> direct = earResponse(c.responseLength, 10, 0.5, 1, 1u);
    const std::vector<float> silent(c.responseLength, 0.0f);
    DesignerRecorder recorder;
    DesignerParams p = defaultParams();
    p.CrossTalkOnly = 1;
    DipoleDesign d(direct, silent, silent, direct, c.N);
    ASSERT_TRUE(d.run(p, recorder));
    for (int r : {0, 3}) {
      const std::vector<float> f = d.filter(r);
      EXPECT_NEAR(f[c.N / 2], c.N / 2.0, 1e-3 * c.N);
      for (long i = 0; i < c.N; ++i) {
        if (i == c.N / 2) continue;
        ASSERT_NEAR(f[i], 0.0, 1e-3) << r << " " << i;
      }
    }
    for (int r : {1, 2})
      for (float v : d.filter(r)) ASSERT_EQ(v, 0.0f) << r;
  }
}

TEST(DesignStereoDipole, CrossTalkOnlyCancelsTheCrossPathsAtEachEar) {
  // Per bin: ear L from input R = HLL RL + HRL RR = HLL (-HRL/HLL) + HRL = 0 to within the
  // regularisation; checked through the filters' effect on the cross paths in the time domain
  // (the cross path HRL is the direct path HLL delayed by 5 samples and halved).
  const long N = 1024;
  std::vector<float> direct(300, 0.0f), cross(300, 0.0f);
  direct[10] = 0.5f;
  cross[15] = 0.25f;
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.CrossTalkOnly = 1;
  p.InBandRegularisation = 1e-6f;
  p.OutBandRegularisation = 1e-6f;
  DipoleDesign d(direct, cross, cross, direct, N);
  ASSERT_TRUE(d.run(p, recorder));
  const std::vector<double> earLfromR = convolve(direct, d.slot[2].data(), N);  // HLL * RL
  const std::vector<double> viaRR = convolve(cross, d.slot[3].data(), N);       // HRL * RR
  double worst = 0.0;
  for (size_t i = 0; i < earLfromR.size(); ++i) worst = fmax(worst, fabs(earLfromR[i] + viaRR[i]));
  EXPECT_LT(worst, 1e-3 * N / 2);
  // RL itself is -HRL/HLL: -0.5 times a 5-sample delay, around the middle.
  EXPECT_NEAR(d.slot[2][N / 2 + 5], -0.5 * N / 2, 1e-3 * N / 2);
}

TEST(DesignStereoDipole, SingleFilterIsTheFullInversionsDirectSlot) {
  const std::vector<float> ll = earResponse(600, 10, 0.5, 1, 1u),
                           rr = earResponse(600, 10, 0.5, 1, 4u);
  const std::vector<float> lr = earResponse(600, 23, 0.3, 4, 2u),
                           rl = earResponse(600, 23, 0.3, 4, 3u);
  for (const PathCase& c : kPaths) {
    SCOPED_TRACE(c.path);
    DesignerRecorder recorder;
    DipoleDesign full(ll, lr, rl, rr, c.N), single(ll, lr, rl, rr, c.N);
    DesignerParams p = defaultParams();
    ASSERT_TRUE(full.run(p, recorder));
    p.ActiveNoiseControl = 1;
    ASSERT_TRUE(single.run(p, recorder));
    EXPECT_EQ(single.filter(0), full.filter(0));
  }
}

TEST(DesignStereoDipole, VanishingDeterminantStaysFinite) {
  // All four paths equal: det = 0 in every bin; the regularisation keeps 0 / eps finite.
  const std::vector<float> h = earResponse(600, 10, 0.5, 1, 1u);
  DesignerRecorder recorder;
  DipoleDesign d(h, h, h, h, 1024);
  ASSERT_TRUE(d.run(defaultParams(), recorder));
  for (int r = 0; r < 4; ++r)
    for (float v : d.filter(r)) ASSERT_TRUE(isfinite(v));
}

TEST(DesignStereoDipole, ReportsItsProgressPerPath) {
  struct Expected {
    const char* path;
    std::vector<int> steps;
    std::vector<std::string> texts;
  };
  const Expected expected[] = {
      {"F", {1, 2, 5, 8, 9}, {}},
      {"D",
       {1, 2, 3, 4, 5, 8, 9, 10},
       {"Calculating DFT HLL...", "Calculating DFT HLR...", "Calculating DFT HRL...",
        "Calculating DFT HRR...", "Calculating IDFT 1/HLL...", "Calculating IDFT 1/HLR...",
        "Calculating IDFT 1/HRL...", "Calculating IDFT 1/HRR..."}},
      {"R",
       {1, 2, 3, 5, 8, 9, 10},
       {"Reducing length to IFL", "Calculating IDFT 1/HLL...", "Calculating IDFT 1/HLR...",
        "Calculating IDFT 1/HRL...", "Calculating IDFT 1/HRR..."}},
  };
  const std::vector<float> h = earResponse(600, 10, 0.5, 1, 1u),
                           x = earResponse(600, 23, 0.3, 4, 2u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(expected[i].path);
    DesignerRecorder recorder;
    DipoleDesign d(h, x, x, h, kPaths[i].N);
    ASSERT_TRUE(d.run(defaultParams(), recorder));
    EXPECT_EQ(recorder.captions, std::vector<std::string>{"Designing stereo dipole filter..."});
    EXPECT_EQ(recorder.texts, expected[i].texts);
    std::vector<int> steps;
    for (const auto& s : recorder.steps) {
      steps.push_back(s.first);
      EXPECT_EQ(s.second, 10);
    }
    EXPECT_EQ(steps, expected[i].steps);
    EXPECT_EQ(recorder.ends, 1);
  }
  // Cross-talk only reports steps 6 and 7 in place of 8.
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.CrossTalkOnly = 1;
  DipoleDesign d(h, x, x, h, 1024);
  ASSERT_TRUE(d.run(p, recorder));
  std::vector<int> steps;
  for (const auto& s : recorder.steps) steps.push_back(s.first);
  EXPECT_EQ(steps, (std::vector<int>{1, 2, 5, 6, 7, 9}));
}

TEST(DesignStereoDipole, CancelOrUnusableSettingsFailTheDesign) {
  const std::vector<float> h = earResponse(600, 10, 0.5, 1, 1u),
                           x = earResponse(600, 23, 0.3, 4, 2u);
  for (const PathCase& c : kPaths) {
    for (int at = 1; at <= 8; ++at) {
      SCOPED_TRACE(testing::Message() << c.path << " cancel at call " << at);
      DesignerRecorder recorder;
      recorder.cancelAtStep = at;
      DipoleDesign d(h, x, x, h, c.N);
      const bool done = d.run(defaultParams(), recorder);
      if ((int)recorder.steps.size() < at) {  // the design reports fewer steps on this path
        EXPECT_TRUE(done);
        break;
      }
      EXPECT_FALSE(done);
      EXPECT_EQ((int)recorder.steps.size(), at);
      EXPECT_EQ(recorder.ends, 1);
      EXPECT_EQ(recorder.liveBlocks(), 0);
    }
  }
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.OutBandRegularisation = 0.0f;
  DipoleDesign d(h, x, x, h, 1024);
  EXPECT_FALSE(d.run(p, recorder));
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].caption, "Kirkeby plus");
  EXPECT_TRUE(recorder.captions.empty());
  EXPECT_EQ(d.slot[0], DipoleDesign(h, x, x, h, 1024).slot[0]);
}

TEST(DesignStereoDipole, PreprocessingRunsOnAllFourAndAFailureStopsTheDesign) {
  const std::vector<float> h = earResponse(600, 10, 0.5, 1, 1u),
                           x = earResponse(600, 23, 0.3, 4, 2u);
  for (const PathCase& c : kPaths) {
    for (int type = 1; type <= 3; ++type) {
      SCOPED_TRACE(testing::Message() << c.path << " average " << type);
      DesignerRecorder recorder;
      DesignerParams p = defaultParams();
      p.AverageType = type;
      p.WindowType = kWindowOctaves;
      p.WindowWidth = 0.1f;
      DipoleDesign d(h, x, x, h, c.N);
      ASSERT_TRUE(d.run(p, recorder));
      for (int r = 0; r < 4; ++r)
        for (float v : d.filter(r)) ASSERT_TRUE(isfinite(v));
      EXPECT_EQ(d.filter(0), d.filter(3));
    }
  }
  // A cross path (1, 1) has an exact zero at Nyquist: the cepstrum refuses it.
  std::vector<float> zero(600, 0.0f);
  zero[0] = zero[1] = 0.5f;
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.AverageType = kAverageCepstrum;
  DipoleDesign d(h, zero, x, h, 1024);
  EXPECT_FALSE(d.run(p, recorder));
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].caption, "Cepstrum DFT");
  EXPECT_EQ(recorder.ends, 1);
}

}  // namespace

// The single-channel design on its three paths: where the filter's peak lands, what it weighs,
// what the host sees, and how the design fails.
#include "inversefilter/inverse_design.h"

#include <math.h>

#include <algorithm>
#include <vector>

#include "designer_test_support.h"
#include "inversefilter/kirkeby.h"

namespace {

// Buffers of one design, sized as the run sizes them.
struct MonoDesign {
  long A, N;
  std::vector<float> signal, scratch, work1, work2;
  MonoDesign(const std::vector<float>& response, long N_) : N(N_) {
    A = 1;
    while (A < (long)response.size()) A *= 2;
    const long length = std::max(A, N);
    signal.assign(length, 0.0f);
    std::copy(response.begin(), response.end(), signal.begin());
    scratch.assign(N, 0.0f);
    work1.assign(length / 2 + 1, 0.0f);
    work2.assign(length / 2 + 1, 0.0f);
  }
  bool run(const DesignerParams& p, DesignerRecorder& r, bool nonPow2) {
    return DesignInverseFilter(signal.data(), scratch.data(), A, N, nonPow2, &p, &r.instance,
                               work1.data(), work2.data());
  }
  long peakIndex() const {
    long best = 0;
    for (long i = 1; i < N; ++i)
      if (fabs(signal[i]) > fabs(signal[best])) best = i;
    return best;
  }
};

std::vector<float> pulseAt(long at, long length) {
  std::vector<float> x(length, 0.0f);
  x[at] = 1.0f;
  return x;
}

DesignerParams flatRegularisation(float eps) {
  DesignerParams p = defaultParams();
  p.InBandRegularisation = eps;
  p.OutBandRegularisation = eps;
  return p;
}

TEST(DesignInverseFilter, UnitImpulseGivesHalfNOverOnePlusEpsAtTheMiddleOnEveryPath) {
  const float eps = 0.25f;
  for (const PathCase& c : kPaths) {
    SCOPED_TRACE(c.path);
    DesignerRecorder recorder;
    MonoDesign d(pulseAt(0, c.responseLength), c.N);
    ASSERT_TRUE(d.run(flatRegularisation(eps), recorder, c.N != 1024));
    const double expected = (c.N / 2.0) / (1.0 + eps);
    EXPECT_NEAR(d.signal[c.N / 2], expected, 1e-4 * expected);
    for (long i = 0; i < c.N; ++i) {
      if (i == c.N / 2) continue;
      ASSERT_NEAR(d.signal[i], 0.0, 1e-4 * expected) << i;
    }
    EXPECT_EQ(recorder.liveBlocks(), 0);
    EXPECT_TRUE(recorder.boxes.empty());
  }
}

TEST(DesignInverseFilter, DelayedPulseGivesAnAdvancedFilterNotATimeReversedOne) {
  // A response pulse at 40 needs a filter peak 40 samples before the middle on every path;
  // a reversed inverse transform would put it 40 after (540 for 1000 points).
  for (const PathCase& c : kPaths) {
    SCOPED_TRACE(c.path);
    DesignerRecorder recorder;
    MonoDesign d(pulseAt(40, c.responseLength), c.N);
    ASSERT_TRUE(d.run(flatRegularisation(0.001f), recorder, c.N != 1024));
    EXPECT_EQ(d.peakIndex(), c.N / 2 - 40);
  }
}

TEST(DesignInverseFilter, DirectPathEqualsTheDesignInExactTransforms) {
  // 1000 points, a 500-sample room response: path D. The reference transforms the response
  // with long double sums, inverts the same way and transforms back exactly; taking 2 pi as
  // 6.28318 in the transforms left the filter off by about -61 dB of its peak.
  const long N = 1000;
  const std::vector<float> h = roomResponse(500, 12, 0.5, 5u);
  DesignerRecorder recorder;
  MonoDesign d(h, N);
  ASSERT_TRUE(d.run(defaultParams(), recorder, true));

  std::vector<float> x(N, 0.0f);
  std::copy(h.begin(), h.end(), x.begin());
  std::vector<long double> re, im;
  referenceDft(x, &re, &im);
  std::vector<float> spectrum = packedOf(re, im), scratch(N);
  const BandEdgeBins e = BandEdges(N, 80, 16000, 0.33f, 48000);
  InvertRegularised(spectrum.data(), scratch.data(), N / 2, 0.001f, 1.0f, e.kL1, e.kL2, e.kH1,
                    e.kH2);
  const long double twoPi = 6.283185307179586476925286766559L;
  double worst = 0.0, peak = 0.0;
  for (long n = 0; n < N; ++n) {
    // N/2 x[n] = (X0 + XN/2 (-1)^n)/2 + sum_k Re X_k cos(2 pi kn/N) + Im X_k sin(2 pi kn/N)
    long double v = 0.5L * (spectrum[0] + (n % 2 ? -spectrum[1] : spectrum[1]));
    for (long k = 1; k < N / 2; ++k) {
      const long double angle = twoPi * (long double)((k * n) % N) / N;
      v += spectrum[2 * k] * cosl(angle) + spectrum[2 * k + 1] * sinl(angle);
    }
    worst = fmax(worst, fabs((double)(d.signal[(n + N / 2) % N] - v)));
    peak = fmax(peak, fabs((double)v));
  }
  EXPECT_LT(20.0 * log10(worst / peak), -100.0);
}

TEST(DesignInverseFilter, ReportsItsProgressPerPath) {
  struct Expected {
    const char* path;
    int steps;
    std::vector<int> numbers;
    std::vector<std::string> texts;
  };
  const Expected expected[] = {
      {"F", 6, {1, 2, 3, 4, 5, 6}, {"Invert Modulus ..."}},
      {"D",
       8,
       {1, 2, 3, 4, 5, 6},
       {"Calculating DFT H...", "Invert Modulus ...", "Calculating IDFT  1/H"}},
      {"R", 6, {2, 3, 4, 5, 6}, {"Invert Modulus ...", "Calculating IDFT  1/H"}},
  };
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(expected[i].path);
    DesignerRecorder recorder;
    MonoDesign d(pulseAt(3, kPaths[i].responseLength), kPaths[i].N);
    ASSERT_TRUE(d.run(defaultParams(), recorder, kPaths[i].N != 1024));
    EXPECT_EQ(recorder.captions, std::vector<std::string>{"Designing inverse filter..."});
    EXPECT_EQ(recorder.texts, expected[i].texts);
    std::vector<int> numbers;
    for (const auto& s : recorder.steps) {
      numbers.push_back(s.first);
      EXPECT_EQ(s.second, expected[i].steps);
    }
    EXPECT_EQ(numbers, expected[i].numbers);
    EXPECT_EQ(recorder.ends, 1);
  }
}

TEST(DesignInverseFilter, CancelAtAnyStepFailsTheDesignAndClosesTheProgress) {
  for (const PathCase& c : kPaths) {
    for (int at = 1; at <= 6; ++at) {
      SCOPED_TRACE(testing::Message() << c.path << " cancel at call " << at);
      DesignerRecorder recorder;
      recorder.cancelAtStep = at;
      MonoDesign d(pulseAt(3, c.responseLength), c.N);
      EXPECT_FALSE(d.run(defaultParams(), recorder, c.N != 1024));
      EXPECT_EQ(recorder.ends, 1);
      EXPECT_EQ((int)recorder.steps.size(), at);  // nothing more is reported after a cancel
      EXPECT_EQ(recorder.liveBlocks(), 0);
      if (c.path[0] == 'R' && at == 5) break;  // path R reports five steps
    }
  }
}

TEST(DesignInverseFilter, RegularisationThatIsNotPositiveFailsBeforeAnythingStarts) {
  const float bad[][2] = {{0.0f, 1.0f}, {0.001f, -1.0f}, {NAN, 1.0f}, {0.001f, INFINITY}};
  for (const auto& eps : bad) {
    SCOPED_TRACE(testing::Message() << eps[0] << " " << eps[1]);
    DesignerRecorder recorder;
    DesignerParams p = defaultParams();
    p.InBandRegularisation = eps[0];
    p.OutBandRegularisation = eps[1];
    storeHandle(&p.HostWindow, (HWND)0x5150);
    MonoDesign d(pulseAt(3, 600), 1024);
    const std::vector<float> before = d.signal;
    EXPECT_FALSE(d.run(p, recorder, false));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text,
              "The IN-band and OUT-band regularisation parameters\nmust be numbers greater than "
              "0.\nCorrect them in the settings and design again.");
    EXPECT_EQ(recorder.boxes[0].caption, "Kirkeby plus");
    EXPECT_EQ(recorder.boxes[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
    EXPECT_TRUE(recorder.captions.empty());
    EXPECT_EQ(d.signal, before);
  }
}

TEST(DesignInverseFilter, LengthsOutsideTheRuleAreRefusedUntouched) {
  DesignerRecorder recorder;
  MonoDesign d(pulseAt(3, 600), 1024);
  const std::vector<float> before = d.signal;
  const DesignerParams p = defaultParams();
  EXPECT_FALSE(DesignInverseFilter(d.signal.data(), d.scratch.data(), 1024, 1001, true, &p,
                                   &recorder.instance, d.work1.data(), d.work2.data()));
  EXPECT_FALSE(DesignInverseFilter(d.signal.data(), d.scratch.data(), 1024, 0, true, &p,
                                   &recorder.instance, d.work1.data(), d.work2.data()));
  EXPECT_FALSE(DesignInverseFilter(d.signal.data(), d.scratch.data(), 1000, 1024, false, &p,
                                   &recorder.instance, d.work1.data(), d.work2.data()));
  EXPECT_EQ(d.signal, before);
  EXPECT_TRUE(recorder.captions.empty());
  EXPECT_TRUE(recorder.boxes.empty());
}

TEST(DesignInverseFilter, FailedPreprocessingTransformOrReductionFailsTheDesign) {
  // A response (1, 1) has an exact spectral zero at Nyquist when a power-of-two FFT makes its
  // spectrum: the cepstrum refuses it.
  for (const PathCase& c : {kPaths[0], kPaths[2]}) {
    SCOPED_TRACE(c.path);
    DesignerRecorder recorder;
    std::vector<float> response(c.responseLength, 0.0f);
    response[0] = response[1] = 1.0f;
    DesignerParams p = defaultParams();
    p.AverageType = kAverageCepstrum;
    MonoDesign d(response, c.N);
    EXPECT_FALSE(d.run(p, recorder, c.N != 1024));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].caption, c.path[0] == 'R' ? "Cepstrum FFT" : "Cepstrum DFT");
    EXPECT_EQ(recorder.ends, 1);
  }
  // Memory of the direct transform (path D) and of the reduction (path R): the design does not
  // go on with a spectrum it does not have.
  const struct {
    PathCase path;
    const char* caption;
  } memory[] = {{kPaths[1], "DirectDFT"}, {kPaths[2], "myReduceLength"}};
  for (const auto& m : memory) {
    SCOPED_TRACE(m.path.path);
    DesignerRecorder recorder;
    MonoDesign d(pulseAt(3, m.path.responseLength), m.path.N);
    orvane_fail_alloc_at(1);
    EXPECT_FALSE(d.run(defaultParams(), recorder, true));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].caption, m.caption);
    EXPECT_EQ(recorder.ends, 1);
    EXPECT_EQ(recorder.liveBlocks(), 0);
  }
}

TEST(DesignInverseFilter, EveryPreprocessingRunsOnEveryPathAndGivesAFiniteFilter) {
  for (const PathCase& c : kPaths) {
    for (int type = 0; type <= 3; ++type) {
      for (int window = 0; window <= 1; ++window) {
        SCOPED_TRACE(testing::Message() << c.path << " average " << type << " window " << window);
        DesignerRecorder recorder;
        DesignerParams p = defaultParams();
        p.AverageType = type;
        p.WindowType = window;
        p.WindowWidth = window == 0 ? 5.0f : 0.2f;
        MonoDesign d(roomResponse(c.responseLength, 12, 0.5, 3u), c.N);
        ASSERT_TRUE(d.run(p, recorder, c.N != 1024));
        for (long i = 0; i < c.N; ++i) ASSERT_TRUE(isfinite(d.signal[i])) << i;
        EXPECT_EQ(d.peakIndex(), c.N / 2 - 12);
        EXPECT_TRUE(recorder.boxes.empty());
        EXPECT_EQ(recorder.liveBlocks(), 0);
      }
    }
  }
}

TEST(DesignInverseFilter, CutFrequenciesBeyondNyquistStillGiveAFiniteFilter) {
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.LowerCutHz = 20000;
  p.HigherCutHz = 30000;
  p.TransitionOctaves = 2.0f;
  MonoDesign d(roomResponse(600, 12, 0.5, 3u), 1000);
  d.scratch.resize(1000 + 16, 77.0f);
  ASSERT_TRUE(d.run(p, recorder, true));
  for (long i = 0; i < 1000; ++i) ASSERT_TRUE(isfinite(d.signal[i])) << i;
  for (long i = 1000; i < 1016; ++i) ASSERT_EQ(d.scratch[i], 77.0f) << i;
}

}  // namespace

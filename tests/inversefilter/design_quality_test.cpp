// What a user buys: a measured room response convolved with its inverse filter is a pulse at
// the filter's middle with a flat magnitude in the pass band, on every design path; a 2x2
// network times the response matrix is a delayed identity. The figures are printed.
#include <math.h>
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "designer_test_support.h"
#include "inversefilter/dipole_design.h"
#include "inversefilter/inverse_design.h"

namespace {

constexpr double kQualityRate = 48000.0;

// The pass band of the default settings (80 Hz ... 16 kHz, 0.33 octave transitions), less the
// transitions and half a third of an octave, so every averaging window lies inside it.
const double kBandFrom = 80.0 * pow(2.0, 0.165 + 1.0 / 6.0);
const double kBandTo = 16000.0 * pow(2.0, -0.165 - 1.0 / 6.0);

struct Flatness {
  Deviation deviation;
  long peakIndex;
};

Flatness designAndMeasure(const std::vector<float>& response, long N) {
  DesignerRecorder recorder((long)kQualityRate);
  long A = 1;
  while (A < (long)response.size()) A *= 2;
  const long length = std::max(A, N);
  std::vector<float> signal(length, 0.0f), scratch(N), w1(length / 2 + 1), w2(length / 2 + 1);
  std::copy(response.begin(), response.end(), signal.begin());
  const DesignerParams p = defaultParams();
  EXPECT_TRUE(DesignInverseFilter(signal.data(), scratch.data(), A, N, (N & (N - 1)) != 0, &p,
                                  &recorder.instance, w1.data(), w2.data()));
  const std::vector<double> y = convolve(response, signal.data(), N);
  Flatness f;
  f.peakIndex = (long)(std::max_element(y.begin(), y.end(),
                                        [](double a, double b) { return fabs(a) < fabs(b); }) -
                       y.begin());
  f.deviation = deviationOf(thirdOctaveLevels(y, N / 2.0, kBandFrom, kBandTo, kQualityRate));
  return f;
}

TEST(DesignQuality, RoomResponseTimesItsFilterIsAFlatPulseOnEveryPath) {
  // The reduction path re-samples the spectrum by linear interpolation, which blurs a long
  // response's fine structure: it is held to a looser RMS figure.
  struct Case {
    const char* path;
    long responseLength, N;
    double maxDb, rmsDb;
  };
  const Case cases[] = {
      {"F: 8192 points, FFT", 4000, 8192, 4.0, 1.0},
      {"D: 8000 points, direct transforms", 4000, 8000, 4.0, 1.0},
      {"R: 8000 points, reduced from 8192", 6000, 8000, 4.0, 1.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const std::vector<float> h = roomResponse(c.responseLength, 30, 0.5, 20240611u);
    const Flatness f = designAndMeasure(h, c.N);
    printf("  [quality] %s: 1/3-octave deviation max %.2f dB, rms %.2f dB, pulse at %ld\n", c.path,
           f.deviation.maxDb, f.deviation.rmsDb, f.peakIndex);
    EXPECT_EQ(f.peakIndex, c.N / 2);
    EXPECT_LT(f.deviation.maxDb, c.maxDb);
    EXPECT_LT(f.deviation.rmsDb, c.rmsDb);
  }
}

// The four responses of two loudspeakers at a dummy head in a damped room: direct paths of 0.5,
// cross paths 4.4 dB down, 13 samples later and shadowed by the head, each ear with its own
// echoes and tail. (Responses with long reverberant tails leave cross-talk that an 8192-point
// circular design cannot cancel in a linear convolution, whatever the arithmetic.)
struct Room2x2 {
  std::vector<float> ll, lr, rl, rr;
  explicit Room2x2(long length)
      : ll(earResponse(length, 30, 0.5, 1, 11u)),
        lr(earResponse(length, 43, 0.3, 4, 12u)),
        rl(earResponse(length, 43, 0.3, 4, 13u)),
        rr(earResponse(length, 30, 0.5, 1, 14u)) {}
};

TEST(DesignQuality, ResponseMatrixTimesFilterMatrixIsADelayedIdentity) {
  for (long N : {8192L, 8000L}) {
    SCOPED_TRACE(N);
    const long length = 2048, A = 2048;
    const Room2x2 room(length);
    std::vector<std::vector<float>> slot = {room.ll, room.lr, room.rl, room.rr};
    for (auto& s : slot) s.resize(N, 0.0f);
    std::vector<float> scratch(N), det(N), w1(N / 2 + 1), w2(N / 2 + 1);
    DesignerRecorder recorder((long)kQualityRate);
    const DesignerParams p = defaultParams();
    ASSERT_TRUE(DesignStereoDipole(slot[0].data(), slot[1].data(), slot[2].data(), slot[3].data(),
                                   scratch.data(), det.data(), A, N, N != 8192, &p,
                                   &recorder.instance, w1.data(), w2.data()));
    // Ear signals per input: ear L = HLL * feed L + HRL * feed R, ear R = HLR * feed L +
    // HRR * feed R; input L feeds through LL and LR, input R through RL and RR.
    auto sum = [](std::vector<double> a, const std::vector<double>& b) {
      for (size_t i = 0; i < a.size(); ++i) a[i] += b[i];
      return a;
    };
    const std::vector<double> earLfromL =
        sum(convolve(room.ll, slot[0].data(), N), convolve(room.rl, slot[1].data(), N));
    const std::vector<double> earLfromR =
        sum(convolve(room.ll, slot[2].data(), N), convolve(room.rl, slot[3].data(), N));
    const std::vector<double> earRfromL =
        sum(convolve(room.lr, slot[0].data(), N), convolve(room.rr, slot[1].data(), N));
    const std::vector<double> earRfromR =
        sum(convolve(room.lr, slot[2].data(), N), convolve(room.rr, slot[3].data(), N));
    double offDiagonal = -300.0;
    for (const auto* y : {&earLfromR, &earRfromL}) {
      for (double v : thirdOctaveLevels(*y, N / 2.0, kBandFrom, kBandTo, kQualityRate))
        offDiagonal = fmax(offDiagonal, v);
    }
    const Deviation left =
        deviationOf(thirdOctaveLevels(earLfromL, N / 2.0, kBandFrom, kBandTo, kQualityRate));
    const Deviation right =
        deviationOf(thirdOctaveLevels(earRfromR, N / 2.0, kBandFrom, kBandTo, kQualityRate));
    printf(
        "  [quality] 2x2 at %ld points: off-diagonal at most %.1f dB in band (1/3 octave); "
        "diagonal deviation max %.2f / %.2f dB, rms %.2f / %.2f dB\n",
        N, offDiagonal, left.maxDb, right.maxDb, left.rmsDb, right.rmsDb);
    EXPECT_LT(offDiagonal, -30.0);
    const long peak =
        (long)(std::max_element(earLfromL.begin(), earLfromL.end(),
                                [](double a, double b) { return fabs(a) < fabs(b); }) -
               earLfromL.begin());
    EXPECT_EQ(peak, N / 2);
    EXPECT_LT(fmax(left.maxDb, right.maxDb), 4.0);
    EXPECT_LT(fmax(left.rmsDb, right.rmsDb), 1.0);
  }
}

}  // namespace

// The cepstral decomposition in both forms, on spectra made by the designer's transforms.
#include "inversefilter/cepstrum.h"

#include <math.h>

#include <vector>

#include "designer_test_support.h"
#include "frame/fft.h"
#include "inversefilter/any_length_dft.h"
#include "inversefilter/packed_spectrum.h"
#include "inversefilter/smoothing.h"

namespace {

// 0.5 * 0.9^n: one pole inside the unit circle, minimum phase.
std::vector<float> decayingExponential(long N) {
  std::vector<float> x(N);
  for (long n = 0; n < N; ++n) x[n] = (float)(0.5 * pow(0.9, n));
  return x;
}

std::vector<float> spectrumByFft(std::vector<float> x) {
  RealFFT(x.data(), (long)x.size(), 1, false);
  return x;
}

std::vector<float> spectrumByDirectDft(const std::vector<float>& x) {
  const long N = (long)x.size();
  std::vector<float> re(N / 2 + 1), im(N / 2 + 1), packed(N);
  EXPECT_TRUE(DirectDFT(x.data(), re.data(), im.data(), N));
  PackSpectrum(re.data(), im.data(), packed.data(), N);
  return packed;
}

DesignerParams octaveWindow(float octaves) {
  DesignerParams p = defaultParams();
  p.AverageType = kAverageCepstrum;
  p.WindowType = kWindowOctaves;
  p.WindowWidth = octaves;
  return p;
}

// A minimum-phase H has H_EP = 1, so H' is the smoothed |H| with zero phase.
void expectSmoothedMagnitudeWithZeroPhase(const std::vector<float>& H,
                                          const std::vector<float>& out, float octaves) {
  const long N = (long)H.size();
  std::vector<float> magnitude(N / 2 + 1), phase(N / 2 + 1);
  MagnitudePhase(H.data(), magnitude.data(), phase.data(), N);
  ASSERT_TRUE(MedioO(magnitude.data(), N / 2 + 1, octaves));
  EXPECT_NEAR(out[0], magnitude[0], 1e-4 * magnitude[0]);
  EXPECT_NEAR(out[1], magnitude[N / 2], 1e-4 * magnitude[0]);
  for (long k = 1; k < N / 2; ++k) {
    ASSERT_NEAR(out[2 * k], magnitude[k], 1e-4 * magnitude[0]) << k;
    ASSERT_NEAR(out[2 * k + 1], 0.0, 1e-4 * magnitude[0]) << k;
  }
}

TEST(Cepstrum, MinimumPhaseInputHasNoExcessPhaseInEitherForm) {
  const float octaves = 0.2f;
  const DesignerParams p = octaveWindow(octaves);
  struct Case {
    const char* what;
    std::vector<float> H;
    bool fftForm;
  };
  const Case cases[] = {
      {"direct form on a direct-transform spectrum", spectrumByDirectDft(decayingExponential(1000)),
       false},
      {"FFT form on an FFT spectrum", spectrumByFft(decayingExponential(1024)), true},
      // The filter-length cepstrum on the FFT path: the direct form applied to a spectrum the
      // FFT made.
      {"direct form on an FFT spectrum", spectrumByFft(decayingExponential(1024)), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DesignerRecorder recorder;
    std::vector<float> out = c.H;
    const long N = (long)out.size();
    ASSERT_TRUE(c.fftForm ? CepstrumFFT(out.data(), N, &recorder.instance, &p)
                          : CepstrumDFT(out.data(), N, &recorder.instance, &p));
    expectSmoothedMagnitudeWithZeroPhase(c.H, out, octaves);
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ(recorder.liveBlocks(), 0);
  }
}

TEST(Cepstrum, PureDelayKeepsItsLinearPhaseAwayFromTheEnds) {
  // |H| = 1: the cepstrum is zero, H_MP = 1 and H_EP is the delay itself.
  const long N = 1000, d = 37;
  std::vector<float> x(N, 0.0f);
  x[d] = 1.0f;
  const std::vector<float> H = spectrumByDirectDft(x);
  DesignerParams p = defaultParams();
  p.AverageType = kAverageCepstrum;
  p.WindowType = kWindowLinear;
  p.WindowWidth = 5.0f;
  DesignerRecorder recorder;
  std::vector<float> out = H;
  ASSERT_TRUE(CepstrumDFT(out.data(), N, &recorder.instance, &p));
  for (long k = 3; k < N / 2 - 3; ++k) {
    ASSERT_NEAR(out[2 * k], cos(2.0 * M_PI * d * k / N), 2e-3) << k;
    ASSERT_NEAR(out[2 * k + 1], sin(2.0 * M_PI * d * k / N), 2e-3) << k;
  }
}

TEST(Cepstrum, DirectFormReportsItsStepsTheFftFormOnlyTheLog) {
  const DesignerParams p = octaveWindow(0.1f);
  DesignerRecorder recorder;
  std::vector<float> H = spectrumByDirectDft(decayingExponential(1000));
  ASSERT_TRUE(CepstrumDFT(H.data(), 1000, &recorder.instance, &p));
  const std::vector<std::string> expected = {"Initalizing Cepstrum procedure...",
                                             "H, calcolo modulo e fase...",
                                             "Calcolo il log del modulo...",
                                             "Calc. IDFT(log|H|)...",
                                             "Calc. DFT(Cepstrum)...",
                                             "Finding mp(t) i.r. ",
                                             "Finding Hep",
                                             "Calc. |Hep| and Arg(Hep) ...",
                                             "Averaging Arg(Hep) ",
                                             "Averaging |Hmp|",
                                             "Ricao H'=H_MP*H_EP"};
  EXPECT_EQ(recorder.texts, expected);
  recorder.texts.clear();
  std::vector<float> G = spectrumByFft(decayingExponential(1024));
  ASSERT_TRUE(CepstrumFFT(G.data(), 1024, &recorder.instance, &p));
  EXPECT_EQ(recorder.texts, std::vector<std::string>{"Log| |"});
  EXPECT_TRUE(recorder.steps.empty());
}

TEST(Cepstrum, ExactSpectralZeroFailsWithAMessageInsteadOfNaNs) {
  // x = (1, 1): its spectrum is exactly 0 at the Nyquist frequency.
  for (bool fftForm : {false, true}) {
    SCOPED_TRACE(fftForm ? "FFT form" : "direct form");
    std::vector<float> x(1024, 0.0f);
    x[0] = x[1] = 1.0f;
    const std::vector<float> H = spectrumByFft(x);
    ASSERT_EQ(H[1], 0.0f);
    DesignerRecorder recorder;
    const DesignerParams p = octaveWindow(0.1f);
    std::vector<float> out = H;
    EXPECT_FALSE(fftForm ? CepstrumFFT(out.data(), 1024, &recorder.instance, &p)
                         : CepstrumDFT(out.data(), 1024, &recorder.instance, &p));
    EXPECT_EQ(out, H);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text,
              "The spectrum has an exact zero:\nits logarithm does not exist and the "
              "cepstrum\ncannot be computed.");
    EXPECT_EQ(recorder.boxes[0].caption, fftForm ? "Cepstrum FFT" : "Cepstrum DFT");
    EXPECT_EQ(recorder.boxes[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
    EXPECT_EQ(recorder.liveBlocks(), 0);
  }
}

TEST(Cepstrum, NonFiniteInputIsRefusedRatherThanPassedOn) {
  std::vector<float> H = spectrumByFft(decayingExponential(1024));
  H[40] = INFINITY;
  const std::vector<float> before = H;
  DesignerRecorder recorder;
  const DesignerParams p = octaveWindow(0.1f);
  EXPECT_FALSE(CepstrumFFT(H.data(), 1024, &recorder.instance, &p));
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].text,
            "The cepstral decomposition does not give finite values\nfor this spectrum.");
  for (long i = 0; i < 1024; ++i) ASSERT_EQ(H[i], before[i]) << i;
}

TEST(Cepstrum, AllocationFailureShowsThePlainMessageOfEachForm) {
  const DesignerParams p = octaveWindow(0.1f);
  for (int k = 1; k <= 9; ++k) {
    SCOPED_TRACE(k);
    DesignerRecorder recorder;
    std::vector<float> H = spectrumByFft(decayingExponential(1024));
    const std::vector<float> before = H;
    orvane_fail_alloc_at(k);
    EXPECT_FALSE(CepstrumDFT(H.data(), 1024, &recorder.instance, &p));
    orvane_fail_lock_at(k);
    EXPECT_FALSE(CepstrumFFT(H.data(), 1024, &recorder.instance, &p));
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[0].text, "There is no enough memory to allocate vectors ");
    EXPECT_EQ(recorder.boxes[0].caption, "Cepstrum DFT");
    EXPECT_EQ(recorder.boxes[0].type, (UINT)MB_OK);
    EXPECT_EQ(recorder.boxes[1].text,
              "Sorry, we have a problem\nI cannot allocate vectores\n no enough memory to do "
              "this ");
    EXPECT_EQ(recorder.boxes[1].caption, "Cepstrum FFT");
    EXPECT_EQ(recorder.boxes[1].type, (UINT)MB_OK);
    EXPECT_EQ(H, before);
    EXPECT_EQ(recorder.liveBlocks(), 0);
    EXPECT_EQ(recorder.lockedBlocks(), 0);
  }
}

}  // namespace

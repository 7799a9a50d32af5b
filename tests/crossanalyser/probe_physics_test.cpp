// The pressure-velocity probe against physics. Fields are written as complex amplitudes of
// e^(+j w t), velocities in rho c units and positive towards the source; a spectrum here is the
// ordinary e^(-j) transform of a period (what numpy's FFT gives), independent of the analyser's
// own convention. The recordings are periodic in the block length and span 32 blocks at the
// hop N/4, so that the four block offsets weigh alike and the Hann window's leakage between
// bins cancels: what the analyser estimates is the field itself, smoothed over three bins.
#include <gtest/gtest.h>
#include <math.h>

#include <complex>
#include <random>
#include <vector>

#include "analyser_host.h"
#include "crossanalyser/curve_values.h"
#include "crossanalyser/spectral_functions.h"

namespace {

using Complex = std::complex<double>;

constexpr long kProbeN = 8192;
constexpr long kProbeRate = 48000;
constexpr double kSoundSpeed = 343.0;  // m/s
constexpr double kProbeMm = 30.0;      // tube: from the rigid end; free field: from the source

double hz(long k) { return (double)k * kProbeRate / kProbeN; }
double waveNumber(long k) { return 2.0 * M_PI * hz(k) / kSoundSpeed; }

// The velocity sensor: gain 0.5, 14 samples late, a first-order low-pass at 3 kHz.
Complex sensor(long k) {
  return 0.5 * std::polar(1.0, -2.0 * M_PI * hz(k) * 14.0 / kProbeRate) /
         Complex(1.0, hz(k) / 3000.0);
}

// Pressure and velocity at the probe, bins 1 ... N/2-1, for a source of flat spectrum and
// random phases.
struct Field {
  std::vector<Complex> p, u;
};

template <typename PressureAndVelocity>
Field field(PressureAndVelocity at) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> phase(-M_PI, M_PI);
  Field f{std::vector<Complex>(kProbeN / 2), std::vector<Complex>(kProbeN / 2)};
  for (long k = 1; k < kProbeN / 2; ++k) {
    const Complex source = std::polar(1.0, phase(rng));
    at(k, &f.p[k], &f.u[k]);
    f.p[k] *= source;
    f.u[k] *= source;
  }
  return f;
}

// A standing-wave tube with a rigid end: p = 2 cos kd, u = -2j sin kd.
Field tube() {
  return field([](long k, Complex* p, Complex* u) {
    const double kd = waveNumber(k) * kProbeMm * 1e-3;
    *p = 2.0 * cos(kd);
    *u = Complex(0.0, -2.0 * sin(kd));
  });
}

// A point source at r = d: u = -p (1 - j / kr).
Field freeField() {
  return field([](long k, Complex* p, Complex* u) {
    *p = 1.0;
    *u = -Complex(1.0, -1.0 / (waveNumber(k) * kProbeMm * 1e-3));
  });
}

// A porous layer (Delany-Bazley, flow resistivity 20000 Pa s/m^2, 50 mm) on a rigid wall, the
// probe 40 mm in front of it: p = e^(jkx) + R e^(-jkx), u = -e^(jkx) + R e^(-jkx).
Complex layerReflection(long k) {
  const double x = 1.21 * hz(k) / 20000.0;  // rho0 f / sigma
  const Complex zc(1.0 + 0.0571 * pow(x, -0.754), -0.087 * pow(x, -0.732));
  const Complex kc =
      waveNumber(k) * Complex(1.0 + 0.0978 * pow(x, -0.700), -0.189 * pow(x, -0.595));
  const Complex zs = Complex(0.0, -1.0) * zc / tan(kc * 0.05);
  return (zs - 1.0) / (zs + 1.0);
}

Field layer() {
  return field([](long k, Complex* p, Complex* u) {
    const Complex in = std::polar(1.0, waveNumber(k) * 0.04), r = layerReflection(k);
    *p = in + r / in;
    *u = -in + r / in;
  });
}

// e^(+2 pi j m / N), m = 0 ... N-1.
const std::vector<Complex>& turns() {
  static const std::vector<Complex> t = [] {
    std::vector<Complex> v(kProbeN);
    for (long m = 0; m < kProbeN; ++m) v[m] = std::polar(1.0, 2.0 * M_PI * m / kProbeN);
    return v;
  }();
  return t;
}

// One period whose spectrum is N x at every bin k of x (x[0] and beyond N/2 zero).
std::vector<double> period(const std::vector<Complex>& x) {
  std::vector<double> out(kProbeN, 0.0);
  for (long k = 1; k < kProbeN / 2; ++k)
    for (long n = 0; n < kProbeN; ++n) out[n] += 2.0 * (x[k] * turns()[(k * n) % kProbeN]).real();
  return out;
}

// The ordinary DFT of N samples at bin k.
Complex spectrumAt(const float* x, long k) {
  Complex sum = 0.0;
  for (long n = 0; n < kProbeN; ++n) sum += (double)x[n] * std::conj(turns()[(k * n) % kProbeN]);
  return sum;
}

// Left: the pressure; right: the velocity through `channel` (per bin). Both at one 16-bit-scale
// level, over 32 blocks and no partial one.
struct Recording {
  AnalyserHost host;
  FunctionResults results = {};
  Recording(const Field& f, Complex (*channel)(long), const std::vector<Complex>& filter,
            int function, double maxFrequency) {
    std::vector<Complex> right(kProbeN / 2);
    for (long k = 1; k < kProbeN / 2; ++k)
      right[k] = f.u[k] * channel(k) * (filter.empty() ? 1.0 : filter[k]);
    const std::vector<double> p = period(f.p), u = period(right);
    double peak = 0.0;
    for (long n = 0; n < kProbeN; ++n) peak = std::max({peak, fabs(p[n]), fabs(u[n])});
    const long frames = 8 * kProbeN + 3 * kProbeN / 4;
    std::vector<float> left(frames), velocity(frames);
    for (long i = 0; i < frames; ++i) {
      left[i] = (float)(p[i % kProbeN] * 8000.0 / peak);
      velocity[i] = (float)(u[i % kProbeN] * 8000.0 / peak);
    }
    host.wave = interleave(left, velocity);
    host.select(0, frames);
    FunctionSettings s = plainFunctionSettings(kProbeN, function, kProbeRate);
    s.soundSpeed = (float)kSoundSpeed;
    s.probeDistanceMm = (float)kProbeMm;
    s.maxFrequency = (float)maxFrequency;
    SpectraStatistics statistics;
    EXPECT_TRUE(host.allocate(kProbeN));
    const SpectraSettings spectra = plainSpectraSettings(kProbeN, function);
    EXPECT_TRUE(AverageSpectra(&host.buffers, &spectra, &host.record, &statistics));
    EXPECT_TRUE(ProcessFunction(&host.buffers, &s, &host.record, &results));
  }
};

// The calibration filter as the analyser outputs it (its right output), as a spectrum.
std::vector<Complex> calibrate(const Field& f, int function, double maxFrequency) {
  Recording r(f, sensor, {}, function, maxFrequency);
  std::vector<Complex> filter(kProbeN / 2);
  for (long k = 1; k < kProbeN / 2; ++k) filter[k] = spectrumAt(r.host.buffers.xr, k);
  return filter;
}

struct Calibration {
  int function;
  Field (*field)();
  double top;  // Hz: checked up to here
};
// The tube's pressure node lies at c / 4d = 2858 Hz.
const Calibration kCalibrations[] = {{kFnTubeCalibration, tube, 2500.0},
                                     {kFnFreeFieldCalibration, freeField, 1800.0}};

TEST(ProbePhysics, BothCalibrationFiltersUndoTheVelocitySensor) {
  for (const Calibration& c : kCalibrations) {
    const std::vector<Complex> filter = calibrate(c.field(), c.function, c.top + 50.0);
    for (long k = 1; hz(k) <= c.top; ++k) {
      if (hz(k) < 100.0) continue;
      const Complex error = filter[k] * sensor(k);  // 1 for the exact inverse
      ASSERT_NEAR(std::abs(error), 1.0, 0.005) << "function " << c.function << ", " << hz(k);
      ASSERT_NEAR(std::arg(error) * 180.0 / M_PI, 0.0, 0.1)
          << "function " << c.function << ", " << hz(k);
    }
  }
}

// Calibrated, the probe measures the absorption of a porous layer, 1 - |R|^2.
TEST(ProbePhysics, ALayersAbsorptionThroughEitherCalibration) {
  for (const Calibration& c : kCalibrations) {
    const std::vector<Complex> filter = calibrate(c.field(), c.function, c.top + 50.0);
    Recording r(layer(), sensor, filter, kFnAbsorption, c.top + 50.0);
    const AnalyserBuffers& b = r.host.buffers;
    const RunSpectra spectra = {b.gll, b.grr, b.glr, b.display1, b.display2, kProbeN};
    for (long k = 1; hz(k) <= c.top; ++k) {
      if (hz(k) < 200.0) continue;
      ASSERT_NEAR(AbsorptionAt(spectra, k), 1.0 - std::norm(layerReflection(k)), 2e-3)
          << "function " << c.function << ", " << hz(k);
    }
  }
}

}  // namespace

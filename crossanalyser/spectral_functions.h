// The building blocks of the processing functions: coherence, magnitude ratio, coherence
// weighting, whitening, the band mask and the pressure-velocity probe's calibration filters and
// surface impedance, the quarter rotation of the Hilbert copy, the half swap and the peak
// search. Spectra are packed (N floats: DC, Nyquist, then bins k = 1 ... N/2-1 as (re, im));
// bin k's frequency is f = (k fs) div N, an integer division in 64 bits. Unless stated, every
// output bin's imaginary part is 0. All arrays belong to the caller; nothing is allocated.
// eps12 is 1e-12 as a float, eps12d the same as a double.
#pragma once

// gamma = |GLR| / sqrt(GLL GRR): DC sqrt(GLR[0]^2 / (GLL[0] GRR[0] + eps12)), Nyquist alike,
// bin k sqrt((GLR.re^2 + GLR.im^2) / (GLL.re GRR.re + eps12)); floats. Between 0 and 1.
void Coherence(float* out, const float* gll, const float* grr, const float* glr, long n);

// H3 = sqrt(GRR / (GLL + eps12)) at DC, Nyquist and in every bin (real, zero phase).
void MagnitudeRatio(float* out, const float* gll, const float* grr, long n);

// Multiplies both parts of bins 1 ... N/2-1 of x by gamma[k]^2 (gamma the real parts of a
// coherence spectrum); DC and Nyquist unchanged.
void WeightByCoherence(float* x, const float* gamma, long n);

// Writes Coherence into gammaOut, then whitens glr in place: DC and Nyquist 0, and every bin
// whose magnitude is strictly above 1 % of the largest bin magnitude is divided by its
// magnitude; the others become 0.
void WhitenCrossSpectrum(float* gammaOut, const float* gll, const float* grr, float* glr, long n);

// Pair 0 = (1, 1); bin k is 1 when 24 <= f <= fmax (Hz), else 0.
void BandMask(float* out, long n, long sampleRate, float maxFrequency);

// The pressure-velocity probe's calibration filters follow one convention, from the field at
// the probe (complex amplitudes of e^(+j w t); the velocity u in rho c units, positive towards
// the source). This analyser's transform has the kernel e^(+j), so its spectra are the
// conjugates of the field's: XL = conj(p), XR = conj(um) with um = V u what the velocity sensor
// (response V) gives, and GLR / GRR = XR conj(XL) / |XR|^2 = p / um. The filter that turns um
// back into u is F = (u / p) (p / um) = Z GLR / GRR, with Z = u / p at the probe, and what
// the analyser writes is its own spectrum of F, conj(F) = conj(Z) conj(GLR) / GRR. With
// theta = k d (k = 2 pi f / c):
//  - a tube with a rigid end, the probe at d from it: p = 2A cos kd, u = -2jA sin kd, so
//    Z = -j tan theta and conj(F) = j tan(theta) conj(GLR) / GRR;
//  - free field, a point source at r = d: u = -p (1 - j / kd), so Z = -(1 - j / theta) and
//    conj(F) = -(1 + j / theta) conj(GLR / GRR).
//
// Calibration filter of a probe at d mm from a rigid termination: pair 0 = (0, 0); outside
// 24 <= f <= fmax bins are 0; inside, with theta = 2 pi dm fs k / (c N) (dm = d * 0.001 as a
// float, pi = 4 atan(1)), t = tan theta and D = GRR.re + eps12d:
// (GLR.im / D * t, GLR.re / D * t). A bin whose value is not finite (c = 0) is 0.
void TubeCalibration(float* out, const float* glr, const float* grr, long n, float soundSpeed,
                     float probeDistanceMm, long sampleRate, float maxFrequency);

// Free-field calibration filter -(1 + j/theta) conj(GLR / GRR), band and theta as
// TubeCalibration: a = GLR.re / GRR.re, b = GLR.im / GRR.re in double, out =
// (-(a + b/theta), b - a/theta). GRR is not regularised; a bin where GRR.re or theta is 0 (or
// whose value is not finite) is 0 rather than an infinity or NaN.
void FreeFieldCalibration(float* out, const float* glr, const float* grr, long n, float soundSpeed,
                          float probeDistanceMm, long sampleRate, float maxFrequency);

// Normalised surface impedance seen through the probe, every bin (no band limit), in double:
// z = u + jv = -GLR / (GRR.re + eps12d), R = (z - 1) / (z + 1), R' = R e^(j phi) with
// phi = 2 (2 pi f / c) d 0.001, out = (1 + R') / (1 - R'). Pair 0 = (0, 0). At z = -1 (R
// infinite) the limit -1 is written; where R' = 1 (impedance unbounded) the bin is 0.
void SurfaceImpedance(float* out, const float* grr, const float* glr, long n, float soundSpeed,
                      float probeDistanceMm, long sampleRate);

// x <- x * (-j) bin by bin: (re, im) becomes (im, -re); pair 0 = (0, 0).
void RotateQuarter(float* x, long n);

// Exchanges x[i] and x[half + i] for i = 0 ... half-1.
void SwapHalves(float* x, long half);

// With removeMean, subtracts the mean (summed in long double, rounded to float) from every
// x[i]. Then finds the first largest |x[i]|: *index is its position (n when every value is 0)
// and *peak becomes max(*peak, that magnitude).
void FindPeak(float* x, long n, float* peak, long* index, bool removeMean);

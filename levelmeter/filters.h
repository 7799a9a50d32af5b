// Conditioning of one channel before it is measured: mean removal and the three frequency
// weightings the meter offers, with the first- and second-order building blocks they are made
// of. Every routine works in place on `n` 32-bit float samples (full scale 1.0) owned by the
// caller, starts from zero state, keeps nothing between calls and allocates nothing; n <= 0
// leaves the array untouched.
//
// Arithmetic: coefficients and filter states are doubles; each output sample is rounded to a
// float when it is stored. The sample rate (Hz, the host's integer) is turned into a float
// before any coefficient is computed from it, so every design divides by the same float rate.
#pragma once

// Subtracts the mean of the n samples (summed in double, in sample order) from each sample; the
// difference is formed in double and rounded once.
void removeMean(float* signal, long n);

// Runs the weighting chosen by a filter code ('A' aWeighting, 'B' ituBandPass,
// 'W' wholeBodyWeighting); any other code, including 'L', leaves the signal as it is.
void applyWeighting(char code, float* signal, long n, long sampleRate);

// IEC A-weighting: two first-order high-passes at 20.6 Hz, one at 107.7 Hz and one at
// 737.9 Hz, two first-order low-passes at 12200 Hz, gain 1/0.858.
void aWeighting(float* signal, long n, long sampleRate);

// Telephone-band weighting of 160-5500 Hz: high-pass sections at 110 Hz (q 0.7) and 90 Hz
// (q 1.5), low-pass sections at 6500 Hz (q 0.8) and 7500 Hz (q 1.8), a band-pass section at
// 1100 Hz (q 0.11), then -0.15 dB, in that order: the same bits as one pass over the array per
// stage, computed in a single pass.
void ituBandPass(float* signal, long n, long sampleRate);

// ISO 2631 whole-body weighting: two first-order high-passes at 0.7943 Hz, a first-order
// low-pass at 5.684 Hz, two first-order low-passes at 100 Hz, gain 1.19.
void wholeBodyWeighting(float* signal, long n, long sampleRate);

// y[i] = 2 * (alpha * (x[i] + d * x[i-1] + e * x[i-2]) + gamma * y[i-1] - beta * y[i-2]),
// evaluated left to right, from x[-1] = x[-2] = y[-1] = y[-2] = 0. The past outputs are read
// back from the array (the stored floats); the past inputs are kept in double.
void secondOrderSection(float* signal, long n, double alpha, double beta, double gamma, double d,
                        double e);

// Section designs for a corner (or centre) frequency f in Hz and a quality q:
// theta = 2 pi f / fs, k = tan(theta / 2q), beta = 0.5 (1 - k) / (1 + k),
// gamma = (0.5 + beta) cos(theta); alpha, d and e per design:
//   high-pass: (0.5 + beta + gamma) / 4, d = -2, e = 1
//   low-pass:  (0.5 + beta - gamma) / 4, d =  2, e = 1
//   band-pass: (0.5 - beta) / 2,         d =  0, e = -1
// Frequencies at or above half the sample rate are used as they stand.
void highPassSection(float f, float q, float* signal, long sampleRate, long n);
void lowPassSection(float f, float q, float* signal, long sampleRate, long n);
void bandPassSection(float f, float q, float* signal, long sampleRate, long n);

// Multiplies every sample by the float 10^(gainDb * 0.05).
void applyGainDb(float gainDb, float* signal, long n);

// The six analysis windows. Every shape carries the factor 2^-15, which brings samples at the
// host's 16-bit scale to full scale 1, so that levels read the same whichever window measures
// them (but for the shape's own power: TRIANGULAR's mean square is a third of RECT's).
#pragma once

enum WindowShape : int {
  kWindowRect = 0,        // "RECT"
  kWindowHanning = 1,     // "HANNING"
  kWindowBlackman = 2,    // "BLACKMAN"
  kWindowFlatTop = 3,     // "FLAT-TOP"
  kWindowTriangular = 4,  // "TRIANGULAR"
  kWindowHalfSine = 5,    // "HALF-SINE"
};

// 2^-15, the factor of every shape.
constexpr float kWindowScale = 3.0517578125e-05f;

// Fills w[0 ... n-1] (floats owned by the caller) with the window of length n, i = 0 ... n-1:
//   RECT        2^-15
//   HANNING     (0.5 - 0.5 cos(2 pi i/n)) 2^-15
//   BLACKMAN    (0.35875 - 0.48829 cos(2 pi i/n) + 0.14128 cos(4 pi i/n) - 0.01168 cos(6 pi i/n))
//               * 2.787456445993031 * 2^-15
//   FLAT-TOP    i < n/4: sin(2 pi i/n) 2^-15; up to 3n/4: 2^-15; then mirrored, w[n-1-i]
//   TRIANGULAR  i < n/2: 2i/n 2^-15; then mirrored, w[n-1-i]
//   HALF-SINE   sin(pi i/n) 2^-15
// with 2 pi = 6.28318530717958, pi = 3.14159265358979 and the quarter and half points rounded
// down. Coefficients are computed in double and stored as floats; mirrored halves copy the
// stored floats. Where the mirror rule points at the coefficient itself (the centre of an odd
// TRIANGULAR window, the single coefficient of a one-point FLAT-TOP), the rule of the first half
// continues: 2i/n 2^-15 for TRIANGULAR, 2^-15 for FLAT-TOP. Any other shape leaves w unchanged.
void MakeWindow(float* w, int shape, long n);

#include "crossanalyser/window_shapes.h"

#include <math.h>

namespace {

constexpr double kTwoPi = 6.28318530717958;
constexpr double kPi = 3.14159265358979;

}  // namespace

void MakeWindow(float* w, int shape, long n) {
  switch (shape) {
    case kWindowRect:
      for (long i = 0; i < n; ++i) w[i] = kWindowScale;
      break;
    case kWindowHanning:
      for (long i = 0; i < n; ++i) w[i] = (float)((0.5 - 0.5 * cos(kTwoPi * i / n)) * kWindowScale);
      break;
    case kWindowBlackman:
      for (long i = 0; i < n; ++i) {
        w[i] = (float)((0.35875 - 0.48829 * cos(kTwoPi * i / n) +
                        0.14128 * cos(2.0 * kTwoPi * i / n) - 0.01168 * cos(3.0 * kTwoPi * i / n)) *
                       2.787456445993031 * kWindowScale);
      }
      break;
    case kWindowFlatTop: {
      const long q = n / 4, r = 3 * n / 4;
      for (long i = 0; i < n; ++i) {
        if (i < q) {
          w[i] = (float)(sin(kTwoPi * i / n) * kWindowScale);
        } else if (i < r || n - 1 - i == i) {
          w[i] = kWindowScale;
        } else {
          w[i] = w[n - 1 - i];
        }
      }
      break;
    }
    case kWindowTriangular: {
      const long h = n / 2;
      for (long i = 0; i < n; ++i)
        w[i] = (i < h || n - 1 - i == i) ? (float)(2.0 * i / n * kWindowScale) : w[n - 1 - i];
      break;
    }
    case kWindowHalfSine:
      for (long i = 0; i < n; ++i) w[i] = (float)(sin(kPi * i / n) * kWindowScale);
      break;
    default:
      break;
  }
}

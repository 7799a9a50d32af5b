// The display control's source of points: the designed filters as the image holds them.
#include <math.h>

#include "inversefilter/designer_params.h"
#include "inversefilter/filter_image.h"

namespace {

// 2^-15: an image sample of 32767 plots as 1.0.
constexpr double kPlotScale = 0.000030517578125;

// The value plotted at x for curve c (1 or 2, channel c of the image), and the cursor moved.
int plot(double x, DesignerParams* p, const BYTE* image, short curve, double* y) {
  const FilterImageShape shape = filterImageShape(image);
  if (curve < 1 || curve > shape.channels || shape.frames < 1) return 0;
  const long last = shape.frames - 1;
  long e = 0;
  if (x >= (double)last)
    e = last;
  else if (x > 0.0)
    e = (long)x;  // truncated toward zero; below 0 and not a number read sample 0
  const int d = shape.channels;
  const float* channel = filterImageSamples((BYTE*)image) + (curve - 1);
  const long f = p->DisplayCursor >= 0 && p->DisplayCursor <= last ? p->DisplayCursor : 0;
  float value = 0.0f;
  if (f == 0 || e < f) {
    value = channel[(long)d * e];
  } else {
    float high = 0.0f, low = 0.0f;
    for (long i = f; i <= e; ++i) {
      const float v = channel[(long)d * i];
      if (v > high) high = v;
      if (v < low) low = v;
    }
    value = fabsf(low) >= fabsf(high) ? low : high;
  }
  *y = (double)value * kPlotScale;
  p->DisplayCursor = (int32_t)e;
  return 1;
}

}  // namespace

// Each call plots the extreme of the samples passed since the previous call (DisplayCursor),
// so that short peaks stay visible when the plot has fewer points than the filter. A call left
// of the previous one starts a new pass over the plot (a repaint, or the other curve): no
// samples have passed since, so it plots the sample itself, as the first call of all does, and
// every pass draws the same curve however often the display was painted before. The image's
// header gives the stride and the length, so a mono image (the single-filter form of a stereo
// mode) is never read past its end.
//
// `user` is the parameter block's handle: the results dialog has unlocked the block by the
// time the display paints, so each call locks the block, and the image it names, for itself.
extern "C" int WINAPI DisplayCallback(double x, void* user, short curve, double* y) {
  DesignerParams* p = (DesignerParams*)GlobalLock((HGLOBAL)user);
  if (p == nullptr) return 0;
  int stored = 0;
  if (const BYTE* image = (const BYTE*)lockBlockBuffer(p->FilterSamples)) {
    stored = plot(x, p, image, curve, y);
    unlockBlockBuffer(p->FilterSamples);
  }
  GlobalUnlock((HGLOBAL)user);
  return stored;
}

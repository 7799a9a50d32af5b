// The display control's source of points: one time history per channel, calibrated.
#include "levelmeter/blocks.h"
#include "levelmeter/results_dialog.h"

extern "C" int WINAPI DisplayCallback(double x, void* user, short curve, double* y) {
  const MeterParams* p = (const MeterParams*)user;
  const int blockCount = meterBlockCount(p->runFrames, p->runSampleRate);
  const int kind = historyOfCurve(p->displayCurve);
  const float* history = nullptr;
  float fullScale = 0.0f;
  if (curve == 1) {
    history = (const float*)(uintptr_t)p->leftHistories[kind];
    fullScale = p->fullScaleLeft;
  } else if (curve == 2 && p->runChannels == 2) {
    history = (const float*)(uintptr_t)p->rightHistories[kind];
    fullScale = p->fullScaleRight;
  }
  if (history == nullptr || blockCount <= 0) {
    *y = -200.0;
    return 0;
  }
  // One block per millisecond; x beyond either end reads the nearest block.
  double block = x * 1000.0;
  int i = block < 0.0 ? 0 : block >= blockCount ? blockCount - 1 : (int)block;
  *y = history[i] + fullScale;
  return 1;
}

// The display control's source of points: one time history per channel, calibrated.
#include "levelmeter/blocks.h"
#include "levelmeter/results_dialog.h"

// `user` is the parameter block, which the results dialog holds locked while it lives; the
// history is locked for each point.
extern "C" int WINAPI DisplayCallback(double x, void* user, short curve, double* y) {
  const MeterParams* p = (const MeterParams*)user;
  const int blockCount = meterBlockCount(p->runFrames, p->runSampleRate);
  const int kind = historyOfCurve(p->displayCurve);
  BlockBuffer field = {0};
  float fullScale = 0.0f;
  if (curve == 1) {
    field = p->leftHistories[kind];
    fullScale = p->fullScaleLeft;
  } else if (curve == 2 && p->runChannels == 2) {
    field = p->rightHistories[kind];
    fullScale = p->fullScaleRight;
  }
  const float* history = blockCount > 0 ? (const float*)lockBlockBuffer(field) : nullptr;
  if (history == nullptr) {
    *y = -200.0;
    return 0;
  }
  // One block per millisecond; x beyond either end reads the nearest block.
  double block = x * 1000.0;
  int i = block < 0.0 ? 0 : block >= blockCount ? blockCount - 1 : (int)block;
  *y = history[i] + fullScale;
  unlockBlockBuffer(field);
  return 1;
}

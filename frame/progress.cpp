#include "frame/progress.h"

void progressBegin(const XFMINSTANCE* instance, LPCSTR caption) {
  if (instance->progressBegin) instance->progressBegin(caption, 0);
}

void progressStep(const XFMINSTANCE* instance, int step, int steps) {
  if (instance->progress) instance->progress(step, steps);
}

void progressText(const XFMINSTANCE* instance, LPCSTR text) {
  if (instance->progressText) instance->progressText(text);
}

void progressEnd(const XFMINSTANCE* instance) {
  if (instance->progressEnd) instance->progressEnd();
}

bool isCancelled(const XFMINSTANCE* instance) {
  return instance->cancelFlag != nullptr && *instance->cancelFlag != 0;
}

bool progressStepGoesOn(const XFMINSTANCE* instance, int step, int steps) {
  progressStep(instance, step, steps);
  return !isCancelled(instance);
}

// The host's progress callbacks as the plug-ins use them. A null callback is skipped, as the
// host interface allows; a cancel is read from the int behind cancelFlag, never from the
// callbacks' results.
#pragma once

#include "frame/xfm.h"

void progressBegin(const XFMINSTANCE* instance, LPCSTR caption);
void progressStep(const XFMINSTANCE* instance, int step, int steps);
void progressText(const XFMINSTANCE* instance, LPCSTR text);
void progressEnd(const XFMINSTANCE* instance);
// True once the user has cancelled (a null cancelFlag never cancels).
bool isCancelled(const XFMINSTANCE* instance);
// progressStep, then whether the work goes on: false once the user has cancelled.
bool progressStepGoesOn(const XFMINSTANCE* instance, int step, int steps);

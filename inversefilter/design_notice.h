// Where a design's messages go and what its caller learns of a failure. The numerical steps
// keep their own messages (texts, captions, icons) and show them where they fail; the boxes
// are owned by the run's window, and the first failure's kind stays in the record, so that
// the run knows what stopped it, or what a step that goes on after its message (a smoothing
// without memory) left undone.
#pragma once

#include "frame/xfm.h"

enum DesignFailure {
  kDesignDone = 0,      // no failure so far
  kDesignNoMemory,      // a step's working memory could not be had
  kDesignBadLengths,    // a step was given lengths it cannot work with
  kDesignZeroSpectrum,  // the cepstrum met a bin of exactly zero magnitude
  kDesignNotFinite,     // a result that is not finite everywhere
};

struct DesignNotice {
  HWND owner;             // owner of the steps' message boxes: the run's HostWindow, or null
  DesignFailure failure;  // the first failure of the design, kDesignDone while there is none
};

// Shows the message (with `notice`'s owner) and records `why` unless an earlier failure is
// recorded. A null notice shows the box without an owner and records nothing.
void noticeFailure(DesignNotice* notice, DesignFailure why, LPCSTR text, LPCSTR caption, UINT type);

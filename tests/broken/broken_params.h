// brokenmeter: a small plug-in of the suite's frame that measures the peak of each channel.
// Its run can carry a deliberate fault, chosen by the environment variable ORVANE_BROKEN_FAULT,
// so the tests can prove that the validator finds each kind:
//   (unset), "leak"  after an allocation fails, the blocks obtained so far are never freed
//   "crash"          a failed lock is not noticed: the run writes through a null address
//   "hang"           a cancel makes the run wait forever
//   "stray"          the run reads the frame before the selection as well
//   "unclosed"       a cancel leaves the progress display open
//   "longname"       QueryXfm's name overflows its 80-character field
//   "silent"         a failed allocation ends the run without telling the person
//   "stubborn"       the results dialog answers WM_CLOSE and Close with a message box and
//                    stays open (no unattended run may wait for it)
//   "noinit"         XfmInit cannot set up the parameter block and returns 0
//   "none"           the run is correct
#pragma once

#include <stdint.h>

#include "frame/xfm.h"

#pragma pack(push, 1)
struct BrokenParams {
  BlockHandle HostWindow;      // 0
  BlockHandle ModuleInstance;  // 4
  float gain;                  // 8: applied to the peaks
  float peakLeft;              // 12: largest magnitude of the left or only channel, last run
  float peakRight;             // 16
  int32_t runChannels;         // 20
  char note[256];              // 24: free text, never read
};
#pragma pack(pop)
static_assert(sizeof(BrokenParams) == 280);

enum BrokenFault {
  kFaultNone,
  kFaultLeak,
  kFaultCrash,
  kFaultHang,
  kFaultStray,
  kFaultUnclosed,
  kFaultLongName,
  kFaultSilent,
  kFaultStubborn,
  kFaultNoDialog,  // the settings dialog cannot be shown: it ends at once with -1
  kFaultNoInit
};
BrokenFault brokenFault();

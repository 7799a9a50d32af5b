#include <stdlib.h>
#include <string.h>

#include "frame/plugin.h"
#include "tests/broken/broken_params.h"

namespace {

// Read when the module is loaded, so that QueryXfm itself stays the frame's.
const char* menuName() {
  if (brokenFault() != kFaultLongName) return "Orvane\\brokenmeter (test)";
  return "Orvane\\brokenmeter (test) with a menu name far longer than the eighty characters "
         "of its field";
}

}  // namespace

const PluginDescription kPluginDescription = {
    menuName(),
    "Orvane 4.0 acoustic measurement plug-ins",
    "Peak meter with a deliberate fault",
    60,
    0x8001101D,
    sizeof(BrokenParams),
    "hhfffls",
    offsetof(BrokenParams, HostWindow),
    offsetof(BrokenParams, ModuleInstance),
    false,
    nullptr,
    nullptr,
};

void writeDefaults(void* paramBlock) {
  BrokenParams* p = (BrokenParams*)paramBlock;
  p->HostWindow = BlockHandle{0};
  p->ModuleInstance = BlockHandle{0};
  p->gain = 1.0f;
  p->note[0] = '\0';
}

BrokenFault brokenFault() {
  const char* f = getenv("ORVANE_BROKEN_FAULT");
  if (f == nullptr || strcmp(f, "leak") == 0) return kFaultLeak;
  if (strcmp(f, "crash") == 0) return kFaultCrash;
  if (strcmp(f, "hang") == 0) return kFaultHang;
  if (strcmp(f, "stray") == 0) return kFaultStray;
  if (strcmp(f, "unclosed") == 0) return kFaultUnclosed;
  if (strcmp(f, "longname") == 0) return kFaultLongName;
  if (strcmp(f, "silent") == 0) return kFaultSilent;
  if (strcmp(f, "stubborn") == 0) return kFaultStubborn;
  if (strcmp(f, "nodialog") == 0) return kFaultNoDialog;
  if (strcmp(f, "noinit") == 0) return kFaultNoInit;
  return kFaultNone;
}

// The export table names this as XfmInit: the frame's, or the "noinit" fault's failure.
extern "C" int WINAPI BrokenXfmInit(XFMINSTANCE* instance) {
  if (brokenFault() == kFaultNoInit) return 0;
  return XfmInit(instance);
}

#include "support/plugin_harness.h"
#include "support/plugin_harness.inc"

#include "plugin_test_support.h"

namespace {

std::vector<UINT>* recordedSounds = nullptr;

void WINAPI recordSound(void*, UINT type) {
  ++PluginHarness::current->beeps;
  if (recordedSounds != nullptr) recordedSounds->push_back(type);
}

}  // namespace

void recordBeepSounds(std::vector<UINT>* sounds) {
  recordedSounds = sounds;
  OrvaneUser user = {};
  user.dialogShown = harness::dialogShown;
  user.dialogIdle = harness::dialogIdle;
  user.dialogEnded = harness::dialogEnded;
  user.messageBox = harness::messageBox;
  user.saveFileName = harness::saveFileName;
  user.help = harness::help;
  user.beep = recordSound;
  orvane_set_user(&user);
}

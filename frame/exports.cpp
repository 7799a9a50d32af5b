// The exports that are the same in every plug-in: describing it, and the life of the
// parameter block outside a run.
#include "frame/plugin.h"

#include <string.h>

extern "C" short WINAPI QueryXfm(XFMINFO* info) {
  const PluginDescription& d = kPluginDescription;
  strcpy(info->name, d.name);
  strcpy(info->notice, d.notice);
  strcpy(info->description, d.description);
  strcpy(info->paramTypes, d.paramTypes);
  // One "y" per field letter.
  size_t letters = strlen(d.paramTypes);
  memset(info->paramFlags, 'y', letters);
  info->paramFlags[letters] = '\0';
  info->infoWord = d.infoWord;
  info->flags = d.flags;
  info->paramSize = d.paramSize;
  return kXfmVersion;
}

extern "C" int WINAPI XfmInit(XFMINSTANCE* instance) {
  void* block = GlobalLock(instance->paramBlock);
  if (block == nullptr) return 0;
  writeDefaults(block);
  GlobalUnlock(instance->paramBlock);
  return 1;
}

extern "C" int WINAPI XfmDestroy(XFMINSTANCE* instance) {
  // Nothing is kept per instance outside the block; only prove it is still usable.
  if (GlobalLock(instance->paramBlock) == nullptr) return 0;
  GlobalUnlock(instance->paramBlock);
  return 1;
}

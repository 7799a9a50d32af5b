// What each plug-in tells the frame about itself. The frame's exports (QueryXfm, XfmInit,
// XfmDestroy and the standard XfmSetup) are written once and read these per-plug-in facts,
// which every plug-in defines exactly once.
#pragma once

#include "frame/xfm.h"

struct PluginDescription {
  LPCSTR name;         // menu path, at most 79 characters
  LPCSTR notice;       // the maker's notice line, at most 79 characters
  LPCSTR description;  // at most 79 characters
  WORD infoWord;
  DWORD flags;
  DWORD paramSize;           // bytes of the parameter block
  LPCSTR paramTypes;         // one letter per field, at most 95 letters
  int hostWindowOffset;      // offset of the HostWindow handle in the parameter block
  int moduleInstanceOffset;  // offset of the ModuleInstance handle
};

extern const PluginDescription kPluginDescription;

// Writes the plug-in's defaults into a freshly locked parameter block (XfmInit).
void writeDefaults(void* paramBlock);

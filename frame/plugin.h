// What each plug-in tells the frame about itself. The frame's exports (QueryXfm, XfmInit,
// XfmDestroy and XfmSetup) are written once and read these per-plug-in facts, which every
// plug-in defines exactly once.
#pragma once

#include "frame/results_table.h"
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
  // XfmSetup: whether the block is checked before the settings dialog (one that cannot be
  // locked then lets the host go on, to a run that ends at once, instead of ending the setup),
  // and the message (caption, error icon) for a dialog result of 2, a selection too short for
  // the settings; null when the plug-in has none.
  bool lockBeforeSettings;
  LPCSTR tooShortText;
  LPCSTR tooShortCaption;
};

extern const PluginDescription kPluginDescription;

// Writes the plug-in's defaults into a freshly locked parameter block (XfmInit).
void writeDefaults(void* paramBlock);

// The results the plug-in publishes (XfmResults), defined by the plug-ins that have a table.
extern const ResultsTable kResultsTable;

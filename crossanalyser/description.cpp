// How crossanalyser describes itself to the host, and the settings a new parameter block gets.
#include "crossanalyser/analyser_params.h"
#include "crossanalyser/window_shapes.h"
#include "frame/plugin.h"

const PluginDescription kPluginDescription = {
    "Orvane\\Cross Functions",
    "Orvane 4.0 acoustic measurement plug-ins",
    "Cross Functions",
    40,
    0x0001101D,
    kAnalyserParamSize,
    kAnalyserParamTypes,
    offsetof(AnalyserParams, HostWindow),
    offsetof(AnalyserParams, ModuleInstance),
    true,
    "Highlighted area is too short to perform\nthe processing with this FFT size",
    "Cross Functions 2",
};

// Fields without a default (the results of the last run among them) keep what the block holds.
void writeDefaults(void* paramBlock) {
  AnalyserParams* p = (AnalyserParams*)paramBlock;
  p->FftSizeIndex = kDefaultFftSizeIndex;
  p->WindowShape = kWindowHanning;
  p->ProcessingFunction = kFnCrossCorrelation;
  p->Normalize = 1;
  p->ShiftHalf = 1;
  p->FollowMode = kFollowOff;
  p->CoherenceWeighting = 0;
  p->BandwidthOctaves = 0.33f;
  p->TriggerLevel = 50;
  p->HostWindow = BlockHandle{0};
  p->ModuleInstance = BlockHandle{0};
  p->SoundSpeed = 343.0f;
  p->ProbeDistance = 40.0f;
  p->MaxFrequency = 1900.0f;
}

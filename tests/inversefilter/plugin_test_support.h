// What the tests of the plug-in share: inversefilter loaded as the host loads it, the
// responses it is given in host scale, the WAVE image it leaves on the clipboard, and the
// core's own designs of the same responses, with which the image is compared.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "inversefilter/designer_params.h"
#include "support/plugin_harness.h"

// The harness after XfmInit, with the handles a confirmed XfmSetup leaves in the block.
std::unique_ptr<PluginHarness> openDesigner(int channels, int sampleRate = 48000);

DesignerParams paramsOf(PluginHarness& h);
void editParams(PluginHarness& h, const std::function<void(DesignerParams*)>& change);

// Makes the waveform of `channels` interleaved channels, given in the designer's working
// scale (host samples are these times 2^15, exactly), and selects all of it.
void selectResponses(PluginHarness& h, const std::vector<std::vector<float>>& channels);

// The CF_WAVE block on the clipboard.
struct ClipboardImage {
  std::vector<unsigned char> bytes;  // the whole block
  int channels;                      // from the header
  long frames;                       // data size / (channels * 4)
  std::vector<float> samples;        // interleaved
  float at(long frame, int channel) const { return samples[(size_t)frame * channels + channel]; }
};
// False when the clipboard holds no wave block.
bool clipboardImage(ClipboardImage* image);

// Little-endian fields of an image's header.
unsigned headerWord(const ClipboardImage& image, int offset);       // 16 bits
unsigned long headerLong(const ClipboardImage& image, int offset);  // 32 bits

// The core's single-channel design of `response` (working scale) with A, N, nonPow2 as given.
std::vector<float> coreInverse(const std::vector<float>& response, long A, long N, bool nonPow2,
                               const DesignerParams& p, long sampleRate);

// The core's 2x2 design: slots LL, LR, RL, RR.
std::array<std::vector<float>, 4> coreDipole(const std::array<std::vector<float>, 4>& responses,
                                             long A, long N, bool nonPow2, const DesignerParams& p,
                                             long sampleRate);

// The factor of the automatic gain: the float 32767 / (largest |sample| of the filters).
float autoGainFactor(const std::vector<const std::vector<float>*>& filters);

// Replaces the harness's person by one who also records the sound of every MessageBeep.
void recordBeepSounds(std::vector<UINT>* sounds);

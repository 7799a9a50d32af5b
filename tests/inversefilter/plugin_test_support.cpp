#include "plugin_test_support.h"

#include <math.h>
#include <string.h>

#include <algorithm>

#include "inversefilter/dipole_design.h"
#include "inversefilter/inverse_design.h"

std::unique_ptr<PluginHarness> openDesigner(int channels, int sampleRate) {
  auto h = std::make_unique<PluginHarness>("inversefilter", channels, sampleRate);
  EXPECT_EQ(h->xfmInit(&h->record), 1);
  editParams(*h, [&](DesignerParams* p) {
    storeHandle(&p->HostWindow, h->hostWindow);
    storeHandle(&p->ModuleInstance, h->module);
  });
  return h;
}

DesignerParams paramsOf(PluginHarness& h) {
  DesignerParams p = *h.block<DesignerParams>();
  h.unlock();
  return p;
}

void editParams(PluginHarness& h, const std::function<void(DesignerParams*)>& change) {
  change(h.block<DesignerParams>());
  h.unlock();
}

void selectResponses(PluginHarness& h, const std::vector<std::vector<float>>& channels) {
  const size_t frames = channels[0].size();
  h.wave.assign(frames * channels.size(), 0.0f);
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < channels.size(); ++c)
      h.wave[i * channels.size() + c] = channels[c][i] * 32768.0f;
  h.record.selFirst = 0;
  h.record.selLast = (LONG)frames - 1;
}

bool clipboardImage(ClipboardImage* image) {
  size_t size = 0;
  const unsigned char* data = (const unsigned char*)orvane_clipboard_data(CF_WAVE, &size);
  if (data == nullptr || size < 44) return false;
  image->bytes.assign(data, data + size);
  image->channels = (int)headerWord(*image, 22);
  image->frames = image->channels > 0 ? (long)(headerLong(*image, 40) / (4u * image->channels)) : 0;
  image->samples.resize((size - 44) / 4);
  memcpy(image->samples.data(), data + 44, image->samples.size() * 4);
  return true;
}

unsigned headerWord(const ClipboardImage& image, int offset) {
  return image.bytes[offset] | image.bytes[offset + 1] << 8;
}

unsigned long headerLong(const ClipboardImage& image, int offset) {
  return headerWord(image, offset) | (unsigned long)headerWord(image, offset + 2) << 16;
}

namespace {

XFMINSTANCE coreInstance(long sampleRate) {
  XFMINSTANCE r = {};
  r.sampleRate = sampleRate;
  return r;
}

}  // namespace

std::vector<float> coreInverse(const std::vector<float>& response, long A, long N, bool nonPow2,
                               const DesignerParams& p, long sampleRate) {
  const long length = std::max(A, N);
  std::vector<float> signal(length, 0.0f), scratch(N), w1(length / 2 + 1), w2(length / 2 + 1);
  std::copy(response.begin(), response.end(), signal.begin());
  const XFMINSTANCE r = coreInstance(sampleRate);
  EXPECT_TRUE(DesignInverseFilter(signal.data(), scratch.data(), A, N, nonPow2, &p, &r, w1.data(),
                                  w2.data()));
  signal.resize(N);
  return signal;
}

std::array<std::vector<float>, 4> coreDipole(const std::array<std::vector<float>, 4>& responses,
                                             long A, long N, bool nonPow2, const DesignerParams& p,
                                             long sampleRate) {
  const long length = std::max(A, N);
  std::array<std::vector<float>, 4> slot;
  for (int s = 0; s < 4; ++s) {
    slot[s].assign(length, 0.0f);
    std::copy(responses[s].begin(), responses[s].end(), slot[s].begin());
  }
  std::vector<float> scratch(N), det(N), w1(length / 2 + 1), w2(length / 2 + 1);
  const XFMINSTANCE r = coreInstance(sampleRate);
  EXPECT_TRUE(DesignStereoDipole(slot[0].data(), slot[1].data(), slot[2].data(), slot[3].data(),
                                 scratch.data(), det.data(), A, N, nonPow2, &p, &r, w1.data(),
                                 w2.data()));
  for (auto& s : slot) s.resize(N);
  return slot;
}

float autoGainFactor(const std::vector<const std::vector<float>*>& filters) {
  float peak = 0.0f;
  for (const auto* f : filters)
    for (float v : *f) peak = std::max(peak, fabsf(v));
  return (float)(32767.0 / peak);
}

#include "host/report/clipboard_items.h"

#include <cstring>

#include "frame/wave_image.h"

namespace orvane {

namespace {

unsigned long le32(const unsigned char* p) {
  return static_cast<unsigned long>(p[0]) | static_cast<unsigned long>(p[1]) << 8 |
         static_cast<unsigned long>(p[2]) << 16 | static_cast<unsigned long>(p[3]) << 24;
}

int le16(const unsigned char* p) { return p[0] | p[1] << 8; }

std::string numbered(const std::string& stem, int n, const std::string& extension) {
  return stem + (n > 1 ? "-" + std::to_string(n) : "") + extension;
}

}  // namespace

WaveImage decodeWaveImage(const std::vector<unsigned char>& bytes) {
  WaveImage w;
  const unsigned char* b = bytes.data();
  if (bytes.size() < (size_t)kWaveHeaderBytes) {
    w.problem = "only " + std::to_string(bytes.size()) + " bytes, no 44-byte WAVE header";
    return w;
  }
  if (std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVEfmt ", 8) != 0 ||
      std::memcmp(b + 36, "data", 4) != 0) {
    w.problem = "no RIFF WAVE header with its data chunk at byte 36";
    return w;
  }
  w.headerRead = true;
  w.riffSize = le32(b + 4);
  w.formatTag = le16(b + 20);
  w.channels = le16(b + 22);
  w.sampleRate = static_cast<long>(le32(b + 24));
  w.byteRate = le32(b + 28);
  w.blockAlign = le16(b + 32);
  w.bitsPerSample = le16(b + 34);
  w.dataSize = le32(b + 40);
  if (w.channels < 1 || w.bitsPerSample != 32 || w.sampleRate <= 0) {
    w.problem = std::to_string(w.channels) + " channels of " + std::to_string(w.bitsPerSample) +
                "-bit samples at " + std::to_string(w.sampleRate) +
                " Hz: not the 32-bit float frames of a plug-in's image";
    return w;
  }
  const size_t held = bytes.size() - (size_t)kWaveHeaderBytes;
  size_t data = w.dataSize;
  if (data > held) {
    w.shortfall = "its data size says " + std::to_string(w.dataSize) + " bytes, the block holds " +
                  std::to_string(held) + " after the header";
    data = held;
  }
  const size_t frameBytes = static_cast<size_t>(w.channels) * 4;
  w.frames = static_cast<long>(data / frameBytes);
  w.samples.resize(static_cast<size_t>(w.frames) * w.channels);
  if (!w.samples.empty())
    std::memcpy(w.samples.data(), b + (size_t)kWaveHeaderBytes, w.samples.size() * 4);
  w.valid = true;
  return w;
}

Audio waveImageAudio(const WaveImage& image) {
  Audio a;
  a.channels = image.channels;
  a.sampleRate = static_cast<int>(image.sampleRate);
  a.frames = image.frames;
  a.samples = image.samples;
  return a;
}

std::vector<ClipboardFiles> clipboardFileNames(const std::vector<ClipboardItem>& transfers) {
  std::vector<ClipboardFiles> names;
  int texts = 0, waves = 0;
  for (const ClipboardItem& item : transfers) {
    ClipboardFiles f;
    if (item.format == CF_TEXT) {
      f.file = numbered("clipboard", ++texts, ".txt");
    } else if (item.format == CF_WAVE) {
      ++waves;
      f.image = numbered("clipboard-image", waves, ".wav");
      f.file = numbered("clipboard", waves, ".wav");
    }
    names.push_back(f);
  }
  return names;
}

}  // namespace orvane

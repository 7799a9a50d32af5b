// What the host makes of the blocks a plug-in hands to the clipboard: the formats' names, the
// WAVE image a spectral plug-in puts there, decoded, and the files under --out that keep every
// transfer of a run.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/session/audio.h"
#include "host/system/system.h"

namespace orvane {

// The 44-byte header of a clipboard WAVE image and the frames behind it. The plug-ins' images
// hold 32-bit IEEE floats at 16-bit scale although their format tag says 1.
struct WaveImage {
  bool headerRead = false;  // the header's fields below were read
  bool valid = false;       // and the frames too
  std::string problem;      // why the bytes are no image the host can read; empty when valid
  unsigned long riffSize = 0;
  int formatTag = 0;
  int channels = 0;
  long sampleRate = 0;
  unsigned long byteRate = 0;
  int blockAlign = 0;
  int bitsPerSample = 0;
  unsigned long dataSize = 0;
  long frames = 0;             // whole frames of the data the block really holds
  std::vector<float> samples;  // frames * channels, interleaved, as the image holds them
  std::string shortfall;       // the data size claims more than the block holds, if so
};
WaveImage decodeWaveImage(const std::vector<unsigned char>& bytes);

// The image as audio: the same frames, for writing as a standard float WAV file that reads back
// to the same numbers. Only for a valid image.
Audio waveImageAudio(const WaveImage& image);

// The files one transfer is kept in under --out (relative names, empty when none): text is
// clipboard.txt, clipboard-2.txt, ...; a WAVE image clipboard-image.wav (its exact bytes) and
// clipboard.wav (a standard float WAV), then clipboard-image-2.wav and clipboard-2.wav, ...
struct ClipboardFiles {
  std::string file;   // clipboard.txt / clipboard.wav
  std::string image;  // clipboard-image.wav for a WAVE image
};
std::vector<ClipboardFiles> clipboardFileNames(const std::vector<ClipboardItem>& transfers);

}  // namespace orvane

// The WAVE image the spectral plug-ins hand to the clipboard (CF_WAVE): a 44-byte RIFF header
// followed by interleaved 32-bit IEEE float frames at 16-bit scale (32767 is full scale). The
// header's format tag is 1 and its sample width 32 bits although the samples are floats: the
// editor that takes the image from the clipboard expects exactly this header, so it stays.
#pragma once

#include "frame/xfm.h"

// Bytes of the header in front of the frames.
constexpr long kWaveHeaderBytes = 44;

// Writes the header of an image holding `frames` frames of `channels` channels at `sampleRate`
// Hz into image[0 ... 43]: "RIFF", data size + 36, "WAVEfmt ", 16, tag 1, channels, rate,
// rate * channels * 4, channels * 4, 32, "data", data size = frames * channels * 4; every
// integer little-endian.
void WriteWaveHeader(BYTE* image, int channels, long sampleRate, long frames);

#include "frame/wave_image.h"

#include <string.h>

namespace {

void put16(BYTE* at, unsigned value) {
  at[0] = (BYTE)(value & 0xff);
  at[1] = (BYTE)((value >> 8) & 0xff);
}

void put32(BYTE* at, unsigned long value) {
  put16(at, (unsigned)(value & 0xffff));
  put16(at + 2, (unsigned)((value >> 16) & 0xffff));
}

}  // namespace

void WriteWaveHeader(BYTE* image, int channels, long sampleRate, long frames) {
  const unsigned long frameBytes = (unsigned long)channels * 4u;
  const unsigned long dataBytes = (unsigned long)frames * frameBytes;
  memcpy(image, "RIFF", 4);
  put32(image + 4, dataBytes + 36u);
  memcpy(image + 8, "WAVEfmt ", 8);
  put32(image + 16, 16);
  put16(image + 20, 1);
  put16(image + 22, (unsigned)channels);
  put32(image + 24, (unsigned long)sampleRate);
  put32(image + 28, (unsigned long)sampleRate * frameBytes);
  put16(image + 32, (unsigned)frameBytes);
  put16(image + 34, 32);
  memcpy(image + 36, "data", 4);
  put32(image + 40, dataBytes);
}

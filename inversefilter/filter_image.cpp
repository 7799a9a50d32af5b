#include "inversefilter/filter_image.h"

namespace {

unsigned readLittle16(const BYTE* at) { return (unsigned)at[0] | (unsigned)at[1] << 8; }

unsigned long readLittle32(const BYTE* at) {
  return (unsigned long)readLittle16(at) | (unsigned long)readLittle16(at + 2) << 16;
}

// Frames (a[i], b[i]) for i < n.
float* interleave(float* to, const float* a, const float* b, long n) {
  for (long i = 0; i < n; ++i) {
    *to++ = a[i];
    *to++ = b[i];
  }
  return to;
}

}  // namespace

SIZE_T filterImageBytes(const FilterOutput* output) {
  return (SIZE_T)kWaveHeaderBytes + (SIZE_T)output->frames * (SIZE_T)output->channels * 4u;
}

void writeFilterImage(BYTE* image, const FilterOutput* output, const float* const filters[4],
                      long sampleRate) {
  WriteWaveHeader(image, output->channels, sampleRate, output->frames);
  float* to = filterImageSamples(image);
  const long n = output->filterLength;
  switch (output->filterCount) {
    case 1:
      for (long i = 0; i < n; ++i) to[i] = filters[0][i];
      break;
    case 2:
      interleave(to, filters[0], filters[1], n);
      break;
    default:
      to = interleave(to, filters[0], filters[1], n);
      interleave(to, filters[2], filters[3], n);
      break;
  }
}

float* filterImageSamples(BYTE* image) { return (float*)(image + kWaveHeaderBytes); }

FilterImageShape filterImageShape(const BYTE* header) {
  FilterImageShape shape;
  shape.channels = readLittle16(header + 22) == 2 ? 2 : 1;
  shape.frames = (long)(readLittle32(header + 40) / (4u * (unsigned long)shape.channels));
  return shape;
}

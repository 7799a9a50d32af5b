// The designed filters as the clipboard receives them: a WAVE image (frame/wave_image.h) whose
// channels and frames are those of the output form (filter_output.h), and the shape that the
// results dialog and the display read back from such an image.
#pragma once

#include "frame/wave_image.h"
#include "inversefilter/filter_output.h"

// Bytes of the image of `output`: the header and frames x channels 32-bit floats.
SIZE_T filterImageBytes(const FilterOutput* output);

// Writes the header and the frames of the scaled filters filters[0 ... filterCount-1] into
// `image` (filterImageBytes bytes): forms 0 and 4 C[i]; forms 1 and 2 (C[i], D[i]); form 3
// (C[i], D[i]) for i < filterLength, then (E[i], F[i]).
void writeFilterImage(BYTE* image, const FilterOutput* output, const float* const filters[4],
                      long sampleRate);

// The first sample of an image.
float* filterImageSamples(BYTE* image);

struct FilterImageShape {
  int channels;  // 1 or 2
  long frames;   // frames of the image: the filter length, twice it for the 2x2 network
};

// The shape of an image, read from its header.
FilterImageShape filterImageShape(const BYTE* image);

#include "inversefilter/design_lengths.h"

#include <stdint.h>

namespace {

// 2^-15: host samples (16-bit scale) to the designer's working range.
constexpr float kSampleScale = 0.000030517578125f;

// Copies n values taken every `stride` floats from `from`, scaled, and zeroes the rest of the
// buffer up to `length` floats.
void copyScaled(float* to, const float* from, long n, int stride, long length) {
  for (long i = 0; i < n; ++i) to[i] = from[(long)stride * i] * kSampleScale;
  for (long i = n; i < length; ++i) to[i] = 0.0f;
}

}  // namespace

bool IsPowerOfTwo(long n) { return n > 0 && (n & (n - 1)) == 0; }

bool IsDesignLength(long n) {
  return n >= kMinDesignLength && n <= kMaxTransformLength && n % 2 == 0;
}

long FilterLengthRule(long requested) {
  if (requested < kMinDesignLength) return kMinDesignLength;
  if (requested > kMaxFilterLength) return kMaxFilterLength;
  return requested + requested % 2;
}

bool DesignerWorkingLengths(const DesignerParams* params, const XFMINSTANCE* instance,
                            DesignerLengths* out) {
  // In 64 bits: the host's frame numbers may lie anywhere in the 32-bit range.
  const int64_t wide = (int64_t)instance->selLast - (int64_t)instance->selFirst + 1;
  if (wide < 1 || wide > kMaxTransformLength) return false;
  const long frames = (long)wide;

  DesignerLengths l;
  l.channels = instance->channels == 2 ? 2 : 1;
  l.mode = kModeMono;
  if (l.channels == 2) {
    l.mode = params->Mode >= kModeDualMono && params->Mode <= kMode2x2 ? params->Mode
                                                                       : (int)kModeDualMono;
  }
  l.filterLength = FilterLengthRule(params->InverseFilterLength);
  l.transformLength = l.filterLength;
  if (l.mode > kModeMono) l.transformLength *= 2;
  if (l.mode == kMode2x2) l.transformLength *= 2;
  l.nonPow2 = !IsPowerOfTwo(l.transformLength);

  l.selectionFrames = l.mode == kModeStereo ? 2 * frames : frames;
  l.framesToRead = frames;
  if (l.selectionFrames > kMaxTransformLength) return false;
  l.responsePow2 = 1;
  while (l.responsePow2 < l.selectionFrames) l.responsePow2 *= 2;

  l.allocLength = l.transformLength > l.responsePow2 ? l.transformLength : l.responsePow2;
  l.designLength = l.mode >= kModeStereo ? 2 * l.filterLength : l.filterLength;
  l.designFilterLength = l.filterLength;
  l.designPow2 = l.responsePow2;
  if (l.mode >= kModeStereo) l.designPow2 = l.responsePow2 > 1 ? l.responsePow2 / 2 : 1;
  *out = l;
  return true;
}

void PrepareResponses(const float* samples, const DesignerLengths* lengths, float* C, float* D,
                      float* E, float* F) {
  const long length = lengths->allocLength;
  const long frames = lengths->framesToRead;
  switch (lengths->mode) {
    case kModeMono:
      // A mono design of a stereo waveform never happens (see DesignerWorkingLengths); the
      // stride keeps it to the left channel all the same.
      copyScaled(C, samples, frames, lengths->channels, length);
      break;
    case kModeDualMono:
      copyScaled(C, samples, frames, 2, length);
      copyScaled(D, samples + 1, frames, 2, length);
      break;
    case kModeStereo:
      copyScaled(C, samples, frames, 2, length);
      copyScaled(D, samples + 1, frames, 2, length);
      copyScaled(E, samples + 1, frames, 2, length);
      copyScaled(F, samples, frames, 2, length);
      break;
    case kMode2x2: {
      const long h = frames / 2;
      copyScaled(C, samples, h, 2, length);
      copyScaled(D, samples + 1, h, 2, length);
      copyScaled(E, samples + 2 * h, h, 2, length);
      copyScaled(F, samples + 2 * h + 1, h, 2, length);
      break;
    }
  }
}

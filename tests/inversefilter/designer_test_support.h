// What the designer's tests share: a recorder that stands in for the host (progress, cancel)
// and for the person (message boxes), reference transforms computed the slow, exact way, and
// the synthetic rooms whose responses the quality tests invert.
#pragma once

#include <gtest/gtest.h>
#include <orvane_platform.h>

#include <string>
#include <utility>
#include <vector>

#include "frame/xfm.h"
#include "inversefilter/designer_params.h"

// The three paths of a design's transform lengths. F: power of two, response shorter; D: not a
// power of two, response's power of two shorter; R: response's power of two longer than the
// filter (1024 > 1000).
struct PathCase {
  const char* path;
  long responseLength, N;
};
inline constexpr PathCase kPaths[] = {{"F", 600, 1024}, {"D", 600, 1200}, {"R", 600, 1000}};

struct SeenBox {
  std::string text, caption;
  UINT type;
  HWND owner;
};

// One at a time: installs itself as the person and serves an instance record whose callbacks
// record what the designer reported. Counts the memory blocks it finds alive at the start.
class DesignerRecorder {
 public:
  explicit DesignerRecorder(long sampleRate = 48000);
  ~DesignerRecorder();

  XFMINSTANCE instance = {};
  int cancelFlag = 0;
  int cancelAtStep = 0;  // sets the cancel flag at this progress call (1 = the first); 0 never
  std::vector<SeenBox> boxes;
  std::vector<std::string> captions, texts;
  std::vector<std::pair<int, int>> steps;  // (step, steps) in order
  int ends = 0;

  // Blocks allocated since construction and not yet freed; blocks still locked.
  int liveBlocks() const;
  int lockedBlocks() const;

  static DesignerRecorder* current;

 private:
  OrvaneMemoryStats start_;
};

// The block as XfmInit leaves it, with the host window and the flags cleared.
DesignerParams defaultParams();

// sum_n x[n] e^(+2 pi i kn/N) for k = 0 ... N/2 in long double, angles from (k n) mod N.
void referenceDft(const std::vector<float>& x, std::vector<long double>* re,
                  std::vector<long double>* im);

// Packed spectrum (RealFFT layout) from a reference split spectrum.
std::vector<float> packedOf(const std::vector<long double>& re, const std::vector<long double>& im);

// Uniform deviates in [-1, 1) from a fixed linear congruential sequence.
struct Noise {
  unsigned state;
  explicit Noise(unsigned seed) : state(seed) {}
  double next() {
    state = state * 1664525u + 1013904223u;
    return (double)(state >> 8) / 8388608.0 - 1.0;
  }
};

// A room as a loudspeaker measures it: the direct sound of size `gain` at `delay`, twelve
// early reflections of either polarity within 30 ms and an exponentially decaying diffuse
// tail; `length` samples at 48 kHz.
std::vector<float> roomResponse(long length, long delay, double gain, unsigned seed);

// One ear of a dummy head in a damped room: the direct sound of size `gain` at `delay`, spread
// over `shadow` samples (the head's shadow on the far ear), three pinna echoes within 1 ms, four
// weak room reflections within 20 ms and a short diffuse tail; `length` samples at 48 kHz.
std::vector<float> earResponse(long length, long delay, double gain, int shadow, unsigned seed);

// Linear convolution in double.
std::vector<double> convolve(const std::vector<float>& a, const float* b, long nb);

// Level (dB re `reference`) of a signal's spectrum averaged over a third of an octave around
// each frequency from `from` to `to` Hz (steps of 1/24 octave); power averaging.
std::vector<double> thirdOctaveLevels(const std::vector<double>& signal, double reference,
                                      double from, double to, double sampleRate);

struct Deviation {
  double maxDb, rmsDb;
};
Deviation deviationOf(const std::vector<double>& levels);

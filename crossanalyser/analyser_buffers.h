// The working buffers of one analyser run: movable, shareable global blocks obtained through
// the frame's run buffers, in a fixed order, so that a failure releases exactly what was
// obtained. Their size depends only on the FFT size N, never on the selection's length.
#pragma once

#include "frame/run_buffers.h"
#include "frame/wave_image.h"

// Position of the WAV block among the run's blocks: the run hands this handle to the clipboard.
constexpr int kWavBlockIndex = 2;
constexpr int kAnalyserBufferCount = 10;

// Addresses of the locked blocks; all belong to the RunBuffers record they came from and stay
// valid until it is released. Every array is N floats unless stated.
struct AnalyserBuffers {
  float* window;    // 1: W, the analysis window; free for the Hilbert copy after averaging
  float* csp;       // 2: CSP, the cross-power spectrum phase; rotation buffer for function 4
  BYTE* wav;        // 3: 44 header bytes + 2N floats
  float* samples;   // the WAV block's data area: N stereo frames read, later the output frames
  float* xl;        // 4: left block spectrum, later the result spectrum and left output
  float* xr;        // 5: right block spectrum, later the second spectrum and right output
  float* gll;       // 6: averaged left auto-spectrum
  float* grr;       // 7: averaged right auto-spectrum
  float* glr;       // 8: averaged cross-spectrum XR conj(XL)
  float* display1;  // 9: PeakPower (N/2 doubles) while averaging, then the result copy
  float* display2;  // 10: PeakPhase (N/2 doubles) while averaging, then the second copy
};

// Allocates and locks the ten blocks for FFT size n in the order above, each zero-filled.
// Returns false after the first failure (buffers->failedStep tells which step); the caller then
// releases the record with releaseRunBuffers, as after a completed run.
bool AllocateAnalyserBuffers(RunBuffers* buffers, long n, AnalyserBuffers* out);

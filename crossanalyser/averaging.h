// The block-averaged spectra of a stereo selection: the selection is read block by block
// through the host's readSamples (N stereo frames at a time into the run's sample block), each
// block is windowed and transformed, and the auto-spectra GLL and GRR, the cross-spectrum GLR =
// XR conj(XL) and, for the cross-power spectrum phase, CSP are averaged by running means. Memory
// is the run's fixed N-float buffers, whatever the selection's length.
#pragma once

#include "crossanalyser/analyser_buffers.h"
#include "crossanalyser/analyser_params.h"
#include "frame/xfm.h"

struct SpectraSettings {
  long fftSize;            // N, a power of two, 256 ... 1048576
  int windowShape;         // WindowShape
  int followMode;          // FollowMode: the following filter's channel, or off
  float bandwidthOctaves;  // B, the following filter's band in octaves
  bool saveMultiSpectrum;  // write "MultiSpectrum.txt"
  int processingFunction;  // CSP is accumulated only for kFnCrossPowerPhase
};

// The settings of a parameter block (FftSize must already hold N).
SpectraSettings SpectraSettingsFrom(const AnalyserParams* params);

// What the averaging measured. The sums behind the three statistics are kept in double, in
// sample order, so that long selections lose nothing; the results are floats.
struct SpectraStatistics {
  long blockCount;    // blocks averaged (full ones plus the partial one); the parameter field
                      // takes saturatedBlockCount() of it
  float rmsLeft;      // RMS of the windowed left samples, over N per block
  float rmsRight;     // RMS of the windowed right samples
  float meanProduct;  // mean of their product
};

// Runs the averaging over the instance's selection (selFirst ... selLast, sampleRate) into the
// zero-filled buffers: W holds the window (of the partial block's length at its start when there
// is one), GLL, GRR, GLR and, for function 9, CSP the averages; XL and XR the last block's
// spectra. Reports progress (j+1 of A+1 after full block j, A+1 of A+1 after the partial block)
// and reads cancelFlag after each report: a cancel stops the full blocks, while the
// multispectrum pass and the partial block are still carried out. Returns false after a cancel.
// readSamples' result is not looked at: a block the host cannot supply is averaged as the buffer
// holds it.
bool AverageSpectra(const AnalyserBuffers* buffers, const SpectraSettings* settings,
                    const XFMINSTANCE* instance, SpectraStatistics* statistics);

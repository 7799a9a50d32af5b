// The processing functions: the averaged spectra combined into a result spectrum (XL) and a
// second spectrum (XR), copied for the results display, transformed back to two output
// signals, optionally rotated by half a window and replaced by a squared Hilbert envelope; the
// peak of the result (time of flight), the divisors of the two output channels, the normalised
// cross-correlation maximum and the N output frames.
//
// The run calls ProcessFunction (up to the peak search), then forms its statistics and time of
// flight, then FinishFunction.
#pragma once

#include "crossanalyser/analyser_buffers.h"
#include "crossanalyser/analyser_params.h"
#include "crossanalyser/averaging.h"
#include "frame/xfm.h"

struct FunctionSettings {
  long fftSize;             // N
  long sampleRate;          // fs, Hz (the instance record's integer)
  int function;             // AnalyserFunction; codes outside 0 ... 9 are processed as 0
  bool coherenceWeighting;  // weight the result by gamma^2 (functions 0-3, 5, 9)
  bool squaredHilbert;      // replace the outputs by their squared Hilbert envelope
  bool shiftHalf;           // rotate the outputs by half a window (lag 0 at N/2)
  bool normalize;           // function 0: left output at full scale; function 4: right too
  bool timeReversal;        // output frame i takes the samples at N-1-i
  float soundSpeed;         // c, m/s
  float probeDistanceMm;    // d, mm
  float maxFrequency;       // fmax, Hz
};

FunctionSettings FunctionSettingsFrom(const AnalyserParams* params, const XFMINSTANCE* instance);

struct FunctionResults {
  float peak;          // P: largest |left output| (after mean removal), 0 for a zero result
  long peakIndex;      // ip: its position, N when the result is identically 0
  long flightSamples;  // time of flight in samples (sign changed with timeReversal)
  float leftDivisor;   // r, stored as LeftScale
  float rightDivisor;  // s
  float nccMax;        // normalised cross-correlation maximum (function 0), else 0
  float* shownCross;   // the cross-spectrum the results show: GLR, or CSP for function 9
};

// Steps up to the peak search: forms XL and XR, weights, prepares the Hilbert copies, reports
// progress 1 of 5 (a cancel seen here returns false at once), copies XL and XR into display1
// and display2, inverse-transforms (progress 2 and 3 of 5; a cancel seen there returns false
// after the transforms), forms the envelopes, then finds the left output's peak (mean removed
// unless the envelope was formed) and the time of flight: with shiftHalf ip - N/2, otherwise
// ip, or ip - N from N/2 on (the upper half of a circular correlation is the negative lags).
//
// SquaredHilbert applies to the functions whose output is a correlation (0-5, 9); the
// calibration filters and the impedance (6, 7, 8) are always output as they are, with their
// mean removed as without the envelope.
bool ProcessFunction(const AnalyserBuffers* buffers, const FunctionSettings* settings,
                     const XFMINSTANCE* instance, FunctionResults* results);

// Divisors and correlation maximum, then the output frames into the sample block:
// frame i = (32767/r XL[i], 32767/s XR[i]), from sample N-1-i with timeReversal, which also
// changes the sign of the time of flight. r = P, s = 1, except: function 0 computes
// NccMax = min(P / (N rmsL rmsR), 1), and without normalize r = N rmsL rmsR (1 at full scale
// is a correlation coefficient of 1); function 4 with normalize takes s from the right output
// (mean removed) as max(1, its peak). A zero r becomes 1, and functions 6-8 use r = 1. A silent
// channel cannot give NaN: NccMax is 0 and r stays P when rmsL or rmsR is 0.
void FinishFunction(const AnalyserBuffers* buffers, const SpectraStatistics* statistics,
                    const FunctionSettings* settings, FunctionResults* results);

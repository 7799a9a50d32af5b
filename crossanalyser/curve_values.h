// The values of a run's spectra, as the display and the export read them. Spectra are packed
// (N floats: DC, Nyquist, then bins 1 ... N/2-1 as (re, im)); pair r is read as (real part,
// imaginary part), where the real part of pair 0 is the DC value, that of pair N/2 the Nyquist
// value, and both of their imaginary parts 0.
#pragma once

#include "crossanalyser/analyser_params.h"

// The run's arrays behind the block's address fields (null when a field is 0).
struct RunSpectra {
  const float* gll;     // AutoLeft
  const float* grr;     // AutoRight
  const float* glr;     // CrossSpectrum (CSP for the cross-power spectrum phase)
  const float* result;  // ResultSpectrum
  const float* second;  // SecondSpectrum
  long n;               // FftSize
};
RunSpectra RunSpectraOf(const AnalyserParams* p);

float RealAt(const float* spectrum, long n, long r);
float ImagAt(const float* spectrum, long n, long r);

// factor * log10(power), with zero power (or a NaN) reading -200 dB, never less.
double Decibels(double factor, double power);

// The absorption coefficient of pair r: 2 |GLR.re| / (|GLR.re| + (GRR.re + GLL.re) 0.5); 0 where
// all three are 0.
double AbsorptionAt(const RunSpectra& s, long r);

// The factor F of the result's dB curves: 5 for the correlations read as amplitudes (functions
// 0, 5 and 9), 10 for the others.
double ResultDbFactor(int function);

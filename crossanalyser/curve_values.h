// The values of a run's spectra, as the display and the export read them. Spectra are packed
// (N floats: DC, Nyquist, then bins 1 ... N/2-1 as (re, im)); pair r is read as (real part,
// imaginary part), where the real part of pair 0 is the DC value, that of pair N/2 the Nyquist
// value, and both of their imaginary parts 0.
#pragma once

#include "crossanalyser/analyser_params.h"

// The run's arrays behind the block's buffer fields, locked for one use.
struct RunSpectra {
  const float* gll;     // AutoLeft
  const float* grr;     // AutoRight
  const float* glr;     // CrossSpectrum (CSP for the cross-power spectrum phase)
  const float* result;  // ResultSpectrum
  const float* second;  // SecondSpectrum
  long n;               // FftSize
};
// Locks the five arrays; true when all of them are there (a run has left them and they are not
// freed yet). Either way UnlockRunSpectra undoes what was locked.
bool LockRunSpectra(const AnalyserParams* p, RunSpectra* s);
void UnlockRunSpectra(const AnalyserParams* p, const RunSpectra* s);

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

// Cepstral pre-processing (average type 3): the measured spectrum H is split into a
// minimum-phase part H_MP, obtained from the real cepstrum of log|H|, and an excess-phase part
// H_EP = H / H_MP. The magnitude of H_MP and the unwrapped phase of H_EP are smoothed separately
// with the averaging window of the block (WindowType, WindowWidth), and the spectrum is rebuilt
// as H' = H_MP' H_EP'. H_MP' keeps only the smoothed magnitude (its phase is set to 0), H_EP'
// the unsmoothed magnitude of H_EP with its smoothed phase.
//
// Both forms compute the same thing with the transforms of the designer's single sign
// convention (any_length_dft.h, frame/fft.h), so the decomposition is consistent with whatever
// transform made H: CepstrumDFT on any even length through DirectIDFT/DirectDFT, CepstrumFFT on
// a power-of-two length through RealFFT. The cepstrum is normalised (the N/2 factor of the
// inverse transforms is divided out) and folded into the minimum-phase cepstrum: with D = N/2,
// c[1 ... D-1] doubled, c[D+1 ... N-1] zeroed, c[0] and c[D] kept.
//
// Failures (H is then untouched and the result false, which makes the design fail):
//  - work memory (four packed spectra of N floats, five arrays of N/2+1 floats, movable and
//    zero-filled): CepstrumDFT shows "There is no enough memory to allocate vectors " with
//    caption "Cepstrum DFT", CepstrumFFT "Sorry, we have a problem\nI cannot allocate
//    vectores\n no enough memory to do this " with caption "Cepstrum FFT", plain OK boxes (the
//    system's own texts, misspellings included);
//  - a direct transform's own allocation failure (its message, any_length_dft.h);
//  - a spectrum with an exact zero in some bin: its logarithm does not exist, and no stand-in
//    value gives a usable decomposition (a huge negative logarithm swamps the float cepstrum
//    and overflows the exponential everywhere), so the routine shows "The spectrum has an exact
//    zero:\nits logarithm does not exist and the cepstrum\ncannot be computed." with its caption
//    and an error icon;
//  - a result that is not finite everywhere (an input that is not finite): "The cepstral
//    decomposition does not give finite values\nfor this spectrum." with its caption and an
//    error icon.
// Failures of the unwrapping and smoothing steps inside show their own messages and do not stop
// the decomposition.
//
// Progress texts (progressText, progress_texts.h): CepstrumDFT shows kCepstrumStartText ...
// kRebuildText, one per step; CepstrumFFT only kCepstrumFftLogText.
#pragma once

#include "frame/xfm.h"
#include "inversefilter/design_notice.h"
#include "inversefilter/designer_params.h"

// spectrum: packed, N floats (N a design length), replaced by H'.
bool CepstrumDFT(float* spectrum, long N, const XFMINSTANCE* instance, const DesignerParams* params,
                 DesignNotice* notice = nullptr);

// spectrum: packed, N floats (N a power of two and a design length), replaced by H'.
bool CepstrumFFT(float* spectrum, long N, const XFMINSTANCE* instance, const DesignerParams* params,
                 DesignNotice* notice = nullptr);

// The rules of `orvane impulse` and `orvane room` in one place: thresholds, windows and ranges,
// each a named constant that the code, the help and the README state alike.
#pragma once

namespace orvane {

// --- The deconvolution (impulse_response.h) ---

// The excitation's band: where its power, smoothed over a third of an octave so that a noise's
// random dips do not split it, lies within this many dB of its largest.
constexpr double kExcitationBandDb = 60.0;
constexpr double kBandSmoothingOctaves = 1.0 / 3.0;
// Outside the band the response fades to nothing over this many octaves (a raised cosine in
// log frequency), and the division is regularised.
constexpr double kBandTransitionOctaves = 1.0 / 3.0;
// The regularisation added to |X|^2, dB re the excitation's largest power: far enough below
// the band's edge (kExcitationBandDb) that the division is exact in band, and as large as the
// largest power outside it, where the excitation holds nothing to divide by.
constexpr double kInBandRegularisationDb = -80.0;
constexpr double kOutBandRegularisationDb = 0.0;
// An excitation whose largest sample lies below this, dB re full scale, is silent.
constexpr double kSilentExcitationDb = -90.0;
// The direct sound: the largest |h| within this window after the response first rises to
// within kOnsetBelowPeakDb of its peak.
constexpr double kDirectSoundWindowMs = 1.0;
// The noise floor of a response: the mean square of its last tenth.
constexpr double kNoiseTailShare = 0.1;
// The response is kept over the lags the recording holds whole (its length less the
// excitation's last sound), or over the whole length when the excitation sounds into the
// recording's last tenth (noise played to the end).
constexpr double kWholeAfterShare = 0.1;
// A rising sweep's harmonics land before time zero; what lies closer to it than this is the
// band limit's own spread of the linear response.
constexpr double kAcausalGuardMs = 5.0;
// The harmonics are stated when their energy stands this far above the noise's share. They
// are sought above twice the sweep's first frequency, through an order-4 Butterworth high-pass
// there, which keeps out what a sweep's start and a loudspeaker leave below it, and below its
// last frequency (fading out over kBandTransitionOctaves under it), where the sweep held
// energy to divide them by.
constexpr double kDistortionAboveNoiseDb = 3.0;
constexpr double kDistortionHighPassRatio = 2.0;
constexpr int kDistortionHighPassOrder = 4;
// A rising sweep: over its active part (where |x| lies within kActiveBelowPeakDb of its
// peak), cut into kSweepSegments, the zero crossings per segment never fall and grow at least
// kSweepRiseFactor times from the first segment to the last.
constexpr int kSweepSegments = 16;
constexpr double kSweepEndShare = 1.0 / 256.0;
constexpr double kSweepRiseFactor = 4.0;
constexpr double kActiveBelowPeakDb = 40.0;
// The frequency picture's resolution: power averaged over bands this many octaves wide.
constexpr double kSpectrumStepOctaves = 1.0 / 24.0;

// --- The room's parameters (room_acoustics.h) ---

// Time zero: where the response first rises to within this many dB of its peak.
constexpr double kOnsetBelowPeakDb = 20.0;
// The octave bands, 63 Hz ... 8 kHz: base-ten midbands 1000 * 10^(3x/10), x = -4 ... 3, edges
// a half band each way, each an order-3 Butterworth band-pass (6 poles).
constexpr int kFirstOctave = -4;
constexpr int kLastOctave = 3;
constexpr int kOctaveFilterOrder = 3;
// Lundeby's iteration: the first intervals are this long (or this many periods of the band's
// midband, if longer), the first fit reaches down to kLundebyFirstFitAboveNoiseDb above the
// noise; then kLundebyIntervalsPer10Db intervals per 10 dB of decay, the noise from
// kLundebyNoiseBelowCrossingDb below the crossing on (at least the last kNoiseTailShare), the
// late decay fitted over kLundebyLateRangeDb down to kLundebyLateAboveNoiseDb above the noise,
// at most kLundebyIterations times.
constexpr double kLundebyFirstIntervalMs = 10.0;
constexpr double kLundebyFirstIntervalPeriods = 3.0;
constexpr double kLundebyFirstFitAboveNoiseDb = 10.0;
constexpr int kLundebyIntervalsPer10Db = 5;
constexpr double kLundebyNoiseBelowCrossingDb = 10.0;
constexpr double kLundebyLateRangeDb = 20.0;
constexpr double kLundebyLateAboveNoiseDb = 5.0;
constexpr int kLundebyIterations = 5;
// The evaluation ranges on the decay curve, dB: EDT 0 ... -10, T20 -5 ... -25, T30 -5 ... -35;
// a slope of s dB/s gives -60 / s seconds.
constexpr double kEdtRangeDb[2] = {0.0, -10.0};
constexpr double kT20RangeDb[2] = {-5.0, -25.0};
constexpr double kT30RangeDb[2] = {-5.0, -35.0};
// A range's bottom must lie this far above the point where the decay meets the noise.
constexpr double kNoiseMarginDb = 10.0;
// Clarity and definition: energy before and after these times from time zero.
constexpr double kC50Ms = 50.0;
constexpr double kC80Ms = 80.0;
// The decay pictures: the curves sampled every millisecond, down to this floor.
constexpr double kDecayPictureStepMs = 1.0;
constexpr double kDecayPictureFloorDb = -80.0;

}  // namespace orvane

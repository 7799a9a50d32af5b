// The thresholds the assessment judges by, each in one place: the figures, the warnings, their
// texts and the pictures all read them from here.
#pragma once

namespace orvane {

// The main arrival is the main peak and what lies within this many ms of it either way;
// energy earlier than that is pre-ringing.
constexpr double kMainWindowMs = 1.0;
// The main arrival may land this far (ms) from where the filter means it to before it is
// said to have moved.
constexpr double kPeakMoveMs = 1.0;
// A pre-echo sample within this many dB of the main peak is warned of.
constexpr double kPreEchoWithinDb = 20.0;
// A median cross-talk separation under this (dB) is warned of.
constexpr double kSeparationDb = 20.0;

// Pre-echo per octave: energy in windows this long (ms), counted when the window's centre
// comes more than kPreEchoGapMs before the octave's main arrival, warned of within
// kOctavePreEchoWithinDb of the main arrival's window.
constexpr double kEnergyWindowMs = 5.0;
constexpr double kPreEchoGapMs = 20.0;
constexpr double kOctavePreEchoWithinDb = 40.0;
// The octaves judged for pre-echo: midbands 125 Hz ... 8 kHz.
constexpr double kFirstOctaveHz = 125.0;
constexpr int kOctaveCount = 7;

// A filter whose largest |f| over its first or last 1 % lies above -40 dB re its peak was
// cut off before it had died away.
constexpr double kFilterEndShare = 0.01;
constexpr double kTruncatedAboveDb = -40.0;

// The regularised inversion follows 1/H only where |H|^2 (a network's |det H|^2) stands well
// above beta: at 10 beta it already falls 0.8 dB short, and below that beta decides. More than
// this share of the pass band's bins below 10 beta is warned of.
constexpr double kDominatedRatio = 10.0;
constexpr double kDominatedShare = 0.10;

// The gain curves are evaluated on a transform at least this many times the filter's length,
// so the continuous response's peak falls between points by at most 0.06 dB (before the
// parabola through the three largest points refines it).
constexpr long kGainOversampling = 8;

}  // namespace orvane

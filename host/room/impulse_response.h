// An impulse response from a measurement: the excitation as it was played and the system's
// response as recorded, deconvolved linearly over the whole recording by spectral division
// (both zero-padded to a transform at least twice their length, so nothing wraps around),
// limited to the excitation's band with a smooth transition and regularised outside it. A
// rising sweep's harmonic distortion lands before time zero and is cut away; noise and MLS
// work alike. Plain numbers in, records out: reading and writing files is the command's
// (cli/cmd_impulse.cpp).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/report/json.h"

namespace orvane {

struct ImpulseInput {
  std::vector<double> excitation;  // as played, full scale 1
  std::vector<double> response;    // as recorded, full scale 1, as many samples
  double sampleRate = 0.0;         // Hz
  // The band, Hz (--band); none: where the excitation's power lies within kExcitationBandDb of
  // its largest.
  std::optional<double> bandLowHz, bandHighHz;
};

struct ImpulseResponse {
  std::string name;  // the recording, as given
  double sampleRate = 0.0;
  // The response from time zero (the excitation's first sample) on, as many samples as the
  // recording, in the system's own units: its gain, response over excitation.
  std::vector<double> h;
  double bandLowHz = 0.0, bandHighHz = 0.0;  // the band the response is limited to, Hz
  bool bandGiven = false;                    // from --band, not from the excitation
  bool risingSweep = false;                  // the excitation is a rising sweep
  double timeOfFlightMs = 0.0;               // the direct sound's peak, ms from time zero
  double peakGainDb = 0.0;                   // the largest |h|, dB
  // The peak over the mean square of the response's last tenth, dB; none without noise.
  std::optional<double> peakToNoiseDb;
  // A rising sweep's harmonics: the energy before time zero (but the kAcausalGuardMs next to
  // it) less the noise's share, re the linear response's energy less its noise, dB; none for
  // another excitation, or harmonics that do not stand kDistortionAboveNoiseDb above the noise.
  std::optional<double> distortionDb;
  // |H|^2 averaged over bands kSpectrumStepOctaves wide from 10 Hz to half the sample rate,
  // for the frequency picture: centres (Hz) and levels (dB).
  std::vector<double> spectrumHz, spectrumDb;
};

// Throws nothing: the command refuses silent or mismatched input first (checkMeasurement).
ImpulseResponse deconvolve(const ImpulseInput& in, const std::string& name);

// The refusals of a measurement, as one line each (empty when it is fine): an excitation whose
// largest sample lies below kSilentExcitationDb, a response that holds only zeros.
std::string measurementProblem(const ImpulseInput& in);

// {"impulse": {"time_of_flight_ms", "band_hz": [low, high], "peak_to_noise_db",
// "distortion_db", then "excitation" ("rising sweep" or "broadband"), "band_from"
// ("excitation" or "given"), "peak_gain_db", "sample_rate_hz", "length_s", "file"}}; figures
// that are none are null.
Json impulseJson(const ImpulseResponse& r);
std::string impulseText(const ImpulseResponse& r);

}  // namespace orvane

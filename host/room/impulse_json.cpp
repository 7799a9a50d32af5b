// The impulse response's figures as JSON and as text.
#include <cmath>
#include <cstdio>

#include "host/room/impulse_response.h"
#include "host/room/room_rules.h"

namespace orvane {

namespace {

Json figure(const std::optional<double>& v, int decimals) {
  if (!v || !std::isfinite(*v)) return nullptr;
  const double scale = std::pow(10.0, decimals);
  return std::round(*v * scale) / scale;
}

std::string format(const char* pattern, double a, double b = 0.0) {
  char text[160];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

}  // namespace

Json impulseJson(const ImpulseResponse& r) {
  return {{"impulse",
           {{"time_of_flight_ms", figure(r.timeOfFlightMs, 3)},
            {"band_hz", {figure(r.bandLowHz, 2), figure(r.bandHighHz, 2)}},
            {"peak_to_noise_db", figure(r.peakToNoiseDb, 1)},
            {"distortion_db", figure(r.distortionDb, 1)},
            {"excitation", r.risingSweep ? "rising sweep" : "broadband"},
            {"band_from", r.bandGiven ? "given" : "excitation"},
            {"peak_gain_db", figure(r.peakGainDb, 2)},
            {"sample_rate_hz", std::lround(r.sampleRate)},
            {"length_s", figure(static_cast<double>(r.h.size()) / r.sampleRate, 6)},
            {"file", r.name}}}};
}

std::string impulseText(const ImpulseResponse& r) {
  std::string out =
      "Impulse response of " + r.name +
      format(": %.0f Hz, %.3f s\n", r.sampleRate, static_cast<double>(r.h.size()) / r.sampleRate);
  out += std::string("  Excitation:       ") +
         (r.risingSweep ? "a rising sweep\n" : "broadband (no rising sweep)\n");
  out += format("  Band:             %.1f - %.1f Hz", r.bandLowHz, r.bandHighHz) +
         (r.bandGiven ? " (given)\n"
                      : format(" (the excitation's power within %.0f dB of its largest)\n",
                               kExcitationBandDb));
  out += format("  Time of flight:   %.3f ms\n", r.timeOfFlightMs);
  out += format("  Peak gain:        %.2f dB\n", r.peakGainDb);
  out += r.peakToNoiseDb ? format("  Peak to noise:    %.1f dB\n", *r.peakToNoiseDb)
                         : std::string("  Peak to noise:    no noise\n");
  if (r.distortionDb) {
    out += format("  Distortion:       %.1f dB re the linear response (before time zero)\n",
                  *r.distortionDb);
  } else if (r.risingSweep) {
    out += "  Distortion:       none above the noise\n";
  }
  return out;
}

}  // namespace orvane

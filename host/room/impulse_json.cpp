// The impulse response's figures as JSON and as text.
#include <cmath>
#include <cstdio>

#include "host/room/json_figure.h"
#include "host/room/impulse_response.h"
#include "host/room/room_rules.h"

namespace orvane {

namespace {

std::string format(const char* pattern, double a, double b = 0.0) {
  char text[160];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

}  // namespace

Json impulseJson(const ImpulseResponse& r) {
  return {{"impulse",
           {{"time_of_flight_ms", jsonFigure(r.timeOfFlightMs, 3)},
            {"band_hz", {jsonFigure(r.bandLowHz, 2), jsonFigure(r.bandHighHz, 2)}},
            {"peak_to_noise_db", jsonFigure(r.peakToNoiseDb, 1)},
            {"distortion_db", jsonFigure(r.distortionDb, 1)},
            {"excitation", r.risingSweep ? "rising sweep" : "broadband"},
            {"band_from", r.bandGiven ? "given" : "excitation"},
            {"peak_gain_db", jsonFigure(r.peakGainDb, 2)},
            {"sample_rate_hz", std::lround(r.sampleRate)},
            {"length_s", jsonFigure(static_cast<double>(r.h.size()) / r.sampleRate, 6)},
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

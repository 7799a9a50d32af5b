// The impulse response's figures as JSON and as text.
#include <cmath>
#include <cstdio>

#include "host/report/text_encoding.h"
#include "host/room/impulse_response.h"
#include "host/room/json_figure.h"
#include "host/room/room_rules.h"

namespace orvane {

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
      printed(": %.0f Hz, %.3f s\n", r.sampleRate, static_cast<double>(r.h.size()) / r.sampleRate);
  out += std::string("  Excitation:       ") +
         (r.risingSweep ? "a rising sweep\n" : "broadband (no rising sweep)\n");
  out += printed("  Band:             %.1f - %.1f Hz", r.bandLowHz, r.bandHighHz) +
         (r.bandGiven ? " (given)\n"
                      : printed(" (the excitation's power within %.0f dB of its largest)\n",
                                kExcitationBandDb));
  out += printed("  Time of flight:   %.3f ms\n", r.timeOfFlightMs);
  out += printed("  Peak gain:        %.2f dB\n", r.peakGainDb);
  out += r.peakToNoiseDb ? printed("  Peak to noise:    %.1f dB\n", *r.peakToNoiseDb)
                         : std::string("  Peak to noise:    no noise\n");
  if (r.distortionDb) {
    out += printed("  Distortion:       %.1f dB re the linear response (before time zero)\n",
                   *r.distortionDb);
  } else if (r.risingSweep) {
    out += "  Distortion:       none above the noise\n";
  }
  return out;
}

}  // namespace orvane

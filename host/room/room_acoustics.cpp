#include "host/room/room_acoustics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/assess/third_octaves.h"
#include "host/report/text_encoding.h"
#include "host/room/octave_filters.h"
#include "host/room/room_rules.h"

namespace orvane {

namespace {

// The least-squares line through the decay curve between the first samples at or below
// `range[0]` and at or below `range[1]`, dB re its start.
void fitRange(const std::vector<double>& curveDb, double fs, const double* range, const char* name,
              BandParameters* band, DecayTime* time) {
  std::size_t first = 0;
  while (first < curveDb.size() && curveDb[first] > range[0]) ++first;
  std::size_t last = first;
  while (last < curveDb.size() && curveDb[last] > range[1]) ++last;
  if (last >= curveDb.size() || last < first + 2) {
    band->notes.push_back(std::string(name) +
                          printed(": the decay does not fall to %.0f dB", range[1]));
    return;
  }
  const double count = static_cast<double>(last - first + 1);
  double meanT = 0.0, meanL = 0.0;
  for (std::size_t n = first; n <= last; ++n) {
    meanT += static_cast<double>(n) / fs;
    meanL += curveDb[n];
  }
  meanT /= count;
  meanL /= count;
  double stt = 0.0, sll = 0.0, stl = 0.0;
  for (std::size_t n = first; n <= last; ++n) {
    const double dt = static_cast<double>(n) / fs - meanT, dl = curveDb[n] - meanL;
    stt += dt * dt;
    sll += dl * dl;
    stl += dt * dl;
  }
  const double slope = stl / stt;
  if (!(slope < 0.0)) {
    band->notes.push_back(std::string(name) + ": the decay curve does not fall over its range");
    return;
  }
  time->seconds = -60.0 / slope;
  time->correlation = stl / std::sqrt(stt * sll);
  time->fromS = static_cast<double>(first) / fs;
  time->toS = static_cast<double>(last) / fs;
  time->line = {meanL - slope * meanT, slope};
}

// Every kDecayPictureStepMs: the decay curve, and the mean energy of each step from time
// zero, dB re the largest step.
void pictureCurves(const std::vector<double>& h, const Decay& d, const std::vector<double>& curveDb,
                   double fs, BandParameters* band) {
  const std::size_t step = std::max<std::size_t>(1, std::lround(kDecayPictureStepMs * fs / 1000.0));
  for (std::size_t n = 0; n < curveDb.size(); n += step) band->decayDb.push_back(curveDb[n]);
  double largest = 0.0;
  for (std::size_t start = d.onset; start + step <= h.size(); start += step) {
    double sum = 0.0;
    for (std::size_t i = start; i < start + step; ++i) sum += h[i] * h[i];
    band->energyDb.push_back(sum / static_cast<double>(step));
    largest = std::max(largest, band->energyDb.back());
  }
  for (double& e : band->energyDb) e = powerDb(e) - powerDb(largest);
}

BandParameters analyseBand(const std::vector<double>& h, double fs, double periodS) {
  BandParameters band;
  const Decay d = analyseDecay(h, fs, periodS);
  band.onsetMs = 1000.0 * static_cast<double>(d.onset) / fs;
  if (!d.decays) {
    band.notes.push_back("no decay stands above the noise");
    return band;
  }
  band.decayRangeDb = d.decayRangeDb;
  band.truncationMs = 1000.0 * static_cast<double>(d.truncation) / fs;
  const double total = d.schroeder[0];
  std::vector<double> curveDb(d.schroeder.size());
  for (std::size_t n = 0; n < curveDb.size(); ++n) curveDb[n] = powerDb(d.schroeder[n] / total);
  pictureCurves(h, d, curveDb, fs, &band);

  struct Range {
    const char* name;
    const double* db;
    DecayTime* time;
  };
  for (const Range& r : {Range{"EDT", kEdtRangeDb, &band.edt}, Range{"T20", kT20RangeDb, &band.t20},
                         Range{"T30", kT30RangeDb, &band.t30}}) {
    const double needed = -r.db[1] + kNoiseMarginDb;
    if (d.decayRangeDb < needed) {
      band.notes.push_back(std::string(r.name) +
                           printed(": the decay falls %.1f dB before the noise, %.0f dB needed",
                                   d.decayRangeDb, needed));
      continue;
    }
    fitRange(curveDb, fs, r.db, r.name, &band, r.time);
  }

  const double after50 = energyAfter(d, kC50Ms / 1000.0, fs);
  const double after80 = energyAfter(d, kC80Ms / 1000.0, fs);
  band.c50Db = powerDb(total - after50) - powerDb(after50);
  band.c80Db = powerDb(total - after80) - powerDb(after80);
  band.d50 = (total - after50) / total;
  // Centre time: the tail past the truncation point contributes its energy at its mean time.
  double moment = 0.0;
  for (std::size_t n = 0; n < d.truncation; ++n)
    moment += static_cast<double>(n) / fs * (d.schroeder[n] - d.schroeder[n + 1]);
  moment += d.tailEnergy * (static_cast<double>(d.truncation) / fs + d.tailSeconds);
  band.tsMs = 1000.0 * moment / total;
  return band;
}

}  // namespace

RoomParameters analyseRoom(const std::vector<double>& h, double sampleRate,
                           const std::string& name) {
  RoomParameters room;
  room.name = name;
  room.sampleRate = sampleRate;
  room.lengthS = static_cast<double>(h.size()) / sampleRate;
  for (const OctaveBand& b : octaveBands()) {
    BandParameters band;
    if (b.highHz >= sampleRate / 2.0) {
      band.notes.push_back(
          printed("the band reaches above half the sample rate (%.0f Hz)", sampleRate / 2.0));
    } else {
      band = analyseBand(filtered(h, octaveFilter(b, sampleRate)), sampleRate, 1.0 / b.midbandHz);
    }
    band.nominalHz = b.nominalHz;
    band.midbandHz = b.midbandHz;
    room.bands.push_back(band);
  }
  room.broadband = analyseBand(h, sampleRate, 0.0);
  return room;
}

}  // namespace orvane

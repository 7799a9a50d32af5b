#include "host/room/decay_analysis.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "host/assess/third_octaves.h"
#include "host/room/room_rules.h"

namespace orvane {

namespace {

// The mean square per whole interval of `width` samples, at the intervals' centres.
struct Intervals {
  std::vector<double> t;   // s from the onset
  std::vector<double> db;  // dB
};

Intervals intervalLevels(const std::vector<double>& e, std::size_t width, double fs) {
  Intervals iv;
  for (std::size_t start = 0; start + width <= e.size(); start += width) {
    double sum = 0.0;
    for (std::size_t i = start; i < start + width; ++i) sum += e[i];
    iv.t.push_back((static_cast<double>(start) + 0.5 * static_cast<double>(width - 1)) / fs);
    iv.db.push_back(powerDb(sum / static_cast<double>(width)));
  }
  return iv;
}

double meanOf(const std::vector<double>& e, std::size_t from) {
  if (from >= e.size()) return 0.0;
  double sum = 0.0;
  for (std::size_t i = from; i < e.size(); ++i) sum += e[i];
  return sum / static_cast<double>(e.size() - from);
}

// Least squares over the finite levels of intervals [first, last); none below two points or
// for a line that does not fall.
std::optional<DecayLine> fallingLine(const Intervals& iv, std::size_t first, std::size_t last) {
  double n = 0, st = 0, sl = 0, stt = 0, stl = 0;
  for (std::size_t i = first; i < last && i < iv.t.size(); ++i) {
    if (!std::isfinite(iv.db[i])) continue;
    n += 1;
    st += iv.t[i];
    sl += iv.db[i];
    stt += iv.t[i] * iv.t[i];
    stl += iv.t[i] * iv.db[i];
  }
  const double det = n * stt - st * st;
  if (n < 2 || det <= 0.0) return std::nullopt;
  const double slope = (n * stl - st * sl) / det;
  if (!(slope < 0.0)) return std::nullopt;
  return DecayLine{(sl - slope * st) / n, slope};
}

std::size_t loudest(const Intervals& iv) {
  return static_cast<std::size_t>(std::max_element(iv.db.begin(), iv.db.end()) - iv.db.begin());
}

// The first interval at or after `from` whose level lies below `db` (the count when none).
std::size_t firstBelow(const Intervals& iv, std::size_t from, double db) {
  std::size_t i = from;
  while (i < iv.db.size() && !(iv.db[i] < db)) ++i;
  return i;
}

double crossing(const DecayLine& line, double noiseDb) {
  return (noiseDb - line.interceptDb) / line.slopeDbPerS;
}

// Lundeby's iteration over the energy `e` from the onset. Sets the noise, the late decay and
// the truncation point (s) in `d`; false when no decay stands above the noise.
bool lundeby(const std::vector<double>& e, double fs, double periodS, Decay* d, double* cross) {
  const std::size_t tail =
      std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(kNoiseTailShare * e.size())));
  const std::size_t lastTenth = e.size() - std::min(tail, e.size());
  double noise = meanOf(e, lastTenth);
  const double firstS =
      std::max(kLundebyFirstIntervalMs / 1000.0, kLundebyFirstIntervalPeriods * periodS);
  Intervals iv = intervalLevels(e, std::max<std::size_t>(1, std::lround(firstS * fs)), fs);
  if (iv.t.size() < 2) return false;
  const std::size_t start = loudest(iv);
  std::optional<DecayLine> line =
      fallingLine(iv, start, firstBelow(iv, start, powerDb(noise) + kLundebyFirstFitAboveNoiseDb));
  if (!line) return false;
  double tc = crossing(*line, powerDb(noise));
  for (int round = 0; round < kLundebyIterations; ++round) {
    const double secondsPer10Db = -10.0 / line->slopeDbPerS;
    const std::size_t width =
        std::max<std::size_t>(1, std::lround(fs * secondsPer10Db / kLundebyIntervalsPer10Db));
    iv = intervalLevels(e, width, fs);
    if (iv.t.size() < 2) break;
    // The noise from well past the crossing, but over the last tenth at least.
    const double noiseFromS = tc + kLundebyNoiseBelowCrossingDb * secondsPer10Db / 10.0;
    const std::size_t from = noiseFromS * fs >= static_cast<double>(lastTenth) || noiseFromS < 0.0
                                 ? lastTenth
                                 : static_cast<std::size_t>(noiseFromS * fs);
    const double newNoise = meanOf(e, from);
    if (!(newNoise > 0.0)) break;
    noise = newNoise;
    const double bottom = powerDb(noise) + kLundebyLateAboveNoiseDb;
    const std::size_t first = firstBelow(iv, loudest(iv), bottom + kLundebyLateRangeDb + 1e-9);
    const std::optional<DecayLine> late = fallingLine(iv, first, firstBelow(iv, first, bottom));
    if (!late) break;
    line = late;
    const double newTc = crossing(*line, powerDb(noise));
    const bool settled = std::fabs(newTc - tc) < static_cast<double>(width) / fs;
    tc = newTc;
    if (settled) break;
  }
  d->noiseEnergy = noise;
  d->late = *line;
  *cross = tc;
  return true;
}

}  // namespace

Decay analyseDecay(const std::vector<double>& h, double sampleRate, double periodS) {
  Decay d;
  double peak = 0.0;
  for (double v : h) peak = std::max(peak, v * v);
  if (!(peak > 0.0)) return d;
  const double onsetLevel = peak * std::pow(10.0, -kOnsetBelowPeakDb / 10.0);
  while (h[d.onset] * h[d.onset] < onsetLevel) ++d.onset;
  std::vector<double> e(h.size() - d.onset);
  for (std::size_t i = 0; i < e.size(); ++i) e[i] = h[d.onset + i] * h[d.onset + i];

  const std::size_t tail =
      std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(kNoiseTailShare * e.size())));
  if (meanOf(e, e.size() - std::min(tail, e.size())) == 0.0) {
    // No noise at all: the decay runs to the last sound, and nothing is cut off.
    std::size_t last = e.size();
    while (last > 0 && e[last - 1] == 0.0) --last;
    d.truncation = last;
    d.decays = last >= 2;
  } else {
    double tc = 0.0;
    if (!lundeby(e, sampleRate, periodS, &d, &tc)) return d;
    d.decays = true;
    const double endS = static_cast<double>(e.size()) / sampleRate;
    tc = std::clamp(tc, 1.0 / sampleRate, endS);
    d.truncation = std::min(e.size(), static_cast<std::size_t>(std::lround(tc * sampleRate)));
    const double tcS = static_cast<double>(d.truncation) / sampleRate;
    d.tailSeconds = -10.0 / (d.late.slopeDbPerS * std::log(10.0));
    const double perSample = std::pow(10.0, (d.late.interceptDb + d.late.slopeDbPerS * tcS) / 10.0);
    d.tailEnergy = perSample * sampleRate * d.tailSeconds;
  }
  d.schroeder.assign(d.truncation + 1, d.tailEnergy);
  for (std::size_t n = d.truncation; n-- > 0;) d.schroeder[n] = d.schroeder[n + 1] + e[n];
  const double last =
      d.tailEnergy > 0.0 || d.truncation == 0 ? d.tailEnergy : d.schroeder[d.truncation - 1];
  d.decayRangeDb = powerDb(d.schroeder[0]) - powerDb(last);
  return d;
}

double energyAfter(const Decay& d, double seconds, double sampleRate) {
  const double at = std::max(0.0, seconds * sampleRate);
  if (at <= static_cast<double>(d.truncation))
    return d.schroeder[static_cast<std::size_t>(std::lround(at))];
  if (!(d.tailSeconds > 0.0)) return 0.0;
  return d.tailEnergy *
         std::exp(-(at - static_cast<double>(d.truncation)) / sampleRate / d.tailSeconds);
}

}  // namespace orvane

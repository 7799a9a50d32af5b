#include "host/assess/third_octaves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvane {

double thirdOctaveCentreHz(int x) { return 1000.0 * std::pow(10.0, x / 10.0); }

double thirdOctaveEdgeHz(int x, int side) {
  return thirdOctaveCentreHz(x) * std::pow(10.0, side * kHalfBandDecades);
}

int thirdOctaveIndexOf(double hz) {
  return static_cast<int>(std::lround(10.0 * std::log10(hz / 1000.0)));
}

std::vector<ThirdOctaveBand> thirdOctaveBandsWithin(double loHz, double hiHz, double binHz,
                                                    std::size_t lastBin) {
  std::vector<ThirdOctaveBand> bands;
  const double tolerance = 1e-9;
  // The lowest band whose upper edge reaches past loHz, up to the last below hiHz.
  const int first = static_cast<int>(std::floor(10.0 * std::log10(loHz / 1000.0))) - 1;
  for (int x = first;; ++x) {
    ThirdOctaveBand b;
    b.index = x;
    b.centreHz = thirdOctaveCentreHz(x);
    b.lowHz = thirdOctaveEdgeHz(x, -1);
    b.highHz = thirdOctaveEdgeHz(x, 1);
    if (b.lowHz > hiHz * (1.0 + tolerance)) break;
    if (b.lowHz < loHz * (1.0 - tolerance) || b.highHz > hiHz * (1.0 + tolerance)) continue;
    std::size_t k = static_cast<std::size_t>(std::floor(b.lowHz / binHz));
    while (static_cast<double>(k) * binHz < b.lowHz) ++k;
    b.firstBin = k;
    while (k <= lastBin && static_cast<double>(k) * binHz < b.highHz) ++k;
    b.endBin = k;
    if (b.endBin > b.firstBin) bands.push_back(b);
  }
  return bands;
}

std::vector<double> bandMeans(const std::vector<double>& power,
                              const std::vector<ThirdOctaveBand>& bands) {
  std::vector<double> means;
  means.reserve(bands.size());
  for (const ThirdOctaveBand& b : bands) {
    double sum = 0.0;
    for (std::size_t k = b.firstBin; k < b.endBin; ++k) sum += power[k];
    means.push_back(sum / static_cast<double>(b.endBin - b.firstBin));
  }
  return means;
}

double powerDb(double power) {
  return power > 0.0 ? 10.0 * std::log10(power) : -std::numeric_limits<double>::infinity();
}

std::vector<double> powerDb(const std::vector<double>& power) {
  std::vector<double> db;
  db.reserve(power.size());
  for (double p : power) db.push_back(powerDb(p));
  return db;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

}  // namespace orvane

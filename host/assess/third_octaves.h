// The base-ten third-octave bands of IEC 61260-1 and the levels of a response in them.
#pragma once

#include <cstddef>
#include <vector>

namespace orvane {

// IEC 61260-1 base-ten bands: band x has its midband at 1000 * 10^(x/10) Hz and its edges a
// factor 10^(1/20) (kHalfBandDecades in log10 f) either side.
constexpr double kHalfBandDecades = 0.05;
double thirdOctaveCentreHz(int x);
// The lower (side -1) or upper (side +1) edge of band x, Hz.
double thirdOctaveEdgeHz(int x, int side);
// The band x whose midband lies nearest `hz`.
int thirdOctaveIndexOf(double hz);

struct ThirdOctaveBand {
  int index = 0;             // x: the midband is 1000 * 10^(x/10) Hz
  double centreHz = 0;       // midband frequency, Hz
  double lowHz = 0;          // lower edge, midband * 10^(-1/20), Hz
  double highHz = 0;         // upper edge, midband * 10^(+1/20), Hz
  std::size_t firstBin = 0;  // the transform's bins k with lowHz <= k * binHz < highHz
  std::size_t endBin = 0;    // (one past the last)
};

// The bands lying wholly inside [loHz, hiHz] (edges compared with a relative tolerance of 1e-9,
// so a band edge given as the limit counts as inside) that hold at least one bin of a
// transform with bins 0 ... lastBin spaced binHz apart. Ascending.
std::vector<ThirdOctaveBand> thirdOctaveBandsWithin(double loHz, double hiHz, double binHz,
                                                    std::size_t lastBin);

// A response's band levels: the mean of power[k] (|Y(k)|^2) over each band's bins, so a flat
// response reads the same in every band whatever the band's width. Linear power, not dB.
std::vector<double> bandMeans(const std::vector<double>& power,
                              const std::vector<ThirdOctaveBand>& bands);

// 10 log10 of a power ratio (-inf for 0), and of each value of a list.
double powerDb(double power);
std::vector<double> powerDb(const std::vector<double>& power);

// The median of the values (the mean of the middle two of an even count); v is not empty.
double median(std::vector<double> v);

}  // namespace orvane

#include "host/assess/assessment.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

#include "host/assess/fft_convolution.h"
#include "host/assess/third_octaves.h"
#include "host/errors.h"

namespace orvane {

namespace {

using Signal = std::vector<double>;

// The default pass band looks at the audible bands only, 20 Hz ... 20 kHz (x = -17 ... 13).
constexpr int kLowestBand = -17;
constexpr int kHighestBand = 13;
constexpr double kDefaultRangeDb = 30.0;
constexpr double kAroundPeakMs = 20.0;

double bandEdge(int x, int side) {
  return 1000.0 * std::pow(10.0, x / 10.0) * std::pow(10.0, side / 20.0);
}

// The paths of one channel: what the signal meant for it meets on its way (wanted), what the
// other input's signal leaves there (unwanted, cross-talk only), and the unequalised response
// it is judged against.
struct ChannelPaths {
  std::string name;
  Spectrum wanted;
  std::optional<Spectrum> unwanted;
  const Spectrum* direct = nullptr;
};

Signal slice(const Signal& s, long from, long count) {
  return Signal(s.begin() + from, s.begin() + from + count);
}

long peakIndex(const Signal& s) {
  long best = 0;
  for (long i = 1; i < static_cast<long>(s.size()); ++i) {
    if (std::fabs(s[i]) > std::fabs(s[best])) best = i;
  }
  return best;
}

std::vector<double> power(const Spectrum& X) {
  std::vector<double> p(X.size());
  for (std::size_t k = 0; k < X.size(); ++k) p[k] = std::norm(X[k]);
  return p;
}

// A band with no level at all (a path that is silent there) leaves no flatness to state:
// infinite, which the renderings show as null.
Flatness flatnessOf(const std::vector<double>& levelsDb) {
  for (double l : levelsDb) {
    if (!std::isfinite(l)) {
      const double inf = std::numeric_limits<double>::infinity();
      return Flatness{inf, inf};
    }
  }
  double mean = 0.0;
  for (double l : levelsDb) mean += l;
  mean /= static_cast<double>(levelsDb.size());
  Flatness f;
  double squares = 0.0;
  for (double l : levelsDb) {
    f.maxDb = std::max(f.maxDb, std::fabs(l - mean));
    squares += (l - mean) * (l - mean);
  }
  f.rmsDb = std::sqrt(squares / static_cast<double>(levelsDb.size()));
  return f;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

double toDb(double ratio) {
  return ratio > 0.0 ? 10.0 * std::log10(ratio) : -std::numeric_limits<double>::infinity();
}

// The band from the lowest to the highest audible third-octave band whose level is within
// 30 dB of the loudest band's, for every unequalised response (their common part).
std::pair<double, double> defaultPassBand(const std::vector<ChannelPaths>& paths, double binHz,
                                          std::size_t lastBin, double nyquist) {
  const auto bands = thirdOctaveBandsWithin(
      bandEdge(kLowestBand, -1), std::min(nyquist, bandEdge(kHighestBand, 1)), binHz, lastBin);
  if (bands.empty()) throw badInput("the response's sample rate leaves no third-octave band");
  double lo = 0.0, hi = std::numeric_limits<double>::infinity();
  for (const ChannelPaths& p : paths) {
    const auto levels = powerDb(bandMeans(power(*p.direct), bands));
    const double loudest = *std::max_element(levels.begin(), levels.end());
    std::size_t first = bands.size(), last = 0;
    for (std::size_t b = 0; b < bands.size(); ++b) {
      if (levels[b] >= loudest - kDefaultRangeDb) {
        first = std::min(first, b);
        last = b;
      }
    }
    if (first == bands.size() || !std::isfinite(loudest)) {
      throw badInput("the response of the " + p.name + " channel is silent");
    }
    lo = std::max(lo, bands[first].lowHz);
    hi = std::min(hi, bands[last].highHz);
  }
  if (lo >= hi) throw badInput("the channels' responses share no pass band");
  return {lo, hi};
}

void judgeTiming(const Signal& y, long filterDelay, int sampleRate, ChannelAssessment* c) {
  const long peak = peakIndex(y);
  const double msPerSample = 1000.0 / sampleRate;
  c->peakOffsetMs = (peak - filterDelay) * msPerSample;
  const long window = static_cast<long>(std::floor(sampleRate / 1000.0 + 1e-9));
  double total = 0.0, main = 0.0, early = 0.0, earlyPeak = 0.0;
  long earlyAt = -1;
  for (long n = 0; n < static_cast<long>(y.size()); ++n) {
    const double e = y[n] * y[n];
    total += e;
    if (n >= peak - window && n <= peak + window) main += e;
    if (n < peak - window) {
      early += e;
      if (std::fabs(y[n]) > earlyPeak) {
        earlyPeak = std::fabs(y[n]);
        earlyAt = n;
      }
    }
  }
  c->mainShare = total > 0.0 ? main / total : 0.0;
  c->preRingingDb = total > 0.0 ? toDb(early / total) : toDb(0.0);
  if (earlyAt >= 0 && y[peak] != 0.0) {
    c->preEchoDb = 20.0 * std::log10(earlyPeak / std::fabs(y[peak]));
    c->preEchoMs = (peak - earlyAt) * msPerSample;
  }
  const long reach = static_cast<long>(std::floor(kAroundPeakMs * sampleRate / 1000.0));
  for (long n = std::max(0L, peak - reach);
       n <= std::min(static_cast<long>(y.size()) - 1, peak + reach); ++n) {
    c->aroundPeakMs.push_back((n - peak) * msPerSample);
    c->aroundPeak.push_back(y[n]);
  }
}

FilterGain filterGainOf(const std::vector<Spectrum>& filters, double binHz, double bandLo,
                        double bandHi) {
  FilterGain g;
  g.maxDb = -std::numeric_limits<double>::infinity();
  g.atBandEdgesDb[0] = g.atBandEdgesDb[1] = g.maxDb;
  const std::size_t lastBin = filters[0].size() - 1;
  auto nearest = [&](double hz) {
    return std::min(lastBin, static_cast<std::size_t>(std::llround(hz / binHz)));
  };
  const std::size_t edges[2] = {nearest(bandLo), nearest(bandHi)};
  for (double hz = 10.0; hz <= lastBin * binHz * (1 + 1e-12); hz *= std::pow(2.0, 1.0 / 12.0)) {
    g.gridHz.push_back(hz);
  }
  for (const Spectrum& F : filters) {
    for (std::size_t k = 0; k <= lastBin; ++k) {
      const double db = toDb(std::norm(F[k]));
      if (db > g.maxDb) {
        g.maxDb = db;
        g.maxHz = k * binHz;
      }
    }
    for (int e = 0; e < 2; ++e) {
      g.atBandEdgesDb[e] = std::max(g.atBandEdgesDb[e], toDb(std::norm(F[edges[e]])));
    }
    std::vector<double> curve;
    for (double hz : g.gridHz) curve.push_back(toDb(std::norm(F[nearest(hz)])));
    g.channelDb.push_back(curve);
  }
  return g;
}

}  // namespace

const char* filterModeName(FilterMode mode) {
  switch (mode) {
    case FilterMode::Mono:
      return "mono";
    case FilterMode::DualMono:
      return "dual";
    case FilterMode::Stereo:
      return "stereo";
    case FilterMode::TwoByTwo:
      return "2x2";
  }
  return "";
}

long maxAssessmentTransform() { return sizeof(void*) >= 8 ? 1L << 24 : 1L << 22; }

void checkAssessmentShape(FilterMode mode, int responseChannels, long responseFrames,
                          int filterChannels, long filterFrames, const std::string& responseName,
                          const std::string& filterName) {
  const std::string m = filterModeName(mode);
  if (responseFrames <= 0) throw badInput(responseName + ": the response is empty");
  if (filterFrames <= 0) throw badInput(filterName + ": the filter is empty");
  if (mode == FilterMode::Mono) {
    if (filterChannels != 1) throw badInput(filterName + ": mode mono takes a mono filter");
    if (responseChannels != 1)
      throw badInput(responseName + ": a mono filter needs a mono response (or another --mode)");
  } else {
    if (filterChannels != 2)
      throw badInput(filterName + ": mode " + m + " takes a stereo filter, not a mono one");
    if (responseChannels != 2)
      throw badInput(responseName + ": mode " + m + " takes a stereo response");
  }
  long responseLength = responseFrames, filterLength = filterFrames;
  if (mode == FilterMode::TwoByTwo) {
    if (filterFrames % 2) {
      throw badInput(filterName + ": a 2x2 filter holds two halves, but has an odd number of " +
                     "frames (" + std::to_string(filterFrames) + ")");
    }
    if (responseFrames % 2) {
      throw badInput(responseName + ": a 2x2 response holds two halves, but has an odd " +
                     "number of frames (" + std::to_string(responseFrames) + ")");
    }
    responseLength /= 2;
    filterLength /= 2;
  }
  // Lengths compared before adding, so that no sum can overflow.
  const long limit = maxAssessmentTransform();
  if (responseLength > limit || filterLength > limit || responseLength + filterLength - 1 > limit) {
    throw badInput((responseLength > limit ? responseName : filterName) + ": a filter of " +
                   std::to_string(filterLength) + " samples against a response of " +
                   std::to_string(responseLength) + " needs a transform longer than the " +
                   std::to_string(limit) + " points that fit in memory");
  }
}

Assessment assessFilter(const AssessmentInput& in) {
  if (in.sampleRate <= 0) throw badInput("the sample rate must be positive");
  if (in.response.empty() || in.filter.empty()) throw badInput("no response or no filter");
  checkAssessmentShape(in.mode, static_cast<int>(in.response.size()),
                       static_cast<long>(in.response[0].size()), static_cast<int>(in.filter.size()),
                       static_cast<long>(in.filter[0].size()), "the response", "the filter");
  const bool twoByTwo = in.mode == FilterMode::TwoByTwo;
  const long M = static_cast<long>(in.response[0].size()) / (twoByTwo ? 2 : 1);
  const long L = static_cast<long>(in.filter[0].size()) / (twoByTwo ? 2 : 1);
  const std::size_t outLength = static_cast<std::size_t>(M + L - 1);
  // At least a second's worth of points, so bins lie at most 1 Hz apart and the 20 Hz band
  // (4.6 Hz wide) holds several of them even for short responses and filters.
  const std::size_t n =
      transformLengthFor(std::max(outLength, static_cast<std::size_t>(in.sampleRate)));
  if (n > static_cast<std::size_t>(maxAssessmentTransform())) {
    throw badInput("a sample rate of " + std::to_string(in.sampleRate) +
                   " Hz needs a transform longer than fits in memory");
  }
  const double binHz = static_cast<double>(in.sampleRate) / static_cast<double>(n);
  const std::size_t lastBin = n / 2;
  auto spectrum = [&](const Signal& s) { return realSpectrum(s.data(), s.size(), n); };

  Assessment a;
  a.sampleRate = in.sampleRate;
  a.mode = in.mode;
  a.filterLength = L;
  a.transformLength = static_cast<long>(n);

  // Acoustic paths h[speaker][ear] and the network's F[input][speaker] (0 left, 1 right); a
  // mono or dual-mono channel is its own speaker and ear.
  std::vector<Spectrum> filters;  // each filter channel as the file has it, for the gain
  std::vector<Spectrum> responses;
  std::vector<ChannelPaths> paths;
  if (in.mode == FilterMode::Mono || in.mode == FilterMode::DualMono) {
    for (std::size_t c = 0; c < in.filter.size(); ++c) {
      responses.push_back(spectrum(in.response[c]));
      filters.push_back(spectrum(in.filter[c]));
    }
    for (std::size_t c = 0; c < in.filter.size(); ++c) {
      ChannelPaths p;
      p.name = in.mode == FilterMode::Mono ? "mono" : (c == 0 ? "left" : "right");
      p.wanted = multiplySpectra(responses[c], filters[c]);
      p.direct = &responses[c];
      paths.push_back(std::move(p));
    }
  } else {
    // hLL, hLR (left speaker at the left and right ears), hRL, hRR; LL, LR, RL, RR.
    Signal h[2][2], f[2][2];
    if (twoByTwo) {
      for (int spk = 0; spk < 2; ++spk) {
        for (int ear = 0; ear < 2; ++ear) h[spk][ear] = slice(in.response[ear], spk * M, M);
      }
      for (int input = 0; input < 2; ++input) {
        for (int spk = 0; spk < 2; ++spk) f[input][spk] = slice(in.filter[spk], input * L, L);
      }
    } else {
      // The symmetric set-up: hRL = hLR, hRR = hLL; RL = LR, RR = LL.
      h[0][0] = h[1][1] = in.response[0];
      h[0][1] = h[1][0] = in.response[1];
      f[0][0] = f[1][1] = in.filter[0];
      f[0][1] = f[1][0] = in.filter[1];
    }
    Spectrum H[2][2], F[2][2];
    for (int i = 0; i < 2; ++i) {
      for (int j = 0; j < 2; ++j) {
        H[i][j] = spectrum(h[i][j]);
        F[i][j] = spectrum(f[i][j]);
      }
    }
    // The file's channel order: LL, LR (and RL, RR for 2x2).
    filters = {F[0][0], F[0][1]};
    if (twoByTwo) filters.insert(filters.end(), {F[1][0], F[1][1]});
    responses = {H[0][0], H[1][1]};
    // Input i reaches ear e through every speaker: sum over spk of h[spk][e] * F[i][spk].
    auto path = [&](int input, int ear) {
      Spectrum s = multiplySpectra(H[0][ear], F[input][0]);
      addProduct(&s, H[1][ear], F[input][1]);
      return s;
    };
    for (int ear = 0; ear < 2; ++ear) {
      ChannelPaths p;
      p.name = ear == 0 ? "left ear" : "right ear";
      p.wanted = path(ear, ear);
      p.unwanted = path(1 - ear, ear);
      p.direct = &responses[ear];
      paths.push_back(std::move(p));
    }
  }

  for (std::size_t c = 0; c < paths.size(); ++c) {
    if (!std::any_of(paths[c].direct->begin(), paths[c].direct->end(),
                     [](const std::complex<double>& v) { return std::norm(v) > 0.0; })) {
      throw badInput("the response of the " + paths[c].name + " channel is silent");
    }
  }
  const bool filterSounds = std::any_of(in.filter.begin(), in.filter.end(), [](const Signal& s) {
    return std::any_of(s.begin(), s.end(), [](double v) { return v != 0.0; });
  });
  if (!filterSounds) throw badInput("the filter is silent: every sample is 0");

  // The pass band and its bands.
  const double nyquist = in.sampleRate / 2.0;
  if (in.bandLowHz && in.bandHighHz) {
    if (!(*in.bandLowHz > 0.0 && *in.bandLowHz < *in.bandHighHz && *in.bandHighHz <= nyquist)) {
      throw badInput("--band must lie within 0 ... " + std::to_string(in.sampleRate / 2) +
                     " Hz, low before high");
    }
    a.bandLowHz = *in.bandLowHz;
    a.bandHighHz = *in.bandHighHz;
  } else {
    std::tie(a.bandLowHz, a.bandHighHz) = defaultPassBand(paths, binHz, lastBin, nyquist);
  }
  const auto bands = thirdOctaveBandsWithin(a.bandLowHz, a.bandHighHz, binHz, lastBin);
  if (bands.empty()) throw badInput("no third-octave band lies wholly inside the pass band");
  std::size_t passFirst = bands.front().firstBin, passEnd = bands.back().endBin;

  for (const ChannelPaths& p : paths) {
    ChannelAssessment c;
    c.name = p.name;
    for (const auto& b : bands) c.bandCentreHz.push_back(b.centreHz);
    const auto directPower = power(*p.direct);
    c.bandBeforeDb = powerDb(bandMeans(directPower, bands));
    c.bandAfterDb = powerDb(bandMeans(power(p.wanted), bands));
    c.before = flatnessOf(c.bandBeforeDb);
    c.after = flatnessOf(c.bandAfterDb);
    double inBand = 0.0;
    for (std::size_t k = passFirst; k < passEnd; ++k) inBand += directPower[k];
    c.inBandPowerGain = inBand / static_cast<double>(passEnd - passFirst);
    if (p.unwanted) {
      const auto unwantedDb = powerDb(bandMeans(power(*p.unwanted), bands));
      for (std::size_t b = 0; b < bands.size(); ++b) {
        c.separationDb.push_back(c.bandAfterDb[b] - unwantedDb[b]);
      }
      c.separationMinDb = *std::min_element(c.separationDb.begin(), c.separationDb.end());
      c.separationMedianDb = median(c.separationDb);
    }
    const Signal y = inverseRealSpectrum(p.wanted, n, outLength);
    judgeTiming(y, L / 2, in.sampleRate, &c);
    a.channels.push_back(std::move(c));
  }
  a.filterGain = filterGainOf(filters, binHz, a.bandLowHz, a.bandHighHz);
  a.warnings = assessmentWarnings(a, in.beta);
  return a;
}

}  // namespace orvane

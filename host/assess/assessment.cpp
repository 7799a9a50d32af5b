#include "host/assess/assessment.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

#include "host/assess/assessment_rules.h"
#include "host/assess/fft_convolution.h"
#include "host/assess/filter_gain.h"
#include "host/assess/pre_echo.h"
#include "host/assess/third_octaves.h"
#include "host/errors.h"

namespace orvane {

namespace {

using Signal = std::vector<double>;

constexpr double kAroundPeakMs = 20.0;

// The paths of one channel: what the signal meant for it meets on its way (wanted), what the
// other input's signal leaves there (unwanted, cross-talk only), the unequalised response it
// is judged against, and where the filter means its main arrival to land.
struct ChannelPaths {
  std::string name;
  Spectrum wanted;
  std::optional<Spectrum> unwanted;
  const Spectrum* direct = nullptr;
  // What the inversion divides by: |H|^2 of the channel, |det H|^2 of a network.
  const std::vector<double>* inverted = nullptr;
  long intendedArrival = 0;  // samples: the direct path's main peak + its filter's
};

// The spectra of one assessment and the paths they make.
struct Network {
  std::size_t n = 0;          // transform points
  std::size_t outLength = 0;  // samples of each equalised response
  long L = 0;                 // samples of each filter
  std::vector<Spectrum> responses;
  std::vector<std::vector<double>> inverted;
  std::vector<ChannelPaths> paths;
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

double meanOf(const std::vector<double>& v) {
  double sum = 0.0;
  for (double x : v) sum += x;
  return sum / static_cast<double>(v.size());
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
  const double mean = meanOf(levelsDb);
  Flatness f;
  double squares = 0.0;
  for (double l : levelsDb) {
    f.maxDb = std::max(f.maxDb, std::fabs(l - mean));
    squares += (l - mean) * (l - mean);
  }
  f.rmsDb = std::sqrt(squares / static_cast<double>(levelsDb.size()));
  return f;
}

long samplesIn(double ms, int sampleRate) {
  return static_cast<long>(std::floor(ms * sampleRate / 1000.0 + 1e-9));
}

void judgeTiming(const Signal& y, long intended, int sampleRate, ChannelAssessment* c) {
  const long peak = peakIndex(y);
  const double msPerSample = 1000.0 / sampleRate;
  c->peakOffsetMs = (peak - intended) * msPerSample;
  c->intendedArrivalMs = intended * msPerSample;
  const long window = samplesIn(kMainWindowMs, sampleRate);
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
  c->preRingingDb = total > 0.0 ? powerDb(early / total) : powerDb(0.0);
  if (earlyAt >= 0 && y[peak] != 0.0) {
    c->preEchoDb = 20.0 * std::log10(earlyPeak / std::fabs(y[peak]));
    c->preEchoMs = (peak - earlyAt) * msPerSample;
  }
  const long reach = samplesIn(kAroundPeakMs, sampleRate);
  for (long n = std::max(0L, peak - reach);
       n <= std::min(static_cast<long>(y.size()) - 1, peak + reach); ++n) {
    c->aroundPeakMs.push_back((n - peak) * msPerSample);
    c->aroundPeak.push_back(y[n]);
  }
}

// Every position's response, `response` first.
std::vector<const std::vector<Signal>*> responsesOf(const AssessmentInput& in) {
  std::vector<const std::vector<Signal>*> all = {&in.response};
  for (const auto& r : in.morePositions) all.push_back(&r);
  return all;
}

std::vector<std::string> positionNamesOf(const AssessmentInput& in) {
  const std::size_t count = 1 + in.morePositions.size();
  if (!in.positionNames.empty() && in.positionNames.size() != count)
    throw badInput("the positions' names do not match their responses");
  std::vector<std::string> names = in.positionNames;
  for (std::size_t p = names.size(); p < count; ++p)
    names.push_back("position " + std::to_string(p + 1));
  return names;
}

void checkInput(const AssessmentInput& in, const std::vector<std::string>& names) {
  if (in.sampleRate <= 0) throw badInput("the sample rate must be positive");
  if (in.filter.empty()) throw badInput("no filter");
  const auto responses = responsesOf(in);
  for (std::size_t p = 0; p < responses.size(); ++p) {
    const std::vector<Signal>& r = *responses[p];
    const std::string name = responses.size() > 1 ? names[p] : "the response";
    if (r.empty()) throw badInput(name + ": no response");
    checkAssessmentShape(in.mode, static_cast<int>(r.size()), static_cast<long>(r[0].size()),
                         static_cast<int>(in.filter.size()), static_cast<long>(in.filter[0].size()),
                         name, "the filter");
    checkFinite(r, name);
  }
  checkFinite(in.filter, "the filter");
  const bool filterSounds = std::any_of(in.filter.begin(), in.filter.end(), [](const Signal& s) {
    return std::any_of(s.begin(), s.end(), [](double v) { return v != 0.0; });
  });
  if (!filterSounds) throw badInput("the filter is silent: every sample is 0");
}

// Points of the transform: the smallest power of two holding the longest position's whole
// convolution and at least a second, so bins lie at most 1 Hz apart and the 20 Hz band
// (4.6 Hz wide) holds several of them even for short responses and filters; one for all
// positions, so their bands share their bins.
std::size_t transformPointsOf(const AssessmentInput& in) {
  const std::size_t halves = in.mode == FilterMode::TwoByTwo ? 2 : 1;
  std::size_t longest = static_cast<std::size_t>(in.sampleRate);
  for (const std::vector<Signal>* r : responsesOf(in))
    longest = std::max(longest, ((*r)[0].size() + in.filter[0].size()) / halves - 1);
  const std::size_t n = transformLengthFor(longest);
  if (n > static_cast<std::size_t>(maxAssessmentTransform())) {
    throw badInput("a sample rate of " + std::to_string(in.sampleRate) +
                   " Hz needs a transform longer than fits in memory");
  }
  return n;
}

// The spectra and paths. Acoustic paths h[speaker][ear] and the network's F[input][speaker]
// (0 left, 1 right); a mono or dual-mono channel is its own speaker and ear.
Network networkOf(const AssessmentInput& in, const std::vector<Signal>& response, std::size_t n) {
  const bool twoByTwo = in.mode == FilterMode::TwoByTwo;
  Network w;
  const long M = static_cast<long>(response[0].size()) / (twoByTwo ? 2 : 1);
  w.L = static_cast<long>(in.filter[0].size()) / (twoByTwo ? 2 : 1);
  w.outLength = static_cast<std::size_t>(M + w.L - 1);
  w.n = n;
  auto spectrum = [&](const Signal& s) { return realSpectrum(s.data(), s.size(), w.n); };
  // Reserved so that the paths' pointers into them stay valid.
  w.responses.reserve(2);
  w.inverted.reserve(2);
  if (in.mode == FilterMode::Mono || in.mode == FilterMode::DualMono) {
    for (std::size_t c = 0; c < in.filter.size(); ++c) {
      w.responses.push_back(spectrum(response[c]));
      w.inverted.push_back(power(w.responses.back()));
    }
    for (std::size_t c = 0; c < in.filter.size(); ++c) {
      ChannelPaths p;
      p.name = in.mode == FilterMode::Mono ? "mono" : (c == 0 ? "left" : "right");
      p.wanted = multiplySpectra(w.responses[c], spectrum(in.filter[c]));
      p.direct = &w.responses[c];
      p.inverted = &w.inverted[c];
      p.intendedArrival = peakIndex(response[c]) + peakIndex(in.filter[c]);
      w.paths.push_back(std::move(p));
    }
    return w;
  }
  // hLL, hLR (left speaker at the left and right ears), hRL, hRR; LL, LR, RL, RR.
  Signal h[2][2], f[2][2];
  if (twoByTwo) {
    for (int spk = 0; spk < 2; ++spk) {
      for (int ear = 0; ear < 2; ++ear) h[spk][ear] = slice(response[ear], spk * M, M);
    }
    for (int input = 0; input < 2; ++input) {
      for (int spk = 0; spk < 2; ++spk) f[input][spk] = slice(in.filter[spk], input * w.L, w.L);
    }
  } else {
    // The symmetric set-up: hRL = hLR, hRR = hLL; RL = LR, RR = LL.
    h[0][0] = h[1][1] = response[0];
    h[0][1] = h[1][0] = response[1];
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
  w.responses = {H[0][0], H[1][1]};
  std::vector<double> det(H[0][0].size());
  for (std::size_t k = 0; k < det.size(); ++k)
    det[k] = std::norm(H[0][0][k] * H[1][1][k] - H[0][1][k] * H[1][0][k]);
  w.inverted = {std::move(det)};
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
    p.direct = &w.responses[ear];
    p.inverted = &w.inverted[0];
    p.intendedArrival = peakIndex(h[ear][ear]) + peakIndex(f[ear][ear]);
    w.paths.push_back(std::move(p));
  }
  return w;
}

void checkSounding(const Network& w, const std::string& position) {
  for (const ChannelPaths& p : w.paths) {
    if (!std::any_of(p.direct->begin(), p.direct->end(),
                     [](const std::complex<double>& v) { return std::norm(v) > 0.0; })) {
      throw badInput(position + "the response of the " + p.name + " channel is silent");
    }
  }
}

// The band given, else the design's, else where the filter corrects at every position.
PassBand passBandOf(const AssessmentInput& in, const std::vector<Network>& networks,
                    const std::vector<std::string>& names) {
  const Network& w = networks.front();
  const double nyquist = in.sampleRate / 2.0;
  PassBand band;
  if (in.bandLowHz && in.bandHighHz) {
    band.lowHz = *in.bandLowHz;
    band.highHz = *in.bandHighHz;
    band.source = BandSource::Given;
    band.why = "as given";
  } else if (in.design) {
    std::tie(band.lowHz, band.highHz) = designPassBand(*in.design);
    band.highHz = std::min(band.highHz, nyquist);
    band.source = BandSource::Design;
    band.why = "the design's: its cuts " + fixedText(in.design->lowCutHz, 0) + " and " +
               fixedText(in.design->highCutHz, 0) + " Hz moved inwards by half its " +
               fixedText(in.design->transitionOctaves, 2) +
               "-octave transition, where its in-band regularisation holds";
  } else {
    std::vector<std::vector<double>> direct, equalised;
    std::vector<std::string> channelNames;
    for (std::size_t p = 0; p < networks.size(); ++p) {
      for (const ChannelPaths& path : networks[p].paths) {
        direct.push_back(power(*path.direct));
        equalised.push_back(power(path.wanted));
        channelNames.push_back(networks.size() > 1 ? names[p] + " " + path.name : path.name);
      }
    }
    std::vector<ChannelPowers> channels;
    for (std::size_t c = 0; c < direct.size(); ++c)
      channels.push_back({channelNames[c], &direct[c], &equalised[c]});
    return correctedPassBand(channels, in.sampleRate / static_cast<double>(w.n), nyquist);
  }
  if (!(band.lowHz > 0.0 && band.lowHz < band.highHz && band.highHz <= nyquist)) {
    throw badInput("the pass band must lie within 0 ... " + std::to_string(in.sampleRate / 2) +
                   " Hz, low before high (" + fixedText(band.lowHz, 1) + " ... " +
                   fixedText(band.highHz, 1) + " Hz, " + band.why + ")");
  }
  return band;
}

ChannelAssessment judgeChannel(const ChannelPaths& p, const std::vector<ThirdOctaveBand>& bands,
                               const Network& w, int sampleRate, double beta) {
  ChannelAssessment c;
  c.name = p.name;
  for (const auto& b : bands) c.bandCentreHz.push_back(b.centreHz);
  c.bandBeforeDb = powerDb(bandMeans(power(*p.direct), bands));
  c.bandAfterDb = powerDb(bandMeans(power(p.wanted), bands));
  c.before = flatnessOf(c.bandBeforeDb);
  c.after = flatnessOf(c.bandAfterDb);
  const std::size_t first = bands.front().firstBin, end = bands.back().endBin;
  long below = 0;
  for (std::size_t k = first; k < end; ++k) below += (*p.inverted)[k] < kDominatedRatio * beta;
  c.belowRegularisationShare = static_cast<double>(below) / static_cast<double>(end - first);
  if (p.unwanted) {
    const auto unwantedDb = powerDb(bandMeans(power(*p.unwanted), bands));
    for (std::size_t b = 0; b < bands.size(); ++b) {
      c.separationDb.push_back(c.bandAfterDb[b] - unwantedDb[b]);
    }
    c.separationMinDb = *std::min_element(c.separationDb.begin(), c.separationDb.end());
    c.separationMedianDb = median(c.separationDb);
  }
  c.equalised = inverseRealSpectrum(p.wanted, w.n, w.outLength);
  judgeTiming(c.equalised, p.intendedArrival, sampleRate, &c);
  c.preEchoOctaves = octavePreEchoes(p.wanted, w.n, w.outLength, sampleRate);
  return c;
}

// Per channel and band, how far the positions' equalised levels lie apart, each taken re its
// position's mean over the bands (as flatness takes it): a seat further away is quieter
// throughout, which no filter could or should correct.
std::vector<PositionSpread> positionSpreads(const std::vector<PositionAssessment>& positions) {
  std::vector<PositionSpread> spreads;
  const std::vector<ChannelAssessment>& first = positions.front().channels;
  for (std::size_t c = 0; c < first.size(); ++c) {
    PositionSpread s;
    s.name = first[c].name;
    s.bandCentreHz = first[c].bandCentreHz;
    for (std::size_t b = 0; b < s.bandCentreHz.size(); ++b) {
      double lo = INFINITY, hi = -INFINITY;
      bool silent = false;
      for (const PositionAssessment& p : positions) {
        const std::vector<double>& after = p.channels[c].bandAfterDb;
        const double level = after[b] - meanOf(after);
        silent = silent || !std::isfinite(level);
        lo = std::min(lo, level);
        hi = std::max(hi, level);
      }
      // A band silent somewhere has no spread to state (NaN, null in JSON): the worst of all.
      const double spread = silent ? std::numeric_limits<double>::quiet_NaN() : hi - lo;
      s.spreadDb.push_back(spread);
      if (b == 0 || std::isnan(spread) || (!std::isnan(s.maxDb) && spread > s.maxDb)) {
        s.maxDb = spread;
        s.maxHz = s.bandCentreHz[b];
      }
    }
    spreads.push_back(std::move(s));
  }
  return spreads;
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

const char* filterChannelName(FilterMode mode, std::size_t channel) {
  static const char* const kNetwork[] = {"LL", "LR", "RL", "RR"};
  if (mode == FilterMode::Mono) return "mono";
  if (mode == FilterMode::DualMono) return channel == 0 ? "left" : "right";
  return channel < 4 ? kNetwork[channel] : "?";
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

void checkFinite(const std::vector<std::vector<double>>& channels, const std::string& name) {
  for (std::size_t c = 0; c < channels.size(); ++c) {
    for (std::size_t i = 0; i < channels[c].size(); ++i) {
      if (!std::isfinite(channels[c][i])) {
        throw badInput(name + ": frame " + std::to_string(i) + " (channel " +
                       std::to_string(c + 1) + ") holds " +
                       (std::isnan(channels[c][i]) ? "NaN" : "an infinity") +
                       ", no number to assess");
      }
    }
  }
}

Assessment assessFilter(const AssessmentInput& in) {
  const std::vector<std::string> names = positionNamesOf(in);
  checkInput(in, names);
  const std::size_t n = transformPointsOf(in);
  const auto responses = responsesOf(in);
  std::vector<Network> networks;
  for (std::size_t p = 0; p < responses.size(); ++p) {
    networks.push_back(networkOf(in, *responses[p], n));
    checkSounding(networks.back(), responses.size() > 1 ? names[p] + ": " : "");
  }
  const PassBand band = passBandOf(in, networks, names);
  const double binHz = static_cast<double>(in.sampleRate) / static_cast<double>(n);
  const auto bands = thirdOctaveBandsWithin(band.lowHz, band.highHz, binHz, n / 2);
  if (bands.empty()) {
    throw badInput("no third-octave band lies wholly inside the pass band (" +
                   fixedText(band.lowHz, 1) + " ... " + fixedText(band.highHz, 1) + " Hz, " +
                   band.why + ")");
  }

  Assessment a;
  a.sampleRate = in.sampleRate;
  a.mode = in.mode;
  a.filterLength = networks.front().L;
  a.transformLength = static_cast<long>(n);
  a.bandLowHz = band.lowHz;
  a.bandHighHz = band.highHz;
  a.bandSource = band.source;
  a.bandWhy = band.why;
  a.design = in.design;
  a.beta = in.beta ? *in.beta : in.design ? in.design->inBandRegularisation : kDefaultBeta;
  for (std::size_t p = 0; p < networks.size(); ++p) {
    PositionAssessment position{names[p], {}};
    for (const ChannelPaths& path : networks[p].paths)
      position.channels.push_back(judgeChannel(path, bands, networks[p], in.sampleRate, a.beta));
    a.positions.push_back(std::move(position));
  }
  if (a.positions.size() > 1) a.spread = positionSpreads(a.positions);
  a.filterGain = filterGainOf(in.filter, in.mode, in.sampleRate, a.bandLowHz, a.bandHighHz);
  a.filterEnds = filterEndsOf(in.filter, in.mode);
  a.warnings = assessmentWarnings(a);
  return a;
}

}  // namespace orvane

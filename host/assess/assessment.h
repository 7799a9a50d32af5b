// `orvane assess`: how well an inverse filter (of the kind inversefilter designs) equalises a
// measured impulse response: flatness in third-octave bands before and after, where the main
// peak lands, pre-ringing and pre-echoes, the filter's gain and, for cross-talk networks, the
// separation at each ear. Plain numbers in, plain records out; the command reads the files.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/assess/design_record.h"
#include "host/assess/pass_band.h"
#include "host/report/json.h"

namespace orvane {

// The layouts of inversefilter's filters (README, inversefilter).
enum class FilterMode { Mono, DualMono, Stereo, TwoByTwo };

struct AssessmentInput {
  int sampleRate = 0;  // Hz, of the response and the filter alike
  FilterMode mode = FilterMode::Mono;
  // Per channel (left first), at full scale 1, in the files' layouts: TwoByTwo holds both
  // halves one after the other in each channel.
  std::vector<std::vector<double>> response;
  // Further positions (seats) of the same layout, each judged as `response` is (its length
  // its own), and the names of all positions, `response`'s first (none: "position 1", ...).
  std::vector<std::vector<std::vector<double>>> morePositions;
  std::vector<std::string> positionNames;
  std::vector<std::vector<double>> filter;
  std::optional<double> bandLowHz;   // the pass band, Hz; both or neither given (--band)
  std::optional<double> bandHighHz;  // (neither: the design's, else correctedPassBand's)
  // The design's own record: its pass band unless one is given above, its regularisation
  // unless `beta` is given.
  std::optional<DesignRecord> design;
  std::optional<double> beta;  // the design's in-band regularisation, linear power
};

// The regularisation assumed when neither `beta` nor a design record gives one: the
// designer's default.
constexpr double kDefaultBeta = 0.001;

// One octave's pre-echo: the largest energy in a 5 ms window more than 20 ms before the
// octave's main arrival (the 5 ms window of largest energy), relative to that window.
struct OctavePreEcho {
  double centreHz = 0;             // the octave's midband, Hz
  double mainMs = 0;               // the main arrival's window centre, ms from the start
  std::optional<double> levelDb;   // dB re the main arrival's window (none: nothing earlier)
  std::optional<double> beforeMs;  // how long before the main arrival, ms (> 20)
};

// A filter channel's level at its two ends: the largest |f| over its first and its last 1 %,
// dB re its largest |f| (-inf: silent there).
struct FilterEnds {
  double startDb = 0;
  double endDb = 0;
};

struct Flatness {
  double maxDb = 0;  // max |band level - mean of the band levels|, dB
  double rmsDb = 0;  // RMS of (band level - mean), dB
};

// One equalised channel: the filter's own channel (Mono, DualMono) or one ear (Stereo,
// TwoByTwo: the path from the input meant for that ear).
struct ChannelAssessment {
  std::string name;  // "mono", "left", "right", "left ear", "right ear"
  Flatness before;   // the unequalised response (at an ear: the direct loudspeaker's path)
  Flatness after;    // the equalised response
  // The main peak's time against the intended arrival, ms: the response's own main peak
  // plus the filter's (for an ear, its direct path's), where a full inversion (peak at L/2
  // less the response's delay), a pure delay and a minimum-phase inverse alike put it.
  double peakOffsetMs = 0;
  double intendedArrivalMs = 0;  // that arrival, ms from the equalised response's start
  double mainShare = 0;          // energy within +-1 ms of the main peak / total energy, 0 ... 1
  double preRingingDb = 0;       // energy more than 1 ms before the peak / total, dB (-inf: none)
  std::optional<double> preEchoDb;  // largest |y| more than 1 ms early / |peak|, dB (<= 0)
  std::optional<double> preEchoMs;  // how long before the peak it comes, ms (> 1)
  // Cross-talk (Stereo, TwoByTwo): wanted over unwanted band level per band, dB.
  std::optional<double> separationMinDb;
  std::optional<double> separationMedianDb;
  // The share of the pass band's bins where |H|^2 (a network's |det H|^2; response at scale
  // 1) lies below 10 beta, so that the regularisation rather than 1/H decides. 0 ... 1.
  double belowRegularisationShare = 0;
  std::vector<OctavePreEcho> preEchoOctaves;  // ascending; octaves up to fs/2

  // For drawings, per band of the pass band (ascending):
  std::vector<double> bandCentreHz;  // midband frequencies, Hz
  std::vector<double> bandBeforeDb;  // band levels of the unequalised response, dB
  std::vector<double> bandAfterDb;   // band levels of the equalised response, dB
  std::vector<double> separationDb;  // cross-talk only: per band, dB; empty otherwise
  // The equalised response around its main peak (+-20 ms, within the response).
  std::vector<double> aroundPeakMs;  // times relative to the main peak, ms
  std::vector<double> aroundPeak;    // samples, full scale 1
  std::vector<double> equalised;     // the whole equalised response, full scale 1
};

// Gains of the continuous frequency response (oversampled, the peak refined).
struct FilterGain {
  // The largest gain over 0 ... fs/2, dB: of any filter channel (mono, dual), or the network's
  // largest singular value (stereo, 2x2: the most an input of unit total level gains).
  double maxDb = 0;
  double maxHz = 0;  // where it is, Hz
  // Each loudspeaker feed's largest gain, dB: a filter channel's (mono, dual); for networks
  // with both inputs at full scale in the worst phase, |F_Ls| + |F_Rs|.
  std::vector<double> feedsDb;
  double atBandEdgesDb[2] = {0, 0};  // the largest over the channels at the pass band's edges
  // For drawings: 20 log10 |F(f)| of each filter channel (file order) on a 1/12-octave grid
  // from 10 Hz to fs/2, each point the largest bin of the transform within its twelfth of an
  // octave, so that the drawing keeps the peaks between the points.
  std::vector<double> gridHz;
  std::vector<std::vector<double>> channelDb;
};

// One position's equalised channels.
struct PositionAssessment {
  std::string response;  // the position's name (the command: the response's file)
  std::vector<ChannelAssessment> channels;
};

// How far the positions' equalised band levels, each re its position's mean over the bands,
// lie apart, for one channel.
struct PositionSpread {
  std::string name;                  // the channel's
  std::vector<double> bandCentreHz;  // midband frequencies, Hz (the channels' bands)
  std::vector<double> spreadDb;      // per band: max - min over the positions, dB (NaN: silent)
  double maxDb = 0;                  // the largest of them, dB
  double maxHz = 0;                  // its band's midband, Hz
};

struct Assessment {
  int sampleRate = 0;  // Hz
  FilterMode mode = FilterMode::Mono;
  double bandLowHz = 0;  // the pass band used, Hz
  double bandHighHz = 0;
  BandSource bandSource = BandSource::Given;
  std::string bandWhy;                 // where the band's edges come from, one sentence
  double beta = 0;                     // the regularisation judged against, linear power
  std::optional<DesignRecord> design;  // the design's record when it was given
  long filterLength = 0;               // L, samples of each filter (the filter delays by L/2)
  // Points of the transform: the smallest power of two holding the whole convolution
  // (M + L - 1) and at least a second (sampleRate), so bins are at most 1 Hz apart.
  long transformLength = 0;
  // One entry per position, the response's first; each with the channels of the layout.
  std::vector<PositionAssessment> positions;
  std::vector<PositionSpread> spread;  // per channel; empty for one position
  FilterGain filterGain;
  std::vector<FilterEnds> filterEnds;  // per filter channel, file order (2x2: LL, LR, RL, RR)
  // One plain-English line each, naming the channel (and the position, when several).
  std::vector<std::string> warnings;
};

// The largest transform the host will allocate for an assessment: the memory of about a dozen
// spectra of that length must fit the process (a 32-bit host has the smaller ceiling).
long maxAssessmentTransform();

// Checks a mode against the files' shapes before anything is read; throws badInput (naming
// the response and filter paths given) when they do not fit or the transform would not fit
// the memory. Frames are those of the files.
void checkAssessmentShape(FilterMode mode, int responseChannels, long responseFrames,
                          int filterChannels, long filterFrames, const std::string& responseName,
                          const std::string& filterName);

// Throws badInput naming `name`, the frame and the channel of the first sample that is not a
// finite number.
void checkFinite(const std::vector<std::vector<double>>& channels, const std::string& name);

// The whole assessment, warnings included. Throws badInput for shapes that do not fit the
// mode, samples that are no finite number and a pass band holding no third-octave band.
Assessment assessFilter(const AssessmentInput& input);

// The warnings of a finished assessment (assessFilter fills them in).
std::vector<std::string> assessmentWarnings(const Assessment& a);

// The renderings: {"assessment": ...} as documented in `orvane assess --help` (each channel
// also named, and the mode, filter length and sample rate after the documented keys; values
// that are no number, -inf pre-ringing, are JSON null; several positions as `positions`, each
// with its `response` and `channels`, in place of `channels`, and `position_spread_db`), and
// the same as readable text, made from the figures themselves (an infinite figure prints as
// the warnings state it), for the command and a run's text report alike.
Json assessmentJson(const Assessment& a);
std::string assessmentText(const Assessment& a);

const char* filterModeName(FilterMode mode);
// A filter channel by its place in the file: "mono", "left", "right", "LL", "LR", "RL", "RR".
const char* filterChannelName(FilterMode mode, std::size_t channel);

// A figure with a fixed number of decimals, as the text, the warnings and the summary's columns
// state it ("-inf" for minus infinity).
std::string fixedText(double v, int decimals);

}  // namespace orvane

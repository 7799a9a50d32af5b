// Random runs: the parameter block a host hands over is whatever it stored, so a plug-in must
// treat any bytes in it safely; and the person may select any part of any waveform at any
// sample rate. Each iteration draws its case from (seed, iteration), so a failure names the
// iteration that repeats it.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "frame/param_types.h"
#include "host/report/block_decode.h"
#include "host/validator/validator_checks.h"

namespace orvane {

namespace {

// Rates a waveform may have, awkward ones included: below one block per millisecond, a
// single hertz, odd values, and far above the usual.
const long kRates[] = {1,     300,   999,   1000,  1001,  4000,  8000,   11025, 16000,
                       22050, 32000, 44100, 48000, 88200, 96000, 192000, 384000};

enum class BlockKind { RandomBytes, MutatedDefaults, ExtremeFields };
constexpr int kBlockKinds = 3;

const char* blockKindName(BlockKind k) {
  switch (k) {
    case BlockKind::RandomBytes:
      return "random bytes";
    case BlockKind::MutatedDefaults:
      return "defaults with random bytes";
    case BlockKind::ExtremeFields:
      return "defaults with extreme fields";
  }
  return "?";
}

struct RandomCase {
  TrialSetup setup;
  BlockKind blockKind = BlockKind::RandomBytes;
  unsigned blockSeed = 0;
};

template <typename T>
T pick(std::mt19937& r, int n) {
  return static_cast<T>(std::uniform_int_distribution<int>(0, n - 1)(r));
}

long between(std::mt19937& r, long low, long high) {
  return std::uniform_int_distribution<long>(low, high)(r);
}

RandomCase drawCase(unsigned seed, int iteration) {
  std::seed_seq seq{seed, static_cast<unsigned>(iteration), 0x4F52u};
  std::mt19937 r(seq);
  RandomCase rc;
  TrialSetup& t = rc.setup;
  t.signal.channels = between(r, 1, 2);
  t.signal.sampleRate = kRates[pick<size_t>(r, sizeof kRates / sizeof kRates[0])];
  int length = static_cast<int>(between(r, 0, 9));
  t.signal.frames = length < 5   ? between(r, 1, 2000)
                    : length < 9 ? between(r, 2000, 30000)
                                 : between(r, 30000, 100000);
  t.signal.kind = pick<SignalKind>(r, kSignalKinds);
  t.signal.seed = static_cast<unsigned>(r());
  const long frames = t.signal.frames;
  int selection = static_cast<int>(between(r, 0, 9));
  if (selection < 2) {  // the whole waveform
    t.selFirst = 0;
    t.selLast = frames - 1;
  } else if (selection < 3) {  // a single frame
    t.selFirst = t.selLast = between(r, 0, frames - 1);
  } else {
    t.selFirst = between(r, 0, frames - 1);
    t.selLast = between(r, t.selFirst, frames - 1);
  }
  rc.blockKind = pick<BlockKind>(r, kBlockKinds);
  rc.blockSeed = static_cast<unsigned>(r());
  PersonPlan& p = t.person;
  p.autoConfirm = between(r, 0, 3) != 0;
  if (!p.autoConfirm) {
    int presses = static_cast<int>(between(r, 0, 3));
    for (int i = 0; i < presses; ++i) p.presses.push_back(static_cast<int>(between(r, 0, 15)));
    p.resultsCloser = static_cast<int>(between(r, 0, 2));
  }
  return rc;
}

std::string describe(const RandomCase& rc) {
  const TrialSetup& t = rc.setup;
  std::string d = std::string(channelsName(t.signal.channels)) + ", " +
                  std::to_string(t.signal.sampleRate) + " Hz, " + signalKindName(t.signal.kind) +
                  ", frames " + std::to_string(t.selFirst) + " to " + std::to_string(t.selLast) +
                  " of " + std::to_string(t.signal.frames) + ", block of " +
                  blockKindName(rc.blockKind);
  if (t.person.autoConfirm) {
    d += ", dialogs confirming themselves";
  } else {
    d += ", " + std::to_string(t.person.presses.size()) + " presses in the results dialog, closed ";
    d += t.person.resultsCloser == 0 ? "by its close box"
                                     : "with " + std::to_string(t.person.resultsCloser);
  }
  return d;
}

template <typename T>
void put(std::vector<unsigned char>& block, size_t at, T value) {
  std::memcpy(block.data() + at, &value, sizeof value);
}

// One extreme value for a field of type `letter` at `at`.
void extremeField(std::vector<unsigned char>& block, size_t at, char letter, std::mt19937& r) {
  const float floats[] = {0.0f,
                          -0.0f,
                          std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(),
                          FLT_MAX,
                          -FLT_MAX,
                          FLT_MIN / 4.0f,
                          1e-30f,
                          -1e30f,
                          1e10f};
  const double doubles[] = {0.0,
                            -0.0,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            DBL_MAX,
                            -DBL_MAX,
                            DBL_MIN / 4.0,
                            1e-300,
                            1e300};
  const int32_t longs[] = {0, -1, 1, INT32_MIN, INT32_MAX, 1 << 20, -(1 << 20)};
  const int16_t shorts[] = {0, -1, 1, INT16_MIN, INT16_MAX};
  switch (letter) {
    case 'c':
      block[at] = static_cast<unsigned char>(r());
      break;
    case 'i':
      put(block, at, shorts[pick<size_t>(r, 5)]);
      break;
    case 'l':
    case 'b':
      put(block, at, longs[pick<size_t>(r, 7)]);
      break;
    case 'h':
      put(block, at, static_cast<uint32_t>(r()));
      break;
    case 'f':
      put(block, at, floats[pick<size_t>(r, 11)]);
      break;
    case 'd':
      put(block, at, doubles[pick<size_t>(r, 10)]);
      break;
    case 's': {
      int kind = static_cast<int>(between(r, 0, 3));
      if (kind == 0) {  // no terminator at all
        std::memset(block.data() + at, 'A', 256);
      } else if (kind == 1) {
        block[at] = 0;
      } else if (kind == 2) {
        const char text[] = "%s%s%n%x\\..\\:*?\"<>|";
        std::memcpy(block.data() + at, text, sizeof text);
      } else {
        for (size_t i = 0; i < 256; ++i) block[at + i] = static_cast<unsigned char>(r());
      }
      break;
    }
    default:
      break;
  }
}

std::vector<unsigned char> drawBlock(const RandomCase& rc,
                                     const std::vector<unsigned char>& defaults,
                                     const std::string& types) {
  std::mt19937 r(rc.blockSeed);
  std::vector<unsigned char> block = defaults;
  switch (rc.blockKind) {
    case BlockKind::RandomBytes:
      for (auto& b : block) b = static_cast<unsigned char>(r());
      break;
    case BlockKind::MutatedDefaults: {
      int changes = static_cast<int>(between(r, 1, 8));
      for (int i = 0; i < changes && !block.empty(); ++i)
        block[between(r, 0, static_cast<long>(block.size()) - 1)] = static_cast<unsigned char>(r());
      break;
    }
    case BlockKind::ExtremeFields: {
      size_t at = 0;
      for (char letter : types) {
        unsigned width = paramTypeWidth(letter);
        if (width == 0 || at + width > block.size()) break;
        if (between(r, 0, 1) == 1) extremeField(block, at, letter, r);
        at += width;
      }
      break;
    }
  }
  return block;
}

struct Tally {
  int completed = 0;  // XfmDo 0
  int ended = 0;      // XfmDo 1
  int notRun = 0;     // XfmSetup 0
};

std::string oneRandomRun(const CheckContext& c, const RandomCase& rc, const std::string& label,
                         Tally* tally, Heartbeat& heartbeat) {
  Problems problems;
  MemoryCounters base = memoryCounters();
  {
    Trial t(c.plugin, rc.setup);
    heartbeat.phase(label + ": XfmInit");
    int init = t.init();
    if (init != 1) problems.add("XfmInit returned " + std::to_string(init) + ", not 1");
    if (lockCountOf(t.block()) != 0) problems.add("XfmInit left the parameter block locked");
    std::vector<unsigned char> block = drawBlock(rc, t.blockBytes(), c.plugin.info().paramTypes);
    if (!t.loadBlock(block)) problems.add("the host could not load the parameter block");
    heartbeat.phase(label + ": XfmSetup");
    int setup = t.setup();
    if (lockCountOf(t.block()) != 0) problems.add("XfmSetup left the parameter block locked");
    if (setup != 0) {
      MemoryCounters before = memoryCounters();
      heartbeat.phase(label + ": XfmDo");
      int done = t.run();
      judgeResult("XfmDo", done, &problems);
      judgeCleanUp(before, memoryCounters(), t.block(), &problems);
      (done == 0 ? tally->completed : tally->ended) += 1;
    } else {
      tally->notRun += 1;
    }
    clipboardEmpty();
    heartbeat.phase(label + ": XfmDestroy");
    int destroy = t.destroy();
    if (destroy != 1) problems.add("XfmDestroy returned " + std::to_string(destroy) + ", not 1");
    judgeConduct(t, &problems);
  }
  judgeCleanUp(base, memoryCounters(), nullptr, &problems);
  return problems.text();
}

CheckOutcome randomInChild(const CheckContext& c, Heartbeat& heartbeat) {
  CheckOutcome out;
  const int n = c.settings.iterations;
  const unsigned seed = c.settings.seed;
  out.what = std::to_string(n) + " random parameter blocks and selections (seed " +
             std::to_string(seed) + ")";
  Tally tally;
  for (int i = 1; i <= n; ++i) {
    RandomCase rc = drawCase(seed, i);
    std::string label = "iteration " + std::to_string(i) + " (" + describe(rc) + ")";
    std::string problems = oneRandomRun(c, rc, label, &tally, heartbeat);
    if (!problems.empty()) {
      out.why = label + ": " + problems;
      return out;
    }
  }
  out.passed = true;
  out.what += ": XfmDo 0 in " + std::to_string(tally.completed) + ", 1 in " +
              std::to_string(tally.ended) + ", not run (XfmSetup 0) in " +
              std::to_string(tally.notRun);
  return out;
}

}  // namespace

CheckOutcome checkRandomRuns(const CheckContext& c) {
  return runIsolated(std::to_string(c.settings.iterations) +
                         " random parameter blocks and selections (seed " +
                         std::to_string(c.settings.seed) + ")",
                     c.isolation, [&](Heartbeat& h) { return randomInChild(c, h); });
}

}  // namespace orvane

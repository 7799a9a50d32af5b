// crossanalyser's results dialog after "Linear View", run in this process: the plug-in destroys
// its log-frequency display and creates a linear one, and the dialog's picture shows the one
// that stands.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>

#include "host/host_test_support.h"
#include "host/pictures/graph_layout.h"
#include "host/pictures/pictures.h"
#include "host/session/plugin.h"
#include "host/session/session.h"

using namespace orvane;

namespace {

constexpr int kLinearRate = 48000;
constexpr int kLinearFrames = 48000;  // 1 s

// Stereo noise at 16-bit scale.
Audio noise() {
  Audio a;
  a.path = "memory";
  a.channels = 2;
  a.sampleRate = kLinearRate;
  a.frames = kLinearFrames;
  unsigned state = 74;
  for (int i = 0; i < 2 * kLinearFrames; ++i) {
    state = state * 1664525u + 1013904223u;
    a.samples.push_back(static_cast<float>((static_cast<int>(state >> 16) - 32768) / 10));
  }
  return a;
}

// The run appends "timedelay.txt" to the current folder: a scratch one for the test.
class InFolder {
 public:
  explicit InFolder(const std::string& dir) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InFolder() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

}  // namespace

TEST(LinearViewPictures, TheResultsDialogShowsTheDisplayThatStands) {
  hosttest::ScratchDir dir;
  InFolder inside(dir.path());
  auto plugin = Plugin::load(std::string(ORVANE_BIN_DIR) + "/crossanalyser.xfm");
  Audio audio = noise();
  SessionSetup setup;
  setup.channels = 2;
  setup.sampleRate = kLinearRate;
  setup.selLast = kLinearFrames - 1;
  setup.showProgress = false;
  Session session(*plugin, &audio, setup);
  PersonScript script;
  script.presses = {"1066"};  // Linear View
  Person person(script, &session.displays());
  person.install();
  ASSERT_NE(session.init(), 0);
  ASSERT_NE(session.setup(), 0);
  session.run();
  session.destroy();

  const DialogRecord* results = nullptr;
  for (const DialogRecord& d : person.log().dialogs) {
    if (d.resource == 107) results = &d;
  }
  ASSERT_NE(results, nullptr);
  ASSERT_EQ(session.displays().all().size(), 2u);
  const GraphSource destroyed = graphOf(*session.displays().all()[0]);
  ASSERT_EQ(results->displays.size(), 1u);
  const DisplaySnapshot& live = results->displays[0];
  EXPECT_EQ(live.number, 2);
  const GraphSource graph = graphOf(live);
  // The linear view is given no x label of its own; it keeps the one of the view it replaced.
  EXPECT_EQ(graphXLabel(graph.targets), "f[Hz]");

  // In the dialog's picture the vertical grid lines are the linear axis's, not the log one's.
  writeDialogPng(dir.file("d.png"), *results);
  cairo_surface_t* s = cairo_image_surface_create_from_png(dir.file("d.png").c_str());
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
  const uint32_t grid = 0x404040;  // the plug-in's grid colour, grey
  ASSERT_EQ(graphGridColour(graph.targets), static_cast<long>(grid));
  auto lineShare = [&](double column) {  // of the graph's rows, those in the grid colour there
    const int x = 2 * (kDialogFrame + static_cast<int>(live.rect.left + std::floor(column + 0.5)));
    int on = 0;
    for (int y = 0; y < graph.height; ++y) {
      const int row = 2 * (kDialogFrame + kDialogCaption + static_cast<int>(live.rect.top) + y);
      const unsigned char* line = cairo_image_surface_get_data(s) +
                                  static_cast<ptrdiff_t>(row) * cairo_image_surface_get_stride(s);
      on += (reinterpret_cast<const uint32_t*>(line)[x] & 0xFFFFFF) == grid;
    }
    return static_cast<double>(on) / graph.height;
  };
  const auto linear = graphXTicks(*graphXAxis(graph.targets, graph.width), kGraphMinGridColumns);
  const auto log =
      graphXTicks(*graphXAxis(destroyed.targets, destroyed.width), kGraphMinGridColumns);
  ASSERT_GE(linear.size(), 3u);
  ASSERT_GE(log.size(), 3u);
  for (const GraphXTick& tick : linear) {
    if (tick.column >= 1 && tick.column <= graph.width - 2) {
      EXPECT_GT(lineShare(tick.column), 0.5) << tick.label;
    }
  }
  for (const GraphXTick& tick : log) {
    bool shared = false;
    for (const GraphXTick& l : linear) shared |= std::fabs(l.column - tick.column) < 2;
    if (!shared) {
      EXPECT_LT(lineShare(tick.column), 0.1) << tick.label;
    }
  }
  cairo_surface_destroy(s);
}

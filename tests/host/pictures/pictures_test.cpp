// Pictures of displays and dialogs: the graph pixel by pixel against the values it was drawn
// from, its SVG, dialogs drawn from their records, and levelmeter's results dialog after a run
// in this process. PNGs are read back with cairo.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "host/errors.h"
#include "host/host_test_support.h"
#include "host/png_picture.h"
#include "host/pictures/pictures.h"
#include "host/session/plugin.h"
#include "host/session/session.h"

using namespace orvane;
using hosttest::readText;
using hosttest::ScratchDir;

using hosttest::Picture;

namespace {

constexpr uint32_t kFacePixel = 0xC0C0C0;

uint32_t pixelOf(long colorref) {
  return static_cast<uint32_t>(((colorref & 0xFF) << 16) | (colorref & 0xFF00) |
                               ((colorref >> 16) & 0xFF));
}

// ---- A graph with known attributes and values ----

constexpr int kW = 300, kH = 200;
constexpr long kBackground = 0xE0FFFF;  // pale yellow
constexpr long kGrid = 0x40C080;        // green-grey
constexpr long kCurve1 = 0x800000;      // navy
constexpr long kCurve2 = 0x0000C0;      // dark red
constexpr double kTop = 120.0, kBottom = 20.0;

double curve1(int k) { return 70.0 + 30.0 * std::sin(2.0 * M_PI * k / 150.0); }
double curve2(int k) { return 40.0 + 0.05 * k; }
bool inGap(int k) { return k >= 100 && k < 120; }  // curve 2 has no values there

// The row a value lands on, as the graph's geometry is documented.
int rowOf(double v, double top, double bottom, int height) {
  return static_cast<int>(std::lround((top - v) / (top - bottom) * (height - 1)));
}

GraphSource knownGraph() {
  GraphSource g;
  g.width = kW;
  g.height = kH;
  DisplaySettings& whole = g.targets[0];
  whole.configured = true;
  whole.background = kBackground;
  whole.gridColour = kGrid;
  whole.xLabel = "s";
  whole.yLabel = "dB";
  whole.xLeft = 0.0;
  whole.xRight = 3.0;
  for (int curve : {1, 2}) {
    DisplaySettings& s = g.targets[curve];
    s.configured = true;
    s.viewMode = 8;
    s.curveColour = curve == 1 ? kCurve1 : kCurve2;
    s.yTop = kTop;
    s.yBottom = kBottom;
  }
  for (int k = 0; k < kW; ++k) {
    g.curves[1].push_back(curve1(k));
    g.curves[2].push_back(inGap(k) ? std::nullopt : std::optional<double>(curve2(k)));
  }
  return g;
}

// The curve's colour lies in column k within a pixel of the row of value k, and nowhere
// farther than the rows of its neighbours (the joins to them) allow.
void expectCurveAt(const Picture& p, int k, uint32_t colour, const std::vector<int>& rows,
                   int xOffset = 0, int yOffset = 0, int scale = 1) {
  int lo = rows[k], hi = rows[k];
  for (int j : {k - 1, k + 1}) {
    if (j >= 0 && j < static_cast<int>(rows.size())) {
      lo = std::min(lo, rows[j]);
      hi = std::max(hi, rows[j]);
    }
  }
  for (int dx = 0; dx < scale; ++dx) {
    std::vector<int> found = p.rowsOf(xOffset + scale * k + dx, colour);
    ASSERT_FALSE(found.empty()) << "column " << k << ": no curve";
    bool near = false;
    for (int y : found) {
      int row = (y - yOffset) / scale;
      near = near || std::abs(row - rows[k]) <= 1;
      EXPECT_GE(row, lo - 1) << "column " << k;
      EXPECT_LE(row, hi + 1) << "column " << k;
    }
    EXPECT_TRUE(near) << "column " << k << ": value on row " << rows[k] << ", curve from row "
                      << (found.front() - yOffset) / scale;
  }
}

std::vector<int> rowsOfCurve(const std::vector<std::optional<double>>& values, double top,
                             double bottom, int height) {
  std::vector<int> rows;
  for (const auto& v : values) rows.push_back(v ? rowOf(*v, top, bottom, height) : -1000);
  return rows;
}

// ---- Just enough XML to know a document is well formed and to walk its elements ----

struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::vector<XmlElement> children;
};

class XmlReader {
 public:
  explicit XmlReader(const std::string& text) : s_(text) {}

  // The root element; false when the text is not well-formed XML.
  bool document(XmlElement* root) {
    skipMisc();
    if (!element(root)) return false;
    skipMisc();
    return i_ == s_.size();
  }

 private:
  bool starts(const char* prefix) const { return s_.compare(i_, std::strlen(prefix), prefix) == 0; }
  bool skipPast(const char* end) {
    size_t at = s_.find(end, i_);
    if (at == std::string::npos) return false;
    i_ = at + std::strlen(end);
    return true;
  }
  void skipSpace() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }
  void skipMisc() {
    for (;;) {
      skipSpace();
      if (starts("<?")) {
        if (!skipPast("?>")) return;
      } else if (starts("<!--")) {
        if (!skipPast("-->")) return;
      } else {
        return;
      }
    }
  }
  std::string name() {
    size_t start = i_;
    while (i_ < s_.size() &&
           (std::isalnum(static_cast<unsigned char>(s_[i_])) || std::strchr("_:-.", s_[i_]))) {
      ++i_;
    }
    return s_.substr(start, i_ - start);
  }
  bool element(XmlElement* e) {
    if (!starts("<")) return false;
    ++i_;
    e->name = name();
    if (e->name.empty()) return false;
    for (;;) {
      skipSpace();
      if (starts("/>")) {
        i_ += 2;
        return true;
      }
      if (starts(">")) {
        ++i_;
        break;
      }
      std::string key = name();
      skipSpace();
      if (key.empty() || !starts("=")) return false;
      ++i_;
      skipSpace();
      if (i_ >= s_.size() || (s_[i_] != '"' && s_[i_] != '\'')) return false;
      char quote = s_[i_++];
      size_t end = s_.find(quote, i_);
      if (end == std::string::npos) return false;
      std::string value = s_.substr(i_, end - i_);
      if (value.find('<') != std::string::npos) return false;
      if (!e->attributes.emplace(key, value).second) return false;
      i_ = end + 1;
    }
    for (;;) {
      size_t next = s_.find('<', i_);
      if (next == std::string::npos) return false;
      i_ = next;
      if (starts("</")) {
        i_ += 2;
        if (name() != e->name) return false;
        skipSpace();
        if (!starts(">")) return false;
        ++i_;
        return true;
      }
      if (starts("<!--")) {
        if (!skipPast("-->")) return false;
        continue;
      }
      e->children.emplace_back();
      if (!element(&e->children.back())) return false;
    }
  }

  const std::string& s_;
  size_t i_ = 0;
};

void collect(const XmlElement& e, const std::string& name, std::vector<const XmlElement*>* out) {
  if (e.name == name) out->push_back(&e);
  for (const XmlElement& c : e.children) collect(c, name, out);
}

// The stroke colour of an SVG path's style ("stroke:rgb(0%,0%,50.196078%)") as 0xRRGGBB.
std::optional<uint32_t> strokeOf(const XmlElement& path) {
  auto style = path.attributes.find("style");
  if (style == path.attributes.end()) return std::nullopt;
  size_t at = style->second.find("stroke:rgb(");
  if (at == std::string::npos) return std::nullopt;
  double r, g, b;
  if (std::sscanf(style->second.c_str() + at, "stroke:rgb(%lf%%,%lf%%,%lf%%)", &r, &g, &b) != 3) {
    return std::nullopt;
  }
  auto byte = [](double percent) { return static_cast<uint32_t>(std::lround(percent * 2.55)); };
  return byte(r) << 16 | byte(g) << 8 | byte(b);
}

struct PathPoint {
  bool move;  // starts a sub-path
  double x, y;
};

std::vector<PathPoint> pointsOf(const std::string& d) {
  std::vector<PathPoint> points;
  std::istringstream in(d);
  std::string op;
  while (in >> op) {
    PathPoint p{op == "M", 0, 0};
    EXPECT_TRUE(op == "M" || op == "L") << "unexpected path operator " << op;
    in >> p.x >> p.y;
    points.push_back(p);
  }
  return points;
}

}  // namespace

TEST(GraphPicture, IsTheDisplaysSizeWithItsBackgroundGridAndFrame) {
  ScratchDir dir;
  writeGraphPng(dir.file("g.png"), knownGraph());
  Picture p(dir.file("g.png"));
  ASSERT_TRUE(p.ok());
  ASSERT_EQ(p.width(), kW);
  ASSERT_EQ(p.height(), kH);
  // Top right corner inside the frame: no grid line, label or curve reaches it.
  EXPECT_EQ(p.at(kW - 3, 2), pixelOf(kBackground));
  EXPECT_EQ(p.at(kW - 1, 100), 0x000000u);  // the frame
  // Grid steps: 20 dB keeps rows 40 px apart (10 dB would be 20 < 24); 0.5 s keeps columns
  // 50 px apart (0.2 s would be 20 < 48). 100 dB lies on row round(20/100 * 199) = 40,
  // 1.5 s on column round(1.5/3 * 299) = 150.
  EXPECT_EQ(p.at(75, 40), pixelOf(kGrid));
  EXPECT_EQ(p.at(75, 39), pixelOf(kBackground));
  EXPECT_EQ(p.at(75, 41), pixelOf(kBackground));
  EXPECT_EQ(p.at(150, 60), pixelOf(kGrid));
  EXPECT_EQ(p.at(149, 60), pixelOf(kBackground));
  EXPECT_EQ(p.at(151, 60), pixelOf(kBackground));
  EXPECT_EQ(p.at(225, rowOf(50, kTop, kBottom, kH)), pixelOf(kBackground));  // 50 dB: no line
}

TEST(GraphPicture, CurvesFallOnTheRowsTheirValuesMapTo) {
  ScratchDir dir;
  GraphSource g = knownGraph();
  writeGraphPng(dir.file("g.png"), g);
  Picture p(dir.file("g.png"));
  ASSERT_TRUE(p.ok());
  std::vector<int> rows1 = rowsOfCurve(g.curves[1], kTop, kBottom, kH);
  std::vector<int> rows2 = rowsOfCurve(g.curves[2], kTop, kBottom, kH);
  for (int k : {30, 37, 75, 112, 170, 215, 260, 298}) {
    expectCurveAt(p, k, pixelOf(kCurve1), rows1);
  }
  for (int k : {30, 60, 99, 120, 180, 250}) expectCurveAt(p, k, pixelOf(kCurve2), rows2);
  // The gap breaks curve 2's line: nothing of it in the columns without values.
  for (int k = 101; k < 119; ++k) EXPECT_TRUE(p.rowsOf(k, pixelOf(kCurve2)).empty()) << k;
}

TEST(GraphPicture, SettingsFallBackToTheWholeGraphAndToDefaults) {
  ScratchDir dir;
  GraphSource g;
  g.width = 120;
  g.height = 80;
  g.targets[0].configured = true;
  g.targets[0].yTop = 10.0;  // the whole graph's range serves the curve that has none
  g.targets[0].yBottom = -10.0;
  g.targets[1].configured = true;
  for (int k = 0; k < g.width; ++k) g.curves[1].push_back(k < 60 ? 5.0 : -5.0);
  writeGraphPng(dir.file("g.png"), g);
  Picture p(dir.file("g.png"));
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.at(g.width - 3, 2), 0xFFFFFFu);  // white background
  EXPECT_EQ(p.at(g.width - 3, 1), 0xFFFFFFu);
  // Curve 1 in black: 5 on row round(5/20 * 79) = 20, -5 on row 59. Only the frame shares
  // the colour, on rows 0 and 79.
  auto blackRows = [&](int k) {
    std::vector<int> rows = p.rowsOf(k, 0x000000);
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](int y) { return y == 0 || y == g.height - 1; }),
               rows.end());
    return rows;
  };
  EXPECT_EQ(blackRows(40), std::vector<int>{20});
  EXPECT_EQ(blackRows(90), std::vector<int>{59});
  std::vector<int> step = blackRows(59), after = blackRows(60);
  step.insert(step.end(), after.begin(), after.end());
  EXPECT_EQ(step.front(), 20);  // the step joins the two levels
  EXPECT_EQ(step.back(), 59);
}

TEST(GraphPicture, SvgIsWellFormedWithEachCurveThroughItsPoints) {
  ScratchDir dir;
  GraphSource g = knownGraph();
  writeGraphSvg(dir.file("g.svg"), g);
  std::string text = readText(dir.file("g.svg"));
  XmlElement root;
  ASSERT_TRUE(XmlReader(text).document(&root)) << "not well-formed XML";
  EXPECT_EQ(root.name, "svg");
  EXPECT_EQ(std::stod(root.attributes["width"]), kW);
  EXPECT_EQ(std::stod(root.attributes["height"]), kH);

  std::vector<const XmlElement*> paths;
  collect(root, "path", &paths);
  std::map<uint32_t, std::vector<PathPoint>> curves;
  for (const XmlElement* path : paths) {
    auto stroke = strokeOf(*path);
    if (stroke == pixelOf(kCurve1) || stroke == pixelOf(kCurve2)) {
      EXPECT_EQ(curves.count(*stroke), 0u) << "one path per curve";
      curves[*stroke] = pointsOf(path->attributes.at("d"));
    }
  }
  ASSERT_EQ(curves.size(), 2u) << "the curves' colours are not in the SVG";
  // cairo merges collinear steps, so the check is that each sub-path passes through the
  // point of every column it spans.
  auto expectThrough = [&](const std::vector<PathPoint>& points, int k, double v) {
    for (size_t i = 1; i < points.size(); ++i) {
      const PathPoint &a = points[i - 1], &b = points[i];
      if (b.move || k + 0.5 < a.x - 1e-9 || k + 0.5 > b.x + 1e-9) continue;
      double y = a.x == b.x ? a.y : a.y + (b.y - a.y) * (k + 0.5 - a.x) / (b.x - a.x);
      // cairo keeps coordinates in 1/256 px.
      EXPECT_NEAR(y, 0.5 + (kTop - v) / (kTop - kBottom) * (kH - 1), 1.0 / 256) << k;
      return;
    }
    ADD_FAILURE() << "no line through column " << k;
  };
  auto subPaths = [](const std::vector<PathPoint>& points) {
    std::vector<std::pair<double, double>> spans;  // first and last x of each
    for (const PathPoint& p : points) {
      if (p.move) spans.emplace_back(p.x, p.x);
      if (!spans.empty()) spans.back().second = p.x;
    }
    return spans;
  };
  const auto& one = curves[pixelOf(kCurve1)];
  EXPECT_EQ(subPaths(one), (std::vector<std::pair<double, double>>{{0.5, kW - 0.5}}));
  for (int k = 0; k < kW; ++k) expectThrough(one, k, curve1(k));
  // The gap splits curve 2 into columns 0 ... 99 and 120 ... 299.
  const auto& two = curves[pixelOf(kCurve2)];
  EXPECT_EQ(subPaths(two),
            (std::vector<std::pair<double, double>>{{0.5, 99.5}, {120.5, kW - 0.5}}));
  for (int k : {0, 50, 99, 120, 250, kW - 1}) expectThrough(two, k, curve2(k));
}

TEST(GraphPicture, FailuresNameTheFile) {
  ScratchDir dir;
  std::string missing = dir.file("no/such/dir/g.png");
  try {
    writeGraphPng(missing, knownGraph());
    FAIL() << "wrote into a missing directory";
  } catch (const HostError& e) {
    EXPECT_EQ(e.status(), kExitFailure);
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
  EXPECT_THROW(writeGraphSvg(dir.file("no/such/dir/g.svg"), knownGraph()), HostError);
  GraphSource empty;  // a display with no control under it has no area
  EXPECT_THROW(writeGraphPng(dir.file("empty.png"), empty), HostError);
  EXPECT_FALSE(hosttest::exists(dir.file("empty.png")));
}

// ---- Dialogs drawn from their records ----

namespace {

ControlRecord control(int id, const std::string& kind, const std::string& text, unsigned long style,
                      int x, int y, int w, int h) {
  ControlRecord c;
  c.id = id;
  c.kind = kind;
  c.text = text;
  c.style = style | WS_CHILD | WS_VISIBLE;
  c.enabled = true;
  c.visible = true;
  c.x = x;
  c.y = y;
  c.width = w;
  c.height = h;
  return c;
}

// Picture pixels of a control's dialog-unit rectangle at scale 2.
struct Area {
  int x0, y0, x1, y1;
};
Area pictureArea(int x, int y, int w, int h) {
  RECT r = dialogUnitsToPixels(x, y, w, h);
  return {2 * (kDialogFrame + static_cast<int>(r.left)),
          2 * (kDialogFrame + kDialogCaption + static_cast<int>(r.top)),
          2 * (kDialogFrame + static_cast<int>(r.right)),
          2 * (kDialogFrame + kDialogCaption + static_cast<int>(r.bottom))};
}

int countIn(const Picture& p, Area a, uint32_t colour) {
  return p.count(a.x0, a.y0, a.x1, a.y1, colour);
}
int pixelsIn(Area a) { return (a.x1 - a.x0) * (a.y1 - a.y0); }

}  // namespace

TEST(DialogPicture, ControlsStandAtTheirPlacesInTheirStates) {
  DialogRecord d;
  d.resource = 900;
  d.caption = "States";
  d.ended = true;
  d.width = 200;   // 300 px
  d.height = 101;  // 164.125 -> 164 px
  d.controls.push_back(control(10, "button", "Shown", BS_DEFPUSHBUTTON, 10, 10, 50, 14));
  d.controls.push_back(control(11, "button", "Hidden", BS_PUSHBUTTON, 70, 10, 50, 14));
  d.controls.back().visible = false;
  d.controls.push_back(control(12, "checkbox", "On", BS_AUTOCHECKBOX, 10, 40, 60, 10));
  d.controls.back().checked = true;
  d.controls.push_back(control(13, "checkbox", "Off", BS_AUTOCHECKBOX, 80, 40, 60, 10));
  d.controls.push_back(control(14, "static", "Greyed", SS_LEFT, 10, 60, 60, 8));
  d.controls.back().enabled = false;
  d.controls.push_back(control(15, "groupbox", "Group", BS_GROUPBOX, 100, 55, 90, 40));

  ScratchDir dir;
  writeDialogPng(dir.file("d.png"), d);
  Picture p(dir.file("d.png"));
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.width(), 2 * (300 + 2 * kDialogFrame));
  EXPECT_EQ(p.height(), 2 * (164 + 2 * kDialogFrame + kDialogCaption));

  Area shown = pictureArea(10, 10, 50, 14), hidden = pictureArea(70, 10, 50, 14);
  EXPECT_EQ(countIn(p, hidden, kFacePixel), pixelsIn(hidden)) << "a hidden control was drawn";
  EXPECT_GT(countIn(p, shown, 0x000000), 0) << "no text or frame on the button";
  EXPECT_GT(countIn(p, shown, 0xFFFFFF), 0) << "no highlight on the button";
  // The default button's frame: its outermost pixels are black.
  EXPECT_EQ(p.at(shown.x0, (shown.y0 + shown.y1) / 2), 0x000000u);

  // The check boxes' squares (13 px at the left, centred in the 16-px-high control): the
  // checked one holds its black mark, the other only white.
  auto box = [&](int x, int y) {
    RECT r = dialogUnitsToPixels(x, y, 60, 10);
    int top = static_cast<int>(r.top) + (static_cast<int>(r.bottom - r.top) - 13) / 2;
    return Area{2 * (kDialogFrame + static_cast<int>(r.left) + 2),
                2 * (kDialogFrame + kDialogCaption + top + 2),
                2 * (kDialogFrame + static_cast<int>(r.left) + 11),
                2 * (kDialogFrame + kDialogCaption + top + 11)};
  };
  EXPECT_GT(countIn(p, box(10, 40), 0x000000), 20);
  EXPECT_EQ(countIn(p, box(80, 40), 0xFFFFFF), pixelsIn(box(80, 40)));

  // Disabled text is engraved: grey with a white shadow, and no black.
  Area greyed = pictureArea(10, 60, 60, 8);
  EXPECT_EQ(countIn(p, greyed, 0x000000), 0);
  EXPECT_GT(countIn(p, greyed, 0x808080), 20);
  EXPECT_GT(countIn(p, greyed, 0xFFFFFF), 10);

  // The group box's etched frame: grey line on its left edge below the caption.
  Area group = pictureArea(100, 55, 90, 40);
  EXPECT_EQ(p.at(group.x0, group.y1 - 10), 0x808080u);
  EXPECT_EQ(p.at(group.x0 + 2, group.y1 - 10), 0xFFFFFFu);
}

TEST(DialogPicture, NothingToDrawWithoutASize) {
  ScratchDir dir;
  DialogRecord d;
  EXPECT_THROW(writeDialogPng(dir.file("d.png"), d), HostError);
  // And no file named for it in a run's pictures.
  DisplayBoard none;
  EXPECT_TRUE(picturePaths(dir.path(), none, {d}).empty());
}

// ---- levelmeter's results dialog after a run in this process ----

namespace {

constexpr int kHistoryRate = 8000;
constexpr int kHistoryFrames = 16000;  // 2 s

// A 1 kHz tone, loud for the first second and 30 dB softer for the second.
Audio steppedTone() {
  Audio a;
  a.path = "memory";
  a.channels = 1;
  a.sampleRate = kHistoryRate;
  a.frames = kHistoryFrames;
  for (int i = 0; i < kHistoryFrames; ++i) {
    double amplitude = i < kHistoryFrames / 2 ? 8000.0 : 8000.0 / std::pow(10.0, 1.5);
    a.samples.push_back(
        static_cast<float>(amplitude * std::sin(2.0 * M_PI * 1000.0 * i / kHistoryRate)));
  }
  return a;
}

}  // namespace

TEST(LevelmeterPictures, ResultsDialogShowsItsGraphInTheFrameAndNotTheHiddenHolder) {
  auto plugin = Plugin::load(std::string(ORVANE_BIN_DIR) + "/levelmeter.xfm");
  Audio audio = steppedTone();
  SessionSetup setup;
  setup.channels = 1;
  setup.sampleRate = kHistoryRate;
  setup.selFirst = 0;
  setup.selLast = kHistoryFrames - 1;
  setup.showProgress = false;
  Session session(*plugin, &audio, setup);
  Person person(PersonScript{}, &session.displays());
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
  ASSERT_EQ(results->displays.size(), 1u);
  const DisplaySnapshot& shot = results->displays[0];
  // Frame 1301 at (244, 6), 200 x 150 dialog units: (366, 10), 300 x 244 pixels.
  EXPECT_EQ(shot.rect.left, 366);
  EXPECT_EQ(shot.rect.top, 10);
  EXPECT_EQ(shot.rect.right, 666);
  EXPECT_EQ(shot.rect.bottom, 254);
  ASSERT_TRUE(shot.targets[1].curveColour && shot.targets[1].yTop && shot.targets[1].yBottom);
  ASSERT_EQ(shot.curves.count(1), 1u);

  ScratchDir dir;
  std::vector<std::string> expected = {dir.file("display-1.png"), dir.file("display-1.svg"),
                                       dir.file("dialog-100.png"), dir.file("dialog-107.png")};
  EXPECT_EQ(picturePaths(dir.path(), session.displays(), person.log().dialogs), expected);
  writePictures(dir.path(), session.displays(), person.log().dialogs);
  for (const auto& path : expected) EXPECT_TRUE(hosttest::exists(path)) << path;

  Picture graph(dir.file("display-1.png"));
  ASSERT_TRUE(graph.ok());
  EXPECT_EQ(graph.width(), 300);
  EXPECT_EQ(graph.height(), 244);

  // The results dialog, 450 x 236 dialog units: 675 x 384 pixels, framed, doubled.
  Picture dialog(dir.file("dialog-107.png"));
  ASSERT_TRUE(dialog.ok());
  EXPECT_EQ(dialog.width(), 2 * (675 + 2 * kDialogFrame));
  EXPECT_EQ(dialog.height(), 2 * (384 + 2 * kDialogFrame + kDialogCaption));

  // The curve inside the frame, where the samples say, in the graph and in the dialog.
  const uint32_t navy = pixelOf(*shot.targets[1].curveColour);
  EXPECT_EQ(navy, 0x000080u);
  std::vector<int> rows =
      rowsOfCurve(shot.curves.at(1), *shot.targets[1].yTop, *shot.targets[1].yBottom, 244);
  const int frameX = 2 * (kDialogFrame + 366), frameY = 2 * (kDialogFrame + kDialogCaption + 10);
  for (int k : {40, 100, 149, 151, 220, 290}) {
    expectCurveAt(graph, k, navy, rows);
    expectCurveAt(dialog, k, navy, rows, frameX, frameY, 2);
  }
  // The step between the loud and the soft second: 30 dB apart on the graph.
  EXPECT_NEAR(rows[220] - rows[100], 30.0 / 100.0 * 243, 3);
  EXPECT_GT(dialog.count(frameX, frameY, frameX + 600, frameY + 488, navy), 600);
  EXPECT_EQ(dialog.count(0, frameY + 488, dialog.width(), dialog.height(), navy), 0);

  // The hidden state holder 120 (330, 218, 30 x 8 units) holds text, but none is drawn.
  bool holderHasText = false;
  for (const auto& c : results->controls) holderHasText |= c.id == 120 && !c.text.empty();
  EXPECT_TRUE(holderHasText);
  Area holder = pictureArea(330, 218, 30, 8);
  EXPECT_EQ(countIn(dialog, holder, kFacePixel), pixelsIn(holder));
  // A value the dialog wrote ("Full Scale Level", 1233) is drawn in black.
  EXPECT_GT(countIn(dialog, pictureArea(120, 30, 36, 8), 0x000000), 20);
}

// A dialog as it stood when it ended, drawn the way the classic Windows dialog manager draws
// one: a framed window with a caption, grey face, bevelled buttons, sunken fields.
#include <orvane_platform.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "host/errors.h"
#include "host/pictures/linux/picture_draw.h"

namespace orvane {

namespace {

const Rgb kFace = rgb255(192, 192, 192);
const Rgb kLight = rgb255(223, 223, 223);
const Rgb kHighlight = rgb255(255, 255, 255);
const Rgb kShadow = rgb255(128, 128, 128);
const Rgb kDarkShadow = rgb255(0, 0, 0);
const Rgb kText = rgb255(0, 0, 0);
const Rgb kWindow = rgb255(255, 255, 255);
const Rgb kCaptionLeft = rgb255(0, 0, 128);
const Rgb kCaptionRight = rgb255(16, 132, 208);
const Rgb kCaptionText = rgb255(255, 255, 255);

constexpr double kFontSize = 10.0;  // px: the dialog font, 13 px from line to line
constexpr double kNarrowest = 0.8;  // the most a line of text is narrowed to fit
constexpr int kLineHeight = 13;     // px, the dialog base unit's height
constexpr int kCheckSize = 13;      // px, a check box's square
constexpr int kRadioSize = 12;      // px, a radio button's circle
constexpr int kComboFieldHeight = 21;
constexpr int kDropButtonWidth = 16;

struct Px {
  int x, y, w, h;
  Px inset(int d) const { return {x + d, y + d, w - 2 * d, h - 2 * d}; }
};

void fill(cairo_t* cr, int x, int y, int w, int h, Rgb c) {
  if (w <= 0 || h <= 0) return;
  setColour(cr, c);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

void fill(cairo_t* cr, Px r, Rgb c) { fill(cr, r.x, r.y, r.w, r.h, c); }

// One-pixel edge: top and left in `topLeft`, bottom and right in `bottomRight`.
void edge(cairo_t* cr, Px r, Rgb topLeft, Rgb bottomRight) {
  fill(cr, r.x, r.y, r.w - 1, 1, topLeft);
  fill(cr, r.x, r.y, 1, r.h - 1, topLeft);
  fill(cr, r.x, r.y + r.h - 1, r.w, 1, bottomRight);
  fill(cr, r.x + r.w - 1, r.y, 1, r.h, bottomRight);
}

void frame(cairo_t* cr, Px r, Rgb c) { edge(cr, r, c, c); }

void raised(cairo_t* cr, Px r) {
  edge(cr, r, kHighlight, kDarkShadow);
  edge(cr, r.inset(1), kLight, kShadow);
}

void sunken(cairo_t* cr, Px r) {
  edge(cr, r, kShadow, kHighlight);
  edge(cr, r.inset(1), kDarkShadow, kLight);
}

// A grooved frame: a grey line with a white one below and to the right of it.
void etched(cairo_t* cr, Px r) {
  frame(cr, {r.x + 1, r.y + 1, r.w - 1, r.h - 1}, kHighlight);
  frame(cr, {r.x, r.y, r.w - 1, r.h - 1}, kShadow);
}

// ---- Text ----

enum class Align { kLeft, kCentre, kRight };

struct TextStyle {
  Align align = Align::kLeft;
  bool middle = false;  // centred vertically, else from the top
  bool wrap = false;    // break at spaces to the width
  bool prefix = true;   // '&' marks the next character as a mnemonic
  bool enabled = true;
  bool engraved = true;  // disabled text with a white shadow (buttons, labels), else plain grey
  Rgb colour = kText;
};

// A line of text with its mnemonic, if any (a byte index into `text`).
struct TextLine {
  std::string text;
  int underline = -1;
};

double advance(cairo_t* cr, const std::string& ansi) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, utf8Of(ansi).c_str(), &e);
  return e.x_advance;
}

// Splits at line ends, drops the mnemonic marks, and wraps at spaces when asked to.
std::vector<TextLine> layoutText(cairo_t* cr, const std::string& raw, const TextStyle& style,
                                 double width) {
  std::string text;
  int underline = -1;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (style.prefix && raw[i] == '&' && i + 1 < raw.size()) {
      ++i;
      if (raw[i] != '&' && underline < 0) underline = static_cast<int>(text.size());
    }
    if (raw[i] != '\r') text += raw[i];
  }
  std::vector<TextLine> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string paragraph = text.substr(start, end - start);
    size_t offset = start;
    while (style.wrap && advance(cr, paragraph) > width) {
      // The longest run of words that fits; a single word too long stays whole.
      size_t cut = std::string::npos;
      for (size_t space = paragraph.find(' '); space != std::string::npos;
           space = paragraph.find(' ', space + 1)) {
        if (advance(cr, paragraph.substr(0, space)) > width) break;
        cut = space;
      }
      if (cut == std::string::npos) cut = paragraph.find(' ');
      if (cut == std::string::npos) break;
      TextLine line{paragraph.substr(0, cut), -1};
      if (underline >= static_cast<int>(offset) && underline < static_cast<int>(offset + cut)) {
        line.underline = underline - static_cast<int>(offset);
      }
      lines.push_back(line);
      size_t next = paragraph.find_first_not_of(' ', cut);
      if (next == std::string::npos) next = paragraph.size();
      paragraph.erase(0, next);
      offset += next;
    }
    TextLine line{paragraph, -1};
    if (underline >= static_cast<int>(offset) &&
        underline < static_cast<int>(offset + paragraph.size())) {
      line.underline = underline - static_cast<int>(offset);
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

void showLine(cairo_t* cr, const TextLine& line, double x, double baseline, Rgb colour) {
  setColour(cr, colour);
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, utf8Of(line.text).c_str());
  if (line.underline >= 0) {
    double from = x + advance(cr, line.text.substr(0, line.underline));
    double w = advance(cr, line.text.substr(line.underline, 1));
    cairo_rectangle(cr, std::round(from), std::round(baseline) + 1, std::max(1.0, std::round(w)),
                    1);
    cairo_fill(cr);
  }
}

// Draws text inside `box`, clipped to it; greyed (engraved) when disabled.
void drawText(cairo_t* cr, const std::string& raw, Px box, const TextStyle& style) {
  if (raw.empty() || box.w <= 0 || box.h <= 0) return;
  // Wrapping into a box one line high would only show the first words.
  TextStyle layout = style;
  layout.wrap = style.wrap && box.h >= 2 * kLineHeight;
  std::vector<TextLine> lines = layoutText(cr, raw, layout, box.w);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  const double baselineOffset = std::round((kLineHeight + fe.ascent - fe.descent) / 2);
  double top = box.y;
  if (style.middle) {
    top = box.y + std::floor((box.h - static_cast<int>(lines.size()) * kLineHeight) / 2.0);
  }
  cairo_save(cr);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_clip(cr);
  for (size_t i = 0; i < lines.size(); ++i) {
    double w = advance(cr, lines[i].text);
    // The font is a little wider than the one the templates were laid out for: a line that
    // overflows is narrowed, as far as kNarrowest, before it is clipped.
    double narrowing = w > box.w ? std::max(box.w / w, kNarrowest) : 1.0;
    w *= narrowing;
    double x = box.x;
    if (style.align == Align::kCentre) x = box.x + std::floor((box.w - w) / 2);
    if (style.align == Align::kRight) x = box.x + box.w - w;
    if (w > box.w) x = box.x;
    double baseline = top + static_cast<double>(i) * kLineHeight + baselineOffset;
    cairo_save(cr);
    cairo_translate(cr, x, baseline);
    cairo_scale(cr, narrowing, 1.0);
    if (style.enabled) {
      showLine(cr, lines[i], 0, 0, style.colour);
    } else if (!style.engraved) {
      showLine(cr, lines[i], 0, 0, kShadow);
    } else {
      showLine(cr, lines[i], 1 / narrowing, 1, kHighlight);
      showLine(cr, lines[i], 0, 0, kShadow);
    }
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

// ---- Controls ----

void drawStatic(cairo_t* cr, const ControlRecord& c, Px r) {
  const unsigned long type = c.style & SS_TYPEMASK;
  TextStyle text;
  text.enabled = c.enabled;
  text.prefix = !(c.style & SS_NOPREFIX);
  text.middle = (c.style & SS_CENTERIMAGE) != 0;
  switch (type) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
      text.wrap = true;
      text.align = type == SS_CENTER  ? Align::kCentre
                   : type == SS_RIGHT ? Align::kRight
                                      : Align::kLeft;
      drawText(cr, c.text, r, text);
      break;
    case SS_LEFTNOWORDWRAP:
    case SS_SIMPLE:
      drawText(cr, c.text, r, text);
      break;
    case SS_BLACKRECT:
      fill(cr, r, kDarkShadow);
      break;
    case SS_GRAYRECT:
      fill(cr, r, kShadow);
      break;
    case SS_WHITERECT:
      fill(cr, r, kHighlight);
      break;
    case SS_BLACKFRAME:
      frame(cr, r, kDarkShadow);
      break;
    case SS_GRAYFRAME:
      frame(cr, r, kShadow);
      break;
    case SS_WHITEFRAME:
      frame(cr, r, kHighlight);
      break;
    case SS_ETCHEDHORZ:
      fill(cr, r.x, r.y, r.w, 1, kShadow);
      fill(cr, r.x, r.y + 1, r.w, 1, kHighlight);
      break;
    case SS_ETCHEDVERT:
      fill(cr, r.x, r.y, 1, r.h, kShadow);
      fill(cr, r.x + 1, r.y, 1, r.h, kHighlight);
      break;
    case SS_ETCHEDFRAME:
      etched(cr, r);
      break;
    default:
      break;  // icons, bitmaps, owner-drawn: nothing the record holds
  }
  if (c.style & SS_SUNKEN) edge(cr, r, kShadow, kHighlight);
}

void drawGroupBox(cairo_t* cr, const ControlRecord& c, Px r) {
  const int lineY = r.y + kLineHeight / 2;
  etched(cr, {r.x, lineY, r.w, r.h - (lineY - r.y)});
  if (c.text.empty()) return;
  TextStyle text;
  text.enabled = c.enabled;
  std::vector<TextLine> lines = layoutText(cr, c.text, text, r.w);
  double w = std::ceil(advance(cr, lines.front().text));
  int textWidth = static_cast<int>(std::min<double>(w, r.w - 16));
  fill(cr, r.x + 6, r.y, textWidth + 4, kLineHeight, kFace);
  drawText(cr, c.text, {r.x + 8, r.y, textWidth, kLineHeight}, text);
}

Align buttonAlign(unsigned long style, Align fallback) {
  switch (style & BS_CENTER) {
    case BS_LEFT:
      return Align::kLeft;
    case BS_RIGHT:
      return Align::kRight;
    case BS_CENTER:
      return Align::kCentre;
    default:
      return fallback;
  }
}

void drawPushButton(cairo_t* cr, const ControlRecord& c, Px r, bool isDefault, bool pushed) {
  fill(cr, r, kFace);
  Px bevel = r;
  if (isDefault) {
    frame(cr, r, kDarkShadow);
    bevel = r.inset(1);
  }
  if (pushed) {
    fill(cr, bevel, kLight);
    sunken(cr, bevel);
  } else {
    raised(cr, bevel);
  }
  if ((c.style & BS_TYPEMASK) == BS_OWNERDRAW) return;
  TextStyle text;
  text.enabled = c.enabled;
  text.middle = true;
  text.wrap = (c.style & BS_MULTILINE) != 0;
  text.align = buttonAlign(c.style, Align::kCentre);
  Px area = bevel.inset(3);
  if (pushed) area = {area.x + 1, area.y + 1, area.w, area.h};
  drawText(cr, c.text, area, text);
}

// The classic 7 x 7 check mark, one row per string.
void checkMark(cairo_t* cr, int x, int y, Rgb colour) {
  static const char* const kRows[7] = {"......#", ".....##", "#...###", "##.###.",
                                       "#####..", ".###...", "..#...."};
  for (int row = 0; row < 7; ++row) {
    for (int col = 0; col < 7; ++col) {
      if (kRows[row][col] == '#') fill(cr, x + col, y + row, 1, 1, colour);
    }
  }
}

// The text beside a check box or radio button, and where its mark goes.
void markAndLabel(cairo_t* cr, const ControlRecord& c, Px r, int markSize, Px* mark) {
  const bool textLeft = (c.style & BS_LEFTTEXT) != 0;
  int markX = textLeft ? r.x + r.w - markSize : r.x;
  *mark = {markX, r.y + (r.h - markSize) / 2, markSize, markSize};
  TextStyle text;
  text.enabled = c.enabled;
  text.middle = true;
  text.wrap = (c.style & BS_MULTILINE) != 0;
  text.align = buttonAlign(c.style, Align::kLeft);
  Px area = textLeft ? Px{r.x, r.y, r.w - markSize - 4, r.h}
                     : Px{r.x + markSize + 4, r.y, r.w - markSize - 4, r.h};
  drawText(cr, c.text, area, text);
}

void drawCheckBox(cairo_t* cr, const ControlRecord& c, Px r) {
  if (c.style & BS_PUSHLIKE) {
    drawPushButton(cr, c, r, false, c.checked);
    return;
  }
  Px box;
  markAndLabel(cr, c, r, kCheckSize, &box);
  sunken(cr, box);
  fill(cr, box.inset(2), c.enabled ? kWindow : kFace);
  if (c.checked) checkMark(cr, box.x + 3, box.y + 3, c.enabled ? kText : kShadow);
}

void drawRadio(cairo_t* cr, const ControlRecord& c, Px r) {
  if (c.style & BS_PUSHLIKE) {
    drawPushButton(cr, c, r, false, c.checked);
    return;
  }
  Px box;
  markAndLabel(cr, c, r, kRadioSize, &box);
  const double cx = box.x + box.w / 2.0, cy = box.y + box.h / 2.0;
  const double radius = box.w / 2.0;
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  cairo_set_line_width(cr, 1.0);
  // Sunken ring: dark above and to the left, light below and to the right.
  auto halfRing = [&](double r0, double from, Rgb colour) {
    setColour(cr, colour);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r0, from, from + M_PI);
    cairo_stroke(cr);
  };
  const double upperLeft = 0.75 * M_PI, lowerRight = -0.25 * M_PI;
  halfRing(radius - 0.5, upperLeft, kShadow);
  halfRing(radius - 0.5, lowerRight, kHighlight);
  halfRing(radius - 1.5, upperLeft, kDarkShadow);
  halfRing(radius - 1.5, lowerRight, kLight);
  setColour(cr, c.enabled ? kWindow : kFace);
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, radius - 2, 0, 2 * M_PI);
  cairo_fill(cr);
  if (c.checked) {
    setColour(cr, c.enabled ? kText : kShadow);
    cairo_arc(cr, cx, cy, 2.0, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void drawEdit(cairo_t* cr, const ControlRecord& c, Px r) {
  const bool bordered = (c.style & WS_BORDER) != 0;
  Px inside = bordered ? r.inset(2) : r;
  if (bordered) sunken(cr, r);
  const bool readOnly = (c.style & ES_READONLY) != 0;
  fill(cr, inside, c.enabled && !readOnly ? kWindow : kFace);
  std::string shown = c.text;
  if (c.style & ES_PASSWORD) shown.assign(shown.size(), '*');
  TextStyle text;
  text.prefix = false;
  text.enabled = c.enabled;
  text.engraved = false;
  text.align = (c.style & ES_RIGHT)    ? Align::kRight
               : (c.style & ES_CENTER) ? Align::kCentre
                                       : Align::kLeft;
  const bool multiline = (c.style & ES_MULTILINE) != 0;
  text.middle = !multiline;
  text.wrap = multiline && !(c.style & ES_AUTOHSCROLL);
  drawText(cr, shown, {inside.x + 2, inside.y + (multiline ? 1 : 0), inside.w - 4, inside.h}, text);
}

void drawComboBox(cairo_t* cr, const ControlRecord& c, Px r) {
  Px field{r.x, r.y, r.w, std::min(r.h, kComboFieldHeight)};
  sunken(cr, field);
  Px inside = field.inset(2);
  fill(cr, inside, c.enabled ? kWindow : kFace);
  Px button{inside.x + inside.w - kDropButtonWidth, inside.y, kDropButtonWidth, inside.h};
  fill(cr, button, kFace);
  raised(cr, button);
  const Rgb arrow = c.enabled ? kText : kShadow;
  const int ax = button.x + (button.w - 7) / 2, ay = button.y + (button.h - 4) / 2;
  for (int row = 0; row < 4; ++row) fill(cr, ax + row, ay + row, 7 - 2 * row, 1, arrow);
  TextStyle text;
  text.prefix = false;
  text.enabled = c.enabled;
  text.engraved = false;
  text.middle = true;
  drawText(cr, c.text, {inside.x + 2, inside.y, inside.w - kDropButtonWidth - 3, inside.h}, text);
}

// ---- The window ----

struct WindowLayout {
  int width, height;     // px, frame included
  int clientX, clientY;  // client origin
  int clientW, clientH;  // client size
};

WindowLayout layoutOf(const DialogRecord& d) {
  WindowLayout w;
  w.clientW = static_cast<int>(orvane_units_to_pixels_x(d.width));
  w.clientH = static_cast<int>(orvane_units_to_pixels_y(d.height));
  w.clientX = kDialogFrame;
  w.clientY = kDialogFrame + kDialogCaption;
  w.width = w.clientW + 2 * kDialogFrame;
  w.height = w.clientH + 2 * kDialogFrame + kDialogCaption;
  return w;
}

void drawWindow(cairo_t* cr, const DialogRecord& d, const WindowLayout& w) {
  fill(cr, 0, 0, w.width, w.height, kFace);
  Px outer{0, 0, w.width, w.height};
  edge(cr, outer, kLight, kDarkShadow);
  edge(cr, outer.inset(1), kHighlight, kShadow);

  Px bar{kDialogFrame, kDialogFrame, w.width - 2 * kDialogFrame, kDialogCaption};
  cairo_pattern_t* gradient = cairo_pattern_create_linear(bar.x, 0, bar.x + bar.w, 0);
  cairo_pattern_add_color_stop_rgb(gradient, 0, kCaptionLeft.r, kCaptionLeft.g, kCaptionLeft.b);
  cairo_pattern_add_color_stop_rgb(gradient, 1, kCaptionRight.r, kCaptionRight.g, kCaptionRight.b);
  cairo_set_source(cr, gradient);
  cairo_rectangle(cr, bar.x, bar.y, bar.w, bar.h);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);

  // The close box of the system menu.
  Px close{bar.x + bar.w - 2 - 16, bar.y + 2, 16, 14};
  fill(cr, close, kFace);
  raised(cr, close);
  for (int i = 0; i < 7; ++i) {
    fill(cr, close.x + 4 + i, close.y + 3 + i, 2, 1, kText);
    fill(cr, close.x + 10 - i, close.y + 3 + i, 2, 1, kText);
  }

  useDialogFont(cr, kFontSize, true);
  TextStyle caption;
  caption.prefix = false;
  caption.middle = true;
  caption.colour = kCaptionText;
  drawText(cr, d.caption, {bar.x + 4, bar.y, close.x - bar.x - 8, bar.h}, caption);
  useDialogFont(cr, kFontSize);
}

// The display lying over control `c`: the k-th custom window of an id shows the k-th display
// recorded over that id.
const DisplaySnapshot* displayOf(const DialogRecord& d, const ControlRecord& c, int k) {
  for (const DisplaySnapshot& s : d.displays) {
    if (s.id == c.id && k-- == 0) return &s;
  }
  return nullptr;
}

void drawControls(cairo_t* cr, const DialogRecord& d, const DisplayNames& names) {
  std::map<int, int> customSeen;
  for (const ControlRecord& c : d.controls) {
    const int k = c.kind == "custom" ? customSeen[c.id]++ : 0;
    if (!c.visible) continue;
    RECT p = dialogUnitsToPixels(c.x, c.y, c.width, c.height);
    Px r{static_cast<int>(p.left), static_cast<int>(p.top), static_cast<int>(p.right - p.left),
         static_cast<int>(p.bottom - p.top)};
    if (c.kind == "static") {
      drawStatic(cr, c, r);
    } else if (c.kind == "groupbox") {
      drawGroupBox(cr, c, r);
    } else if (c.kind == "button") {
      drawPushButton(cr, c, r, (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, false);
    } else if (c.kind == "checkbox") {
      drawCheckBox(cr, c, r);
    } else if (c.kind == "radio") {
      drawRadio(cr, c, r);
    } else if (c.kind == "edit") {
      drawEdit(cr, c, r);
    } else if (c.kind == "combobox") {
      drawComboBox(cr, c, r);
    } else if (c.kind == "custom") {
      if (const DisplaySnapshot* s = displayOf(d, c, k)) {
        // Its own pixel rectangle: the dialog units of a host window are only approximate.
        cairo_save(cr);
        cairo_translate(cr, s->rect.left, s->rect.top);
        drawGraph(cr, readableGraph(graphOf(*s), names));
        cairo_restore(cr);
        useDialogFont(cr, kFontSize);
      }
    }
  }
}

}  // namespace

RECT dialogUnitsToPixels(int x, int y, int width, int height) {
  const long left = orvane_units_to_pixels_x(x), top = orvane_units_to_pixels_y(y);
  return {(LONG)left, (LONG)top, (LONG)(left + orvane_units_to_pixels_x(width)),
          (LONG)(top + orvane_units_to_pixels_y(height))};
}

void writeDialogPng(const std::string& path, const DialogRecord& d, int scale,
                    const DisplayNames& names) {
  if (d.width <= 0 || d.height <= 0) {
    throw failure("cannot draw " + path + ": the dialog has no size");
  }
  scale = std::max(scale, 1);
  const WindowLayout w = layoutOf(d);
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, w.width * scale, w.height * scale);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  drawWindow(cr, d, w);
  cairo_translate(cr, w.clientX, w.clientY);
  cairo_rectangle(cr, 0, 0, w.clientW, w.clientH);
  cairo_clip(cr);
  useDialogFont(cr, kFontSize);
  drawControls(cr, d, names);
  finishPng(cr, surface, path);
}

}  // namespace orvane

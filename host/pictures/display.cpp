#include "host/pictures/display.h"

#include "host/pictures/display_paint.h"
#include "host/pictures/graph_layout.h"
#include "host/system/system.h"

namespace orvane {

const char kDisplayClassName[] = "OrvaneDisplay";

namespace {

DisplayRecord* recordOf(HWND window) {
  return reinterpret_cast<DisplayRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

std::optional<double> readDouble(LPARAM value) {
  const double* p = reinterpret_cast<const double*>(value);
  if (!p) return std::nullopt;
  return *p;
}

std::optional<std::string> readText(LPARAM value) {
  const char* p = reinterpret_cast<const char*>(value);
  if (!p) return std::nullopt;
  return std::string(p);
}

void store(DisplayRecord* r, int attribute, int target, LPARAM value) {
  ++r->messages;
  if (target < 0 || target > 2) {
    r->other.push_back({attribute, target, static_cast<long>(value)});
    return;
  }
  DisplaySettings& s = r->targets[target];
  s.configured = true;
  switch (attribute) {
    case kDisplayViewMode:
      s.viewMode = value;
      break;
    case kDisplayBackground:
      s.background = value;
      break;
    case kDisplayCurveColour:
      s.curveColour = value;
      break;
    case kDisplayGridColour:
      s.gridColour = value;
      break;
    case kDisplayYTop:
      s.yTop = readDouble(value);
      break;
    case kDisplayYBottom:
      s.yBottom = readDouble(value);
      break;
    case kDisplayXLeft:
      s.xLeft = readDouble(value);
      break;
    case kDisplayXRight:
      s.xRight = readDouble(value);
      break;
    case kDisplayStyle:
      s.style = value;
      break;
    case kDisplaySampleRate:
      s.sampleRate = value;
      break;
    case kDisplayXLabel:
      s.xLabel = readText(value);
      break;
    case kDisplayYLabel:
      s.yLabel = readText(value);
      break;
    default:
      r->other.push_back({attribute, target, static_cast<long>(value)});
      break;
  }
}

LRESULT CALLBACK displayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DisplayRecord* r = recordOf(window);
  if (r) {
    if (message == DISPLAY_SET) {
      store(r, HIWORD(wParam), LOWORD(wParam), lParam);
      return 1;
    }
    if (message == WM_PAINT) {
      ++r->repaints;
      paintDisplay(window, *r);
      return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_DESTROY) {
      r->window = nullptr;
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool registerDisplayClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = displayProc;
  wc.lpszClassName = kDisplayClassName;
  registered = RegisterClassA(&wc) != 0;
  return registered;
}

}  // namespace

HWND DisplayBoard::create(HWND dialog, WORD controlId, XfmDisplayCallback callback, void* user) {
  auto record = std::make_unique<DisplayRecord>();
  DisplayRecord* r = record.get();
  r->number = static_cast<int>(displays_.size()) + 1;
  r->dialog = dialog;
  r->dialogResource = dialogResourceOf(dialog);
  r->controlId = controlId;
  r->callback = callback;
  r->user = user;
  // The display this one takes the place of: the latest over the same control, gone while its
  // dialog stood. One already sampled belongs to a dialog that ended, and a dialog shown later
  // under the same handle inherits nothing from it.
  for (auto it = displays_.rbegin(); it != displays_.rend(); ++it) {
    const DisplayRecord& before = **it;
    if (before.dialog != dialog || before.controlId != controlId) continue;
    if (!before.window && !before.sampled) {
      const DisplayTargets shown = graphTargets(before.targets, before.inherited);
      r->inherited = {graphXLabel(shown), graphYLabel(shown)};
    }
    break;
  }
  displays_.push_back(std::move(record));

  // The control's rectangle in the dialog's client coordinates, as a graph window laid over
  // it needs them.
  HWND control = dialog ? GetDlgItem(dialog, controlId) : nullptr;
  RECT screen{};
  if (control && GetWindowRect(control, &screen)) {
    r->controlFound = true;
    POINT topLeft{screen.left, screen.top};
    POINT bottomRight{screen.right, screen.bottom};
    ScreenToClient(dialog, &topLeft);
    ScreenToClient(dialog, &bottomRight);
    r->rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  }
  if (!registerDisplayClass()) return nullptr;
  HWND window =
      CreateWindowExA(0, kDisplayClassName, "", WS_CHILD | WS_VISIBLE, r->rect.left, r->rect.top,
                      r->rect.right - r->rect.left, r->rect.bottom - r->rect.top, dialog,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), nullptr, nullptr);
  if (!window) return nullptr;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(r));
  r->window = window;
  return window;
}

void sampleDisplay(DisplayRecord* r) {
  r->sampled = true;
  int width = r->rect.right - r->rect.left;
  RECT client{};
  if (r->window && GetClientRect(r->window, &client)) width = client.right - client.left;
  const std::optional<GraphXAxis> axis = graphXAxis(r->targets, width);
  if (!axis || !r->callback) return;

  r->width = width;
  r->x.resize(width);
  for (int k = 0; k < width; ++k) r->x[k] = graphXAt(*axis, k);
  // Only the curves the plug-in configured: a curve it never mentioned may have no buffer
  // behind it (the right channel of a mono run).
  for (short curve = 1; curve <= 2; ++curve) {
    if (!r->targets[curve].configured) continue;
    std::vector<std::optional<double>> ys(width);
    bool any = false;
    for (int k = 0; k < width; ++k) {
      double y = 0.0;
      if (r->callback(r->x[k], r->user, curve, &y) == 1) {
        ys[k] = y;
        any = true;
      }
    }
    if (any) r->curves[curve] = std::move(ys);
  }
}

void DisplayBoard::sampleDialog(HWND dialog) {
  for (auto& d : displays_) {
    if (d->dialog == dialog && !d->sampled) sampleDisplay(d.get());
  }
}

std::vector<const DisplayRecord*> DisplayBoard::ofDialog(HWND dialog) const {
  std::vector<const DisplayRecord*> found;
  for (const auto& d : displays_) {
    if (d->dialog == dialog) found.push_back(d.get());
  }
  return found;
}

DisplayBoard::~DisplayBoard() {
  // Windows still standing must not reach the records any more.
  for (auto& d : displays_) {
    if (d->window && IsWindow(d->window)) SetWindowLongPtrA(d->window, GWLP_USERDATA, 0);
  }
}

}  // namespace orvane

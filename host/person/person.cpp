// The Person: its hooks are an OrvaneUser (the platform layer's on Linux, the host's own
// import hooks on Windows).
#include "host/person/person.h"

#include <orvane_platform.h>

#include <algorithm>
#include <cstring>

#include "frame/xfm.h"
#include "host/person/control_labels.h"
#include "host/person/person_controls.h"
#include "host/person/typed_numbers.h"

namespace orvane {

namespace {

Person* self(void* context) { return static_cast<Person*>(context); }

// The platform calls these from inside the plug-in's dialogs: nothing may escape them.
template <typename R, typename F>
R guarded(R fallback, F act) {
  try {
    return act();
  } catch (...) {
    return fallback;
  }
}

void WINAPI hookShown(void* context, HWND dialog, int resource) {
  guarded(0, [&] {
    self(context)->dialogShown(dialog, resource);
    return 0;
  });
}

int WINAPI hookIdle(void* context, HWND dialog, int resource) {
  return guarded(0, [&] { return self(context)->dialogIdle(dialog, resource); });
}

void WINAPI hookEnded(void* context, HWND dialog, int resource, INT_PTR result) {
  guarded(0, [&] {
    self(context)->dialogEnded(dialog, resource, result);
    return 0;
  });
}

int WINAPI hookMessageBox(void* context, HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return guarded(firstButtonOf(type),
                 [&] { return self(context)->messageBox(owner, text, caption, type); });
}

BOOL WINAPI hookSaveFileName(void* context, OPENFILENAMEA* ofn) {
  return guarded<BOOL>(FALSE, [&] { return self(context)->saveFileName(ofn); });
}

void WINAPI hookHelp(void* context, HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
  guarded(0, [&] {
    self(context)->help(window, file, command, data);
    return 0;
  });
}

void WINAPI hookBeep(void* context, UINT type) {
  guarded(0, [&] {
    self(context)->beep(type);
    return 0;
  });
}

std::string text(LPCSTR s) { return s ? s : ""; }

// The filter list of a save dialog: pairs of zero-terminated strings, ended by an empty one.
std::vector<std::pair<std::string, std::string>> filtersOf(LPCSTR list) {
  std::vector<std::pair<std::string, std::string>> filters;
  if (!list) return filters;
  const char* p = list;
  while (*p && filters.size() < 64) {
    std::string description = p;
    p += description.size() + 1;
    std::string pattern = p;
    p += pattern.size() + 1;
    filters.emplace_back(description, pattern);
    if (pattern.empty()) break;
  }
  return filters;
}

}  // namespace

std::string messageIconName(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return "error";
    case MB_ICONQUESTION:
      return "question";
    case MB_ICONEXCLAMATION:
      return "warning";
    case MB_ICONASTERISK:
      return "information";
    default:
      return "none";
  }
}

int firstButtonOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case 2:
      return IDABORT;  // Abort, Retry, Ignore
    case MB_YESNOCANCEL:
    case MB_YESNO:
      return IDYES;
    case 5:
      return IDRETRY;  // Retry, Cancel
    case 6:
      return IDCANCEL;  // Cancel, Try Again, Continue
    default:
      return IDOK;  // OK; OK, Cancel
  }
}

DialogRecord lookAtDialog(HWND dialog, int resource) {
  DialogRecord d;
  d.resource = resource;
  char caption[512] = {};
  GetWindowTextA(dialog, caption, sizeof caption);
  d.caption = caption;
  orvane_dialog_size(dialog, &d.width, &d.height);
  int count = orvane_dialog_control_count(dialog);
  for (int i = 0; i < count; ++i) {
    OrvaneControlInfo info;
    std::memset(&info, 0, sizeof info);
    if (orvane_dialog_control(dialog, i, &info) != 0) continue;
    ControlRecord c;
    c.id = info.id;
    c.kind = info.kindName ? info.kindName : "unknown";
    c.text = std::string(info.text, strnlen(info.text, sizeof info.text));
    c.checked = info.checked != 0;
    c.enabled = info.enabled != 0;
    c.visible = info.visible != 0;
    c.style = info.style;
    c.x = info.rect.left;
    c.y = info.rect.top;
    c.width = info.rect.right - info.rect.left;
    c.height = info.rect.bottom - info.rect.top;
    if (info.kind == kOrvaneComboBox) {
      int items = orvane_combo_count(info.window);
      for (int k = 0; k < items; ++k) {
        char item[512] = {};
        orvane_combo_item(info.window, k, item, sizeof item);
        c.items.push_back(item);
      }
    }
    d.controls.push_back(std::move(c));
  }
  return d;
}

Person::Person(PersonScript script, DisplayBoard* displays)
    : script_(std::move(script)), displays_(displays) {}

Person::~Person() {
  if (installed_) orvane_set_user(nullptr);
}

void Person::install() {
  OrvaneUser user{};
  user.context = this;
  user.dialogShown = hookShown;
  user.dialogIdle = hookIdle;
  user.dialogEnded = hookEnded;
  user.messageBox = hookMessageBox;
  user.saveFileName = hookSaveFileName;
  user.help = hookHelp;
  user.beep = hookBeep;
  orvane_set_user(&user);
  installed_ = true;
}

void Person::fail(const std::string& message) {
  if (log_.error.empty()) log_.error = message;
}

void Person::finish() {
  if (script_.lookOnly) return;
  if (!script_.settings.empty() && !log_.settingsHandled) {
    log_.warnings.push_back("--set was not applied: the plug-in showed no settings dialog");
  }
  if ((!script_.presses.empty() || script_.keep) && !log_.resultsHandled) {
    log_.warnings.push_back(std::string(script_.presses.empty() ? "--keep" : "--press") +
                            " was not applied: the plug-in showed no results dialog");
  }
  if (script_.saveAs && log_.saveDialogs.empty()) {
    log_.warnings.push_back("--save-as was not used: the plug-in showed no save dialog");
  }
}

void Person::dialogShown(HWND dialog, int resource) {
  endedDialogs_.erase(std::remove(endedDialogs_.begin(), endedDialogs_.end(), dialog),
                      endedDialogs_.end());
  if (script_.lookOnly) log_.looks.push_back(lookAtDialog(dialog, resource));
}

int Person::dialogIdle(HWND dialog, int resource) {
  // Nothing more to do closes the dialog as a person would (WM_CLOSE): the settings dialog
  // then cancels, a dialog the script does not know is simply closed.
  if (script_.lookOnly || !log_.error.empty()) return 0;
  if (resource == kSettingsDialogResource && !log_.settingsHandled) {
    log_.settingsHandled = true;
    actOnSettings(dialog);
    return log_.error.empty() ? 1 : 0;
  }
  if (resource == kResultsDialogResource && !log_.resultsHandled) {
    log_.resultsHandled = true;
    actOnResults(dialog);
    return log_.error.empty() ? 1 : 0;
  }
  return 0;
}

namespace {

// What a person reads as the name of control `id` of `dialog`, which has no text of its own:
// the label on its row ("Calibration values (dB):"), or "" for none.
std::string labelOf(HWND dialog, int resource, int id) {
  const DialogRecord d = lookAtDialog(dialog, resource);
  for (const ControlRecord& c : d.controls) {
    if (c.id != id) continue;
    const ControlRecord* row = rowLabel(d, c);
    return row ? row->text : "";
  }
  return "";
}

// Why `value` may not be typed into `control`, an edit that holds a number; "" when it may.
std::string typedNumberRefusal(HWND dialog, const OrvaneControlInfo& control,
                               const std::string& value) {
  if (control.kind != kOrvaneEdit || !holdsNumber(control.style, control.text)) return "";
  const std::string why = typedNumberProblem(value, (control.style & ES_NUMBER) != 0);
  if (why.empty()) return "";
  const std::string label = labelOf(dialog, kSettingsDialogResource, control.id);
  return controlName(control) + (label.empty() ? "" : " \"" + label + "\"") +
         " holds a number, and \"" + value + "\" is " + why + ": nothing was run";
}

}  // namespace

void Person::actOnSettings(HWND dialog) {
  for (const SetAction& set : script_.settings) {
    OrvaneControlInfo control;
    std::string problem = findControl(dialog, kSettingsDialogResource, set.control, &control);
    if (problem.empty()) problem = typedNumberRefusal(dialog, control, set.value);
    if (problem.empty()) problem = setControl(control, set.value);
    if (!problem.empty()) {
      fail("--set " + set.spelled + ": " + problem);
      return;
    }
    if (!log_.error.empty()) return;  // something the setting opened went wrong
  }
  OrvaneControlInfo ok;
  std::string problem = findControl(dialog, kSettingsDialogResource, "1", &ok);
  if (problem.empty()) problem = pressControl(ok);
  if (!problem.empty()) fail("the settings dialog's OK: " + problem);
}

void Person::actOnResults(HWND dialog) {
  auto ended = [&] {
    return std::find(endedDialogs_.begin(), endedDialogs_.end(), dialog) != endedDialogs_.end();
  };
  for (const std::string& press : script_.presses) {
    if (ended()) {
      fail("--press " + press + ": the results dialog had already ended");
      return;
    }
    OrvaneControlInfo control;
    std::string problem = findControl(dialog, kResultsDialogResource, press, &control);
    if (problem.empty()) problem = pressControl(control);
    if (!problem.empty()) {
      fail("--press " + press + ": " + problem);
      return;
    }
    if (!log_.error.empty()) return;  // e.g. the save dialog it opened could not be answered
  }
  if (ended() || !script_.keep) return;  // a person closes the window with its close box
  OrvaneControlInfo ok;
  std::string problem = findControl(dialog, kResultsDialogResource, "1", &ok);
  if (problem.empty()) problem = pressControl(ok);
  if (!problem.empty()) fail("--keep: " + problem);
}

void Person::dialogEnded(HWND dialog, int resource, INT_PTR result) {
  endedDialogs_.push_back(dialog);
  if (displays_) displays_->sampleDialog(dialog);
  DialogRecord d = lookAtDialog(dialog, resource);
  d.screen = captureWindow(dialog);
  d.ended = true;
  d.result = result;
  if (displays_) {
    // A display the plug-in destroyed has left the dialog, as its window has left the
    // controls: the k-th display window over a control shows the k-th display kept here.
    for (const DisplayRecord* r : displays_->ofDialog(dialog)) {
      if (!r->window) continue;
      d.displays.push_back(
          {r->number, r->controlId, r->x, r->curves, r->rect, r->targets, r->inherited});
    }
  }
  log_.dialogs.push_back(std::move(d));
}

int Person::messageBox(HWND, LPCSTR body, LPCSTR caption, UINT type) {
  MessageRecord m;
  m.caption = text(caption);
  m.text = text(body);
  m.icon = messageIconName(type);
  m.type = type;
  m.answer = firstButtonOf(type);
  log_.messages.push_back(m);
  return m.answer;
}

BOOL Person::saveFileName(OPENFILENAMEA* ofn) {
  SaveDialogRecord r;
  if (!ofn) return FALSE;
  r.title = text(ofn->lpstrTitle);
  r.initialDirectory = text(ofn->lpstrInitialDir);
  if (ofn->lpstrFile && ofn->nMaxFile > 0) {
    r.initialFile = std::string(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
  }
  r.filters = filtersOf(ofn->lpstrFilter);
  r.offeredType = ofn->nFilterIndex;
  r.chosenType = ofn->nFilterIndex;

  auto cancel = [&](const std::string& problem) {
    if (!problem.empty()) fail(problem);
    log_.saveDialogs.push_back(r);
    return FALSE;
  };
  if (!script_.saveAs) return cancel("");
  const std::string& path = script_.saveAsMadeAt.value_or(*script_.saveAs);
  if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile) {
    return cancel("--save-as " + *script_.saveAs + ": the save dialog takes at most " +
                  std::to_string(ofn->nMaxFile ? ofn->nMaxFile - 1 : 0) + " characters");
  }
  if (script_.saveType) {
    size_t types = r.filters.size();
    if (types > 0 && r.filters.back().second.empty()) --types;
    if (static_cast<size_t>(*script_.saveType) > types) {
      return cancel("--save-type " + std::to_string(*script_.saveType) +
                    ": the save dialog offers " + std::to_string(types) + " file types");
    }
    ofn->nFilterIndex = *script_.saveType;
  }
  std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
  size_t nameStart = path.find_last_of("/\\");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  size_t dot = path.find_last_of('.');
  size_t extension;
  if (dot == std::string::npos || dot < nameStart) {
    extension = path.size();  // no extension: the terminating zero
  } else if (dot + 1 == path.size()) {
    extension = 0;  // a name ending in '.'
  } else {
    extension = dot + 1;
  }
  ofn->nFileOffset = static_cast<WORD>(nameStart);
  ofn->nFileExtension = static_cast<WORD>(extension);
  if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
    std::string name = path.substr(nameStart);
    size_t n = std::min<size_t>(name.size(), ofn->nMaxFileTitle - 1);
    std::memcpy(ofn->lpstrFileTitle, name.data(), n);
    ofn->lpstrFileTitle[n] = '\0';
  }
  r.answered = true;
  r.path = *script_.saveAs;
  r.chosenType = ofn->nFilterIndex;
  log_.saveDialogs.push_back(r);
  return TRUE;
}

void Person::help(HWND, LPCSTR file, UINT command, ULONG_PTR data) {
  HelpRecord h;
  h.file = text(file);
  h.command = command;
  if (command == HELP_KEY && data)
    h.keyword = reinterpret_cast<const char*>(data);
  else
    h.data = data;
  log_.help.push_back(h);
}

void Person::beep(UINT type) { log_.beeps.push_back(type); }

}  // namespace orvane

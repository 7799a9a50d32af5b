#include "host/report/report.h"

#include <charconv>
#include <cstring>

#include "host/report/text_encoding.h"

namespace orvane {

namespace {

Json settingsJson(const DisplaySettings& s) {
  Json j = Json::object();
  if (s.viewMode) j["viewMode"] = *s.viewMode;
  if (s.background) j["background"] = *s.background;
  if (s.curveColour) j["curveColour"] = *s.curveColour;
  if (s.gridColour) j["gridColour"] = *s.gridColour;
  if (s.yTop) j["yTop"] = *s.yTop;
  if (s.yBottom) j["yBottom"] = *s.yBottom;
  if (s.xLeft) j["xLeft"] = *s.xLeft;
  if (s.xRight) j["xRight"] = *s.xRight;
  if (s.style) j["style"] = *s.style;
  if (s.sampleRate) j["sampleRate"] = *s.sampleRate;
  if (s.xLabel) j["xLabel"] = *s.xLabel;
  if (s.yLabel) j["yLabel"] = *s.yLabel;
  return j;
}

Json curvesJson(const std::map<int, std::vector<std::optional<double>>>& curves) {
  Json j = Json::object();
  for (const auto& [curve, ys] : curves) {
    Json values = Json::array();
    for (const auto& y : ys) values.push_back(y ? Json(*y) : Json());
    j[std::to_string(curve)] = std::move(values);
  }
  return j;
}

std::string number(double v) {
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : std::string("nan");
}

}  // namespace

Json pluginJson(const Plugin& plugin) {
  const PluginInfo& i = plugin.info();
  Json j;
  j["file"] = plugin.path();
  j["name"] = i.name;
  j["notice"] = i.notice;
  j["description"] = i.description;
  j["infoWord"] = i.infoWord;
  j["flags"] = i.flags;
  j["paramSize"] = i.paramSize;
  j["paramTypes"] = i.paramTypes;
  j["paramFlags"] = i.paramFlags;
  return j;
}

Json audioJson(const Audio& a) {
  Json j;
  j["file"] = a.path;
  j["format"] = a.format;
  j["channels"] = a.channels;
  j["sampleRate"] = a.sampleRate;
  j["frames"] = a.frames;
  j["written"] = a.written;
  if (a.written) {
    j["writtenFirst"] = a.writtenFirst;
    j["writtenLast"] = a.writtenLast;
  }
  return j;
}

Json selectionJson(long first, long last, int sampleRate) {
  Json j;
  j["first"] = first;
  j["last"] = last;
  j["frames"] = last - first + 1;
  if (sampleRate > 0) j["seconds"] = static_cast<double>(last - first + 1) / sampleRate;
  return j;
}

Json callsJson(const CallResults& c) {
  Json j = Json::object();
  if (c.queryXfm) j["QueryXfm"] = *c.queryXfm;
  if (c.xfmInit) j["XfmInit"] = *c.xfmInit;
  if (c.xfmSetup) j["XfmSetup"] = *c.xfmSetup;
  if (c.xfmDo) j["XfmDo"] = *c.xfmDo;
  if (c.xfmDestroy) j["XfmDestroy"] = *c.xfmDestroy;
  return j;
}

Json messagesJson(const std::vector<MessageRecord>& messages) {
  Json j = Json::array();
  for (const auto& m : messages) {
    j.push_back({{"caption", utf8Of(m.caption)},
                 {"text", utf8Of(m.text)},
                 {"icon", m.icon},
                 {"type", m.type},
                 {"answer", m.answer}});
  }
  return j;
}

Json dialogJson(const DialogRecord& d) {
  Json j;
  j["resource"] = d.resource;
  j["caption"] = utf8Of(d.caption);
  if (d.ended) j["result"] = d.result;
  j["width"] = d.width;
  j["height"] = d.height;
  Json controls = Json::array();
  for (const auto& c : d.controls) {
    Json cj;
    cj["id"] = c.id;
    cj["kind"] = c.kind;
    cj["text"] = utf8Of(c.text);
    cj["checked"] = c.checked;
    cj["enabled"] = c.enabled;
    cj["visible"] = c.visible;
    // Where the template puts it; a window the host laid over the dialog has its own place.
    if (c.kind != "custom") {
      cj["x"] = c.x;
      cj["y"] = c.y;
      cj["width"] = c.width;
      cj["height"] = c.height;
    }
    // A static's kind (text, frame, picture); the other style bits are each system's own.
    if (c.kind == "static") cj["staticType"] = c.style & SS_TYPEMASK;
    if (c.kind == "combobox") {
      Json items = Json::array();
      for (const std::string& item : c.items) items.push_back(utf8Of(item));
      cj["items"] = std::move(items);
    }
    controls.push_back(std::move(cj));
  }
  j["controls"] = std::move(controls);
  Json displays = Json::array();
  for (const auto& s : d.displays) {
    displays.push_back(
        {{"display", s.number}, {"id", s.id}, {"x", s.x}, {"curves", curvesJson(s.curves)}});
  }
  j["displays"] = std::move(displays);
  return j;
}

Json dialogsJson(const std::vector<DialogRecord>& dialogs) {
  Json j = Json::array();
  for (const auto& d : dialogs) j.push_back(dialogJson(d));
  return j;
}

Json blockJson(const DecodedBlock& block) {
  Json j = Json::array();
  for (const auto& f : block.fields) {
    j.push_back({{"offset", f.offset}, {"type", std::string(1, f.type)}, {"value", f.value}});
  }
  return j;
}

std::string clipboardText(const ClipboardItem& item) {
  const char* p = reinterpret_cast<const char*>(item.bytes.data());
  return std::string(p, strnlen(p, item.bytes.size()));
}

Json waveImageJson(const WaveImage& w) {
  if (!w.headerRead) return {{"problem", w.problem}};
  Json j = {
      {"riffSize", w.riffSize},           {"formatTag", w.formatTag}, {"channels", w.channels},
      {"sampleRate", w.sampleRate},       {"byteRate", w.byteRate},   {"blockAlign", w.blockAlign},
      {"bitsPerSample", w.bitsPerSample}, {"dataSize", w.dataSize},   {"frames", w.frames}};
  if (!w.problem.empty()) j["problem"] = w.problem;
  return j;
}

Json clipboardJson(const std::vector<ClipboardItem>& items, const std::vector<WaveImage>& images,
                   const std::vector<ClipboardFiles>& files) {
  Json j = Json::array();
  for (size_t i = 0; i < items.size(); ++i) {
    const ClipboardItem& item = items[i];
    Json e;
    e["format"] = item.formatName;
    e["size"] = item.bytes.size();
    if (item.format == CF_TEXT) e["text"] = clipboardText(item);
    if (item.format == CF_WAVE && i < images.size()) e["wave"] = waveImageJson(images[i]);
    if (i < files.size() && !files[i].image.empty()) e["image"] = files[i].image;
    if (i < files.size() && !files[i].file.empty()) e["file"] = files[i].file;
    j.push_back(std::move(e));
  }
  return j;
}

Json displaysJson(const DisplayBoard& board, const std::map<int, std::string>& files) {
  Json j = Json::array();
  for (const auto& d : board.all()) {
    Json e;
    e["number"] = d->number;
    e["dialog"] = d->dialogResource;
    e["id"] = d->controlId;
    e["controlFound"] = d->controlFound;
    e["rect"] = {{"left", d->rect.left},
                 {"top", d->rect.top},
                 {"width", d->rect.right - d->rect.left},
                 {"height", d->rect.bottom - d->rect.top}};
    e["graph"] = settingsJson(d->targets[0]);
    e["curve1"] = settingsJson(d->targets[1]);
    e["curve2"] = settingsJson(d->targets[2]);
    Json other = Json::array();
    for (const auto& o : d->other) {
      other.push_back({{"attribute", o.attribute}, {"target", o.target}, {"value", o.value}});
    }
    e["other"] = std::move(other);
    e["messages"] = d->messages;
    e["repaints"] = d->repaints;
    e["sampled"] = d->sampled;
    e["columns"] = d->width;
    e["x"] = d->x;
    e["curves"] = curvesJson(d->curves);
    auto file = files.find(d->number);
    if (file != files.end()) e["file"] = file->second;
    j.push_back(std::move(e));
  }
  return j;
}

Json progressJson(const std::vector<ProgressPhase>& phases) {
  Json j = Json::array();
  for (const auto& p : phases) {
    j.push_back({{"caption", p.caption},
                 {"texts", p.texts},
                 {"steps", p.steps},
                 {"lastStep", p.lastStep},
                 {"lastSteps", p.lastSteps},
                 {"ended", p.ended}});
  }
  return j;
}

Json helpJson(const std::vector<HelpRecord>& help) {
  Json j = Json::array();
  for (const auto& h : help) {
    Json e;
    e["file"] = h.file;
    e["command"] = h.command;
    if (h.command == HELP_KEY)
      e["keyword"] = h.keyword;
    else
      e["data"] = h.data;
    j.push_back(std::move(e));
  }
  return j;
}

Json saveDialogsJson(const std::vector<SaveDialogRecord>& dialogs) {
  Json j = Json::array();
  for (const auto& d : dialogs) {
    Json filters = Json::array();
    for (const auto& [description, pattern] : d.filters) {
      filters.push_back({{"description", description}, {"pattern", pattern}});
    }
    Json e;
    e["title"] = d.title;
    e["initialDirectory"] = d.initialDirectory;
    e["initialFile"] = d.initialFile;
    e["filters"] = std::move(filters);
    e["offeredType"] = d.offeredType;
    e["answered"] = d.answered;
    if (d.answered) {
      e["path"] = d.path;
      e["type"] = d.chosenType;
    }
    j.push_back(std::move(e));
  }
  return j;
}

Json samplesJson(const SampleTraffic& s) {
  Json refused = Json::array();
  for (const auto& r : s.refused) {
    refused.push_back({{"call", r.call},
                       {"first", r.first},
                       {"frames", r.frames},
                       {"format", r.format},
                       {"reason", r.reason}});
  }
  Json j;
  j["reads"] = s.reads;
  j["framesRead"] = s.framesRead;
  j["writes"] = s.writes;
  j["framesWritten"] = s.framesWritten;
  j["refusals"] = s.refusals;
  j["refused"] = std::move(refused);
  return j;
}

std::string displayCsv(const DisplayRecord& d) {
  std::string csv = "x";
  for (const auto& [curve, ys] : d.curves) csv += ",curve" + std::to_string(curve);
  csv += "\n";
  for (size_t k = 0; k < d.x.size(); ++k) {
    csv += number(d.x[k]);
    for (const auto& [curve, ys] : d.curves) {
      csv += ",";
      if (k < ys.size() && ys[k]) csv += number(*ys[k]);
    }
    csv += "\n";
  }
  return csv;
}

}  // namespace orvane

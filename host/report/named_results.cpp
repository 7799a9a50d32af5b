#include "host/report/named_results.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frame/param_types.h"
#include "host/report/block_decode.h"
#include "host/report/summary.h"
#include "host/report/text_encoding.h"

namespace orvane {

namespace {

template <typename T>
T readAt(const std::vector<unsigned char>& block, long offset) {
  T value;
  std::memcpy(&value, block.data() + offset, sizeof value);  // little-endian like the host
  return value;
}

constexpr double kExactIntegers = 9007199254740992.0;  // 2^53: every integer below is a double

std::optional<double> finite(double v) {
  return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// The number in a block field of letter `type`, times 10^powerOfTen. A float keeps its own
// precision, so that 0.5432 as % reads 54.32, not 54.320001602.
std::optional<double> fieldValue(const std::vector<unsigned char>& block, long offset, char type,
                                 int powerOfTen) {
  const unsigned width = paramTypeWidth(type);
  if (width == 0 || offset < 0 || (size_t)offset + width > block.size()) return std::nullopt;
  const double scale = std::pow(10.0, std::abs(powerOfTen));
  auto scaled = [&](double v) { return powerOfTen < 0 ? v / scale : v * scale; };
  switch (type) {
    case 'c':
      return scaled(block[offset]);
    case 'i':
      return scaled(readAt<int16_t>(block, offset));
    case 'l':
    case 'b':
      return scaled(readAt<int32_t>(block, offset));
    case 'h':
      return scaled(readAt<uint32_t>(block, offset));
    case 'f': {
      const float v = static_cast<float>(scaled(readAt<float>(block, offset)));
      const Json shortest = floatJson(v);
      return shortest.is_number() ? std::optional<double>(shortest.get<double>()) : std::nullopt;
    }
    case 'd':
      return finite(scaled(readAt<double>(block, offset)));
    default:
      return std::nullopt;
  }
}

const ControlRecord* shownField(const DialogRecord* results, int id) {
  if (!results) return nullptr;
  for (const ControlRecord& c : results->controls)
    if (c.id == id) return &c;
  return nullptr;
}

const DialogRecord* resultsDialog(const std::vector<DialogRecord>& dialogs) {
  for (const DialogRecord& d : dialogs)
    if (d.resource == kResultsDialogResource) return &d;
  return nullptr;
}

// A plug-in without a table: its results dialog's fields as a person pairs them.
std::vector<NamedResult> dialogResults(const std::vector<DialogRecord>& dialogs) {
  std::vector<NamedResult> out;
  for (const LabelledField& f : resultFields(dialogs)) {
    std::string name = f.label;
    while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
    out.push_back({name, "", f.unit, numberInText(f.value, f.unit), f.value});
  }
  return out;
}

// A whole number as a JSON integer (a count, a rate, a length), any other as a real.
Json valueJson(const std::optional<double>& v) {
  if (!v) return Json();
  if (*v == std::floor(*v) && std::fabs(*v) < kExactIntegers) return Json((long long)*v);
  return Json(*v);
}

}  // namespace

std::string numberText(double v) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : std::string();
}

std::optional<double> numberInText(const std::string& text, const std::string& unit) {
  const char* start = text.c_str();
  char* end = nullptr;
  const double v = std::strtod(start, &end);
  if (end == start) return std::nullopt;
  const std::string rest(end);
  if (!rest.empty() && (unit.empty() || rest != " " + unit)) return std::nullopt;
  return finite(v);
}

std::vector<NamedResult> namedResults(const PublishedResults& table,
                                      const std::vector<DialogRecord>& dialogs,
                                      const std::vector<unsigned char>& block) {
  if (!table.published) return dialogResults(dialogs);
  const DialogRecord* results = resultsDialog(dialogs);
  std::vector<NamedResult> out;
  for (const PublishedResult& e : table.entries) {
    NamedResult r{e.name, e.channel, e.unit, std::nullopt, ""};
    if (e.shownBy != 0) {
      const ControlRecord* field = shownField(results, e.shownBy);
      if (!field || !field->visible || field->text.empty() || field->text == table.placeholder)
        continue;
      r.text = field->text;
    }
    if (e.offset >= 0) {
      r.value = fieldValue(block, e.offset, e.type, e.powerOfTen);
    } else if (!e.valueTexts.empty()) {
      for (size_t k = 0; k < e.valueTexts.size(); ++k)
        if (e.valueTexts[k] == r.text) r.value = (double)k;
    } else {
      r.value = numberInText(r.text, e.unit);
    }
    if (e.shownBy == 0 && r.value) {
      const double v = *r.value;
      const bool named = v >= 0 && v < (double)e.valueTexts.size() && v == std::floor(v);
      r.text = named ? e.valueTexts[(size_t)v] : numberText(v);
    }
    r.name = utf8Of(r.name);
    r.channel = utf8Of(r.channel);
    r.unit = utf8Of(r.unit);
    r.text = utf8Of(r.text);
    out.push_back(std::move(r));
  }
  return out;
}

Json namedResultsJson(const std::vector<NamedResult>& results) {
  Json j = Json::array();
  for (const NamedResult& r : results) {
    j.push_back({{"name", r.name},
                 {"channel", r.channel},
                 {"value", valueJson(r.value)},
                 {"unit", r.unit},
                 {"text", r.text}});
  }
  return j;
}

std::vector<NamedResult> namedResultsOf(const Json& results) {
  std::vector<NamedResult> out;
  if (!results.is_array()) return out;
  for (const Json& r : results) {
    if (!r.is_object()) continue;
    const Json& v = r.value("value", Json());
    out.push_back({r.value("name", ""), r.value("channel", ""), r.value("unit", ""),
                   v.is_number() ? std::optional<double>(v.get<double>()) : std::nullopt,
                   r.value("text", "")});
  }
  return out;
}

std::string resultColumnName(const NamedResult& r) {
  std::string name = r.name;
  if (!r.channel.empty()) name += " " + r.channel;
  if (!r.unit.empty()) name += " (" + r.unit + ")";
  return name;
}

}  // namespace orvane

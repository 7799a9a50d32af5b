// The readable form of a preset: the block field by field, as the plug-in's letters describe
// it, with every byte kept.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "frame/param_types.h"
#include "host/errors.h"
#include "host/report/block_decode.h"
#include "host/system/file_writing.h"
#include "host/report/preset.h"

namespace orvane {

namespace {

constexpr size_t kRestChunk = 32;  // bytes per hex string of "rest"

std::string hexOf(const unsigned char* bytes, size_t count) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void appendHex(const std::string& text, std::vector<unsigned char>* out, const std::string& what) {
  if (text.size() % 2 != 0) throw badInput(what + ": odd number of hex digits");
  for (size_t i = 0; i < text.size(); i += 2) {
    int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
    if (high < 0 || low < 0) throw badInput(what + ": '" + text.substr(i, 2) + "' is not hex");
    out->push_back(static_cast<unsigned char>(high * 16 + low));
  }
}

template <typename T>
void putBytes(T value, unsigned char* at) {
  std::memcpy(at, &value, sizeof value);  // little-endian like the host
}

long long integerIn(const Json& value, long long low, long long high, const std::string& what) {
  if (!value.is_number_integer()) throw badInput(what + ": needs a whole number");
  long long v = value.is_number_unsigned() ? static_cast<long long>(value.get<uint64_t>())
                                           : value.get<long long>();
  if (v < low || v > high) {
    throw badInput(what + ": " + std::to_string(v) + " is outside " + std::to_string(low) + " to " +
                   std::to_string(high));
  }
  return v;
}

// Writes a field's value into `at` (width bytes); throws with the problem.
void encodeField(char type, const Json& value, unsigned char* at, const std::string& what) {
  switch (type) {
    case 'c':
      if (value.is_string()) {
        std::string s = value.get<std::string>();
        if (s.size() != 1) throw badInput(what + ": needs one character or a number 0 to 255");
        at[0] = static_cast<unsigned char>(s[0]);
      } else {
        at[0] = static_cast<unsigned char>(integerIn(value, 0, 255, what));
      }
      return;
    case 'i':
      putBytes(static_cast<int16_t>(integerIn(value, INT16_MIN, INT16_MAX, what)), at);
      return;
    case 'l':
    case 'b':
      putBytes(static_cast<int32_t>(integerIn(value, INT32_MIN, INT32_MAX, what)), at);
      return;
    case 'h':
      putBytes(static_cast<uint32_t>(integerIn(value, 0, UINT32_MAX, what)), at);
      return;
    case 'f': {
      if (!value.is_number()) throw badInput(what + ": needs a number");
      double d = value.get<double>();
      if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
        throw badInput(what + ": " + value.dump() + " does not fit a 32-bit float");
      }
      putBytes(static_cast<float>(d), at);
      return;
    }
    case 'd':
      if (!value.is_number()) throw badInput(what + ": needs a number");
      putBytes(value.get<double>(), at);
      return;
    case 's': {
      if (!value.is_string()) throw badInput(what + ": needs a text");
      std::string s = value.get<std::string>();
      if (s.size() > 255) throw badInput(what + ": longer than 255 characters");
      std::memset(at, 0, 256);
      std::memcpy(at, s.data(), s.size());
      return;
    }
  }
  throw badInput(what + ": unknown field letter '" + std::string(1, type) + "'");
}

bool endsWithJson(const std::string& path) {
  return path.size() >= 5 && path.compare(path.size() - 5, 5, ".json") == 0;
}

}  // namespace

Json presetJson(const std::vector<unsigned char>& block, const PluginInfo& info) {
  DecodedBlock decoded = decodeBlock(block, info.paramTypes);
  Json fields = Json::array();
  for (const BlockField& f : decoded.fields) {
    Json field = {{"offset", f.offset}, {"type", std::string(1, f.type)}, {"value", f.value}};
    // Keep the exact bytes where the value alone would not give them back.
    unsigned width = paramTypeWidth(f.type);
    std::vector<unsigned char> again(width);
    bool exact = false;
    try {
      encodeField(f.type, f.value, again.data(), "");
      exact = std::memcmp(again.data(), block.data() + f.offset, width) == 0;
    } catch (const HostError&) {
    }
    if (!exact) field["hex"] = hexOf(block.data() + f.offset, width);
    fields.push_back(std::move(field));
  }
  Json rest = Json::array();
  for (size_t at = decoded.covered; at < block.size(); at += kRestChunk) {
    rest.push_back(hexOf(block.data() + at, std::min(kRestChunk, block.size() - at)));
  }
  Json preset;
  preset["plugin"] = info.name;
  preset["paramSize"] = info.paramSize;
  preset["paramTypes"] = info.paramTypes;
  preset["fields"] = std::move(fields);
  preset["rest"] = std::move(rest);
  return preset;
}

std::vector<unsigned char> blockFromPresetJson(const Json& preset, const PluginInfo& info) {
  if (!preset.is_object()) throw badInput("not a preset object");
  if (!preset.contains("paramSize") || preset["paramSize"] != info.paramSize) {
    throw badInput("paramSize is not the plug-in's " + std::to_string(info.paramSize));
  }
  if (preset.contains("paramTypes") && preset["paramTypes"] != info.paramTypes) {
    throw badInput("paramTypes differ from the plug-in's \"" + info.paramTypes + "\"");
  }
  const Json& fields = preset.contains("fields") ? preset["fields"] : Json();
  if (!fields.is_array()) throw badInput("no \"fields\" list");
  std::vector<unsigned char> block(info.paramSize, 0);
  unsigned long offset = 0;
  size_t index = 0;
  for (char type : info.paramTypes) {
    unsigned width = paramTypeWidth(type);
    if (width == 0 || offset + width > info.paramSize) break;
    std::string what = "field at offset " + std::to_string(offset);
    if (index >= fields.size()) throw badInput(what + " (type " + type + ") is missing");
    const Json& field = fields[index++];
    if (!field.is_object() || !field.contains("offset") || field["offset"] != offset ||
        !field.contains("type") || field["type"] != std::string(1, type)) {
      throw badInput("field " + std::to_string(index) + " should be offset " +
                     std::to_string(offset) + ", type " + type);
    }
    if (field.contains("hex")) {
      std::vector<unsigned char> bytes;
      appendHex(field["hex"].is_string() ? field["hex"].get<std::string>() : "x", &bytes, what);
      if (bytes.size() != width)
        throw badInput(what + ": \"hex\" needs " + std::to_string(width) + " bytes");
      std::memcpy(block.data() + offset, bytes.data(), width);
    } else if (field.contains("value")) {
      encodeField(type, field["value"], block.data() + offset, what);
    } else {
      throw badInput(what + ": no value");
    }
    offset += width;
  }
  if (index != fields.size()) throw badInput("more fields than the plug-in's letters");
  std::vector<unsigned char> rest;
  if (preset.contains("rest")) {
    if (!preset["rest"].is_array()) throw badInput("\"rest\" is not a list of hex strings");
    for (const Json& chunk : preset["rest"]) {
      if (!chunk.is_string()) throw badInput("\"rest\" holds something that is not hex");
      appendHex(chunk.get<std::string>(), &rest, "rest");
    }
  }
  if (rest.size() != info.paramSize - offset) {
    throw badInput("\"rest\" holds " + std::to_string(rest.size()) + " bytes, the block has " +
                   std::to_string(info.paramSize - offset) + " beyond its fields");
  }
  std::memcpy(block.data() + offset, rest.data(), rest.size());
  return block;
}

std::vector<unsigned char> loadPreset(const std::string& path, const PluginInfo& info) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return readPreset(path, info.paramSize);  // names the problem
  std::stringstream text;
  text << in.rdbuf();
  std::string bytes = text.str();
  // A ".json" name says JSON; otherwise a text opening with '{' is JSON unless it has exactly
  // the size of a raw block.
  size_t first = bytes.find_first_not_of(" \t\r\n");
  bool opensLikeJson = first != std::string::npos && bytes[first] == '{';
  if (!endsWithJson(path) && (!opensLikeJson || bytes.size() == info.paramSize))
    return readPreset(path, info.paramSize);
  Json preset = Json::parse(bytes, nullptr, false);
  if (preset.is_discarded()) throw badInput(path + ": malformed preset: not valid JSON");
  try {
    return blockFromPresetJson(preset, info);
  } catch (const HostError& e) {
    throw badInput(path + ": malformed preset: " + e.what());
  } catch (const Json::exception& e) {
    throw badInput(path + ": malformed preset: a field of the wrong kind (" + e.what() + ")");
  }
}

void savePreset(const std::string& path, const std::vector<unsigned char>& block,
                const PluginInfo& info) {
  if (!endsWithJson(path)) {
    writePreset(path, block);
    return;
  }
  writeTextFile(path, dumpJson(presetJson(block, info)) + "\n");
}

}  // namespace orvane

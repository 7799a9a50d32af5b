#include "host/report/block_decode.h"

#include "frame/param_types.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvane {

namespace {

template <typename T>
T readAt(const std::vector<unsigned char>& block, unsigned long offset) {
  T value;
  std::memcpy(&value, block.data() + offset, sizeof value);  // little-endian like the host
  return value;
}

}  // namespace

Json floatJson(float value) {
  if (!std::isfinite(value)) return nullptr;
  char text[32];
  for (int digits = 1; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  // The double nearest to that decimal prints as the same decimal.
  return std::strtod(text, nullptr);
}

DecodedBlock decodeBlock(const std::vector<unsigned char>& block, const std::string& types) {
  DecodedBlock out;
  unsigned long offset = 0;
  for (char type : types) {
    unsigned width = paramTypeWidth(type);
    if (width == 0) {
      out.problem =
          std::string("unknown field letter '") + type + "' at offset " + std::to_string(offset);
      break;
    }
    if (offset + width > block.size()) {
      out.problem = std::string("field '") + type + "' at offset " + std::to_string(offset) +
                    " runs past the block's " + std::to_string(block.size()) + " bytes";
      break;
    }
    Json value;
    switch (type) {
      case 'c': {
        unsigned char c = block[offset];
        if (c >= 0x20 && c < 0x7f)
          value = std::string(1, static_cast<char>(c));
        else
          value = static_cast<int>(c);
        break;
      }
      case 'i':
        value = readAt<int16_t>(block, offset);
        break;
      case 'l':
      case 'b':
        value = readAt<int32_t>(block, offset);
        break;
      case 'h':
        value = readAt<uint32_t>(block, offset);
        break;
      case 'f':
        value = floatJson(readAt<float>(block, offset));
        break;
      case 'd': {
        double d = readAt<double>(block, offset);
        value = std::isfinite(d) ? Json(d) : Json(nullptr);
        break;
      }
      case 's': {
        const char* s = reinterpret_cast<const char*>(block.data() + offset);
        value = std::string(s, strnlen(s, 256));
        break;
      }
    }
    out.fields.push_back({offset, type, std::move(value)});
    offset += width;
  }
  out.covered = offset;
  return out;
}

}  // namespace orvane

// Reading a parameter block field by field, as the plug-in's paramTypes letters describe it.
#pragma once

#include "host/report/json.h"

#include <string>
#include <vector>

namespace orvane {

struct BlockField {
  unsigned long offset;  // bytes from the start of the block
  char type;             // c i l f d h b s
  // c: a one-character string when printable, else its number; i, l, h, b: the integer
  // (h unsigned); f, d: the number (a float as its shortest decimal); s: the text up to its
  // terminating zero.
  Json value;
};

struct DecodedBlock {
  std::vector<BlockField> fields;  // in order from offset 0
  // Set when the letters describe more bytes than the block has, or hold an unknown letter:
  // decoding stops there.
  std::string problem;
  unsigned long covered = 0;  // bytes the decoded fields cover
};

DecodedBlock decodeBlock(const std::vector<unsigned char>& block, const std::string& types);
// A float as the shortest decimal that reads back as the same float (94.0f as 94, 0.1f as
// 0.1), as a JSON number; null for NaN and infinities.
Json floatJson(float value);

}  // namespace orvane

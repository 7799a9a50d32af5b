// The words of a resource script: names, numbers, quoted texts and punctuation, each with the
// line it starts on. Comments and preprocessor lines never reach the parser; simple #define
// lines are kept so that names defined in the script can stand for ids and styles.
#pragma once

#include <map>
#include <string>
#include <vector>

enum class RcTokenKind { kName, kNumber, kString, kPunct, kEnd };

struct RcToken {
  RcTokenKind kind;
  std::string text;  // a name as written, a string with its escapes resolved, a punctuation mark
  long value;        // kNumber: the value (decimal or 0x hex, L and U suffixes dropped)
  int line;          // 1-based line of the script
};

// The replacement tokens of each `#define NAME tokens...` (object-like macros only).
using RcDefines = std::map<std::string, std::vector<RcToken>>;

// Splits `script` into tokens ending with one kEnd token. Preprocessor lines are skipped
// (`#if 0` blocks too), #define lines recorded in `defines`. On a lexical fault (unterminated
// string or comment) returns false with "line N: ..." in `error`.
bool rcTokenize(const char* script, std::vector<RcToken>* tokens, RcDefines* defines,
                std::string* error);

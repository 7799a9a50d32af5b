// Resource-script tokens. Strings follow the resource compiler: "" is an embedded quote, and
// the C escapes \n \t \r \a \\ \" \xHH and octal are resolved.
#include "rc_lexer.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

namespace {

struct Lexer {
  const char* p;
  int line;
  std::string* error;

  bool fail(int at, const char* what) {
    char text[160];
    snprintf(text, sizeof text, "line %d: %s", at, what);
    *error = text;
    return false;
  }
};

bool isNameStart(char c) { return isalpha((unsigned char)c) || c == '_'; }
bool isNameChar(char c) { return isalnum((unsigned char)c) || c == '_'; }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A quoted string starting at the opening quote.
bool readString(Lexer& lx, RcToken* t) {
  const int start = lx.line;
  const char* p = lx.p + 1;
  std::string s;
  for (;;) {
    char c = *p;
    if (c == '\0' || c == '\n') return lx.fail(start, "unterminated string");
    if (c == '"') {
      if (p[1] == '"') {
        s += '"';
        p += 2;
        continue;
      }
      ++p;
      break;
    }
    if (c == '\\') {
      char e = p[1];
      p += 2;
      switch (e) {
        case 'n':
          s += '\n';
          break;
        case 't':
          s += '\t';
          break;
        case 'r':
          s += '\r';
          break;
        case 'a':
          s += '\a';
          break;
        case '\\':
          s += '\\';
          break;
        case '"':
          s += '"';
          break;
        case 'x':
        case 'X': {
          int v = 0, n = 0;
          while (n < 2 && hexDigit(*p) >= 0) v = v * 16 + hexDigit(*p++), ++n;
          s += char(v);
          break;
        }
        case '\0':
        case '\n':
          return lx.fail(start, "unterminated string");
        default:
          if (e >= '0' && e <= '7') {
            int v = e - '0', n = 1;
            while (n < 3 && *p >= '0' && *p <= '7') v = v * 8 + (*p++ - '0'), ++n;
            s += char(v);
          } else {
            // An unknown escape keeps its backslash, as the resource compiler does.
            s += '\\';
            s += e;
          }
      }
      continue;
    }
    s += c;
    ++p;
  }
  lx.p = p;
  *t = RcToken{RcTokenKind::kString, s, 0, start};
  return true;
}

void readNumber(Lexer& lx, RcToken* t) {
  const char* p = lx.p;
  unsigned long v = 0;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hexDigit(p[2]) >= 0) {
    p += 2;
    while (hexDigit(*p) >= 0) v = v * 16 + hexDigit(*p++);
  } else {
    while (isdigit((unsigned char)*p)) v = v * 10 + (*p++ - '0');
  }
  while (*p == 'L' || *p == 'l' || *p == 'U' || *p == 'u') ++p;
  *t = RcToken{RcTokenKind::kNumber, std::string(lx.p, p), long(v), lx.line};
  lx.p = p;
}

// One line's tokens, for #define values: no preprocessor or multi-line constructs.
bool tokenizeLine(const std::string& text, int line, std::vector<RcToken>* out, std::string* err);

// Reads the preprocessor line at lx.p (at '#'), joining backslash continuations, and handles
// #define and #if 0. Leaves lx.p at the line's end.
bool preprocessorLine(Lexer& lx, RcDefines* defines, int* skipDepth) {
  const int start = lx.line;
  std::string text;
  const char* p = lx.p + 1;
  while (*p != '\0') {
    if (*p == '\\' && p[1] == '\n') {
      p += 2;
      ++lx.line;
      continue;
    }
    if (*p == '\n') break;
    text += *p++;
  }
  lx.p = p;
  size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return true;
  size_t j = i;
  while (j < text.size() && isNameChar(text[j])) ++j;
  const std::string directive = text.substr(i, j - i);
  std::string rest = text.substr(j);
  // Comments may follow the directive; they are not part of a value.
  size_t c = rest.find("//");
  if (c != std::string::npos) rest.erase(c);
  if (*skipDepth > 0) {
    if (directive == "if" || directive == "ifdef" || directive == "ifndef") ++*skipDepth;
    if (directive == "endif") --*skipDepth;
    if ((directive == "else" || directive == "elif") && *skipDepth == 1) *skipDepth = 0;
    return true;
  }
  if (directive == "if") {
    size_t k = rest.find_first_not_of(" \t");
    if (k != std::string::npos && rest[k] == '0' &&
        rest.find_first_not_of(" \t\r", k + 1) == std::string::npos)
      *skipDepth = 1;
    return true;
  }
  if (directive != "define") return true;
  size_t k = rest.find_first_not_of(" \t");
  if (k == std::string::npos || !isNameStart(rest[k])) return true;
  size_t e = k;
  while (e < rest.size() && isNameChar(rest[e])) ++e;
  if (e < rest.size() && rest[e] == '(') return true;  // function-like: not ours to expand
  std::vector<RcToken> value;
  std::string ignored;
  if (!tokenizeLine(rest.substr(e), start, &value, &ignored)) return true;
  (*defines)[rest.substr(k, e - k)] = value;
  return true;
}

// The main scanner; `defines` null when tokenizing a #define value.
bool scan(Lexer& lx, std::vector<RcToken>* out, RcDefines* defines) {
  bool lineStart = true;
  int skipDepth = 0;
  while (*lx.p != '\0') {
    char c = *lx.p;
    if (c == '\n') {
      ++lx.line;
      ++lx.p;
      lineStart = true;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      ++lx.p;
      continue;
    }
    if (c == '#' && lineStart && defines) {
      if (!preprocessorLine(lx, defines, &skipDepth)) return false;
      continue;
    }
    lineStart = false;
    if (c == '/' && lx.p[1] == '/') {
      while (*lx.p != '\0' && *lx.p != '\n') ++lx.p;
      continue;
    }
    if (c == '/' && lx.p[1] == '*') {
      const int start = lx.line;
      const char* end = strstr(lx.p + 2, "*/");
      if (!end) return lx.fail(start, "unterminated comment");
      for (const char* q = lx.p; q < end; ++q)
        if (*q == '\n') ++lx.line;
      lx.p = end + 2;
      continue;
    }
    if (skipDepth > 0) {
      // Inside #if 0 nothing is read but comments and the next directive.
      ++lx.p;
      continue;
    }
    RcToken t;
    if (c == '"') {
      if (!readString(lx, &t)) return false;
    } else if ((c == 'L' || c == 'l') && lx.p[1] == '"') {
      ++lx.p;
      if (!readString(lx, &t)) return false;
    } else if (isdigit((unsigned char)c)) {
      readNumber(lx, &t);
    } else if (isNameStart(c)) {
      const char* s = lx.p;
      while (isNameChar(*lx.p)) ++lx.p;
      t = RcToken{RcTokenKind::kName, std::string(s, lx.p), 0, lx.line};
    } else {
      t = RcToken{RcTokenKind::kPunct, std::string(1, c), 0, lx.line};
      ++lx.p;
    }
    out->push_back(t);
  }
  out->push_back(RcToken{RcTokenKind::kEnd, "", 0, lx.line});
  return true;
}

bool tokenizeLine(const std::string& text, int line, std::vector<RcToken>* out, std::string* err) {
  Lexer lx{text.c_str(), line, err};
  if (!scan(lx, out, nullptr)) return false;
  out->pop_back();  // the value has no end of its own
  return true;
}

}  // namespace

bool rcTokenize(const char* script, std::vector<RcToken>* tokens, RcDefines* defines,
                std::string* error) {
  tokens->clear();
  Lexer lx{script ? script : "", 1, error};
  return scan(lx, tokens, defines);
}

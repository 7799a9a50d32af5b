#include "host/person/typed_numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace orvane {

namespace {

bool isDigit(char c) { return std::isdigit((unsigned char)c) != 0; }

// Skips a run of digits from `i`; returns how many there were.
size_t digitsAt(const std::string& text, size_t* i) {
  const size_t from = *i;
  while (*i < text.size() && isDigit(text[*i])) ++*i;
  return *i - from;
}

// Whether `text` is, whole, [sign] digits [. [digits]] | [sign] . digits, then [e [sign] digits].
bool isDecimalSyntax(const std::string& text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissa = digitsAt(text, &i);
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digitsAt(text, &i);
  }
  if (mantissa == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digitsAt(text, &i) == 0) return false;
  }
  return i == text.size();
}

// The decimal order of magnitude of a syntactically whole decimal number that is not zero:
// "1e999" 999, "0.05" -2, "250" 2.
long decimalOrder(const std::string& text) {
  const size_t e = text.find_first_of("eE");
  const std::string mantissa = text.substr(0, e);
  long exponent = 0;
  if (e != std::string::npos) {
    const char* from = text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0);
    if (std::from_chars(from, text.data() + text.size(), exponent).ec != std::errc())
      exponent = text[e + 1] == '-' ? -100000 : 100000;  // beyond any double either way
  }
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_of("123456789");
  const long position = first < point ? (long)(point - first) - 1 : -(long)(first - point);
  return position + exponent;
}

bool hasNonZeroDigit(const std::string& text) {
  return text.substr(0, text.find_first_of("eE")).find_first_of("123456789") != std::string::npos;
}

// from_chars reads the syntax above (less a leading '+') in every locale.
std::from_chars_result readDecimal(const std::string& text, double* value) {
  const char* begin = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
  return std::from_chars(begin, text.data() + text.size(), *value);
}

}  // namespace

bool holdsNumber(unsigned long style, const std::string& text) {
  return (style & ES_NUMBER) != 0 || isDecimalSyntax(text);
}

std::string typedNumberProblem(const std::string& text, bool digitsOnly) {
  if (digitsOnly) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) return "not digits only";
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
      return "beyond the largest 32-bit number";
    return "";
  }
  if (!isDecimalSyntax(text)) return "not a decimal number";
  double value = 0.0;
  auto [end, ec] = readDecimal(text, &value);
  const bool nonZero = hasNonZeroDigit(text);
  if (ec == std::errc::result_out_of_range) {
    return decimalOrder(text) < 0 ? "too small a number: it would read as 0"
                                  : "beyond the range of a number the plug-in keeps";
  }
  if (ec != std::errc() || end != text.data() + text.size()) return "not a decimal number";
  if (!std::isfinite(value) || std::fabs(value) > kLargestTypedNumber)
    return "beyond the range of a number the plug-in keeps";
  if (nonZero && std::fabs(value) < kSmallestTypedNumber)
    return "too small a number: it would read as 0";
  return "";
}

double typedNumberValue(const std::string& text) {
  double value = 0.0;
  readDecimal(text, &value);
  return value;
}

}  // namespace orvane

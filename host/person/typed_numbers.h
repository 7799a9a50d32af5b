// Numbers the host types into a plug-in's edits on a person's behalf. A plug-in reads an edit
// as the leading decimal number of its text and takes text that is none as 0, so "abc" would
// measure with 0 and "94,5" with 94. The host therefore types into an edit that holds a number
// only a whole number the plug-in reads exactly as written, and refuses anything else.
#pragma once

#include <windows.h>

#include <string>

namespace orvane {

// The magnitudes a typed number may have other than 0: the plug-ins keep typed numbers in
// 32-bit floats, which hold nothing larger and read anything smaller as 0.
constexpr double kLargestTypedNumber = 3.4028234663852886e38;
constexpr double kSmallestTypedNumber = 1.401298464324817e-45;

// An edit holds a number when its style admits digits only (ES_NUMBER), or when its text, as
// the dialog shows it when the person comes to it, is a decimal number: the plug-ins show
// every number they keep, and only numbers, in their edits.
bool holdsNumber(unsigned long style, const std::string& text);
// "" when `text` is a decimal number as the plug-ins read it, written whole (an optional sign,
// digits with an optional point and fraction, an optional exponent; no blanks), finite and at
// least kSmallestTypedNumber and at most kLargestTypedNumber in magnitude (or 0); else why not.
// With `digitsOnly` (an ES_NUMBER edit) only digits are a number, as the system lets a person
// type nothing else there, and at most a 32-bit integer.
std::string typedNumberProblem(const std::string& text, bool digitsOnly);
// The value of a text that typedNumberProblem accepts, in every locale.
double typedNumberValue(const std::string& text);

}  // namespace orvane

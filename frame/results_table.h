// The results a plug-in publishes: each result a person reads off its results dialog, by the
// name and unit a person reads it with, and where its value lies, so that a host collects
// numbers instead of parsing dialog texts. Each plug-in keeps its table in its own folder and
// hands it out through the export XfmResults (ordinal 8). The table is static data of the
// plug-in: it lives as long as the module is loaded. No system header: the host includes this
// too.
#pragma once

#include "frame/param_types.h"

#include <stddef.h>

struct ResultEntry {
  const char* name;     // as a person reads it: "Leq", "Time of flight"
  const char* channel;  // "Left", "Right", "Average", or "" for a result of the whole run
  const char* unit;     // "dB", "ms", "%", "Hz"; "" for none
  // The results dialog's field that shows it (a static of dialog 107): the result is present
  // when that field is visible and shows more than the table's placeholder; 0 for a result no
  // field shows, present in every completed run.
  int shownBy;
  // The parameter-block field that holds the value: its offset in bytes and its paramTypes
  // letter; offset -1 when only the dialog's text holds it. The value is the field times
  // 10^powerOfTen (an activity ratio 0..1 as %: 2; milliseconds as seconds: -3).
  int offset;
  char type;
  int powerOfTen;
  // The texts of the values 0, 1, 2, ... separated by '|' ("no|yes"), for a result that is
  // one of a few: a field's value gives its text, a shown text its value. Null for a number.
  const char* valueTexts;
};

// What a curve of the results dialog's display shows, for a legend: curve 1 or 2 drawn in
// `colour` (COLORREF) is `name`, the name the dialog gives it.
struct DisplayCurveName {
  int curve;
  long colour;
  const char* name;
};

struct ResultsTable {
  const ResultEntry* entries;  // in the order a person reads them
  int count;
  const char* placeholder;  // what a shown field holds while it shows no result ("- - -")
  // The curves of the results dialog's display by colour; a curve none names is the left (1)
  // or the right (2) channel's.
  const DisplayCurveName* curveNames;
  int curveNameCount;
  // The units of the values on the display's axes, where the labels the plug-in gives the
  // display say another or none ("samples" on an axis labelled "s"); null: its own labels.
  const char* xUnit;
  const char* yUnit;
};

// The offset and letter of a table entry for a value in `field` of parameter block type T,
// checked at compile time: the field is as wide as its letter says.
template <unsigned fieldWidth, char letter>
constexpr int checkedResultOffset(int offset) {
  static_assert(fieldWidth == paramTypeWidth(letter), "the field's width is not its letter's");
  return offset;
}
#define RESULT_FIELD(T, field, letter) \
  checkedResultOffset<sizeof(((T*)nullptr)->field), letter>((int)offsetof(T, field)), letter

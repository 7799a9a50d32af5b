// The table of results a plug-in publishes (frame/results_table.h), checked against the
// plug-in's parameter block and against what its results dialog shows after a run, so that
// the table, the block's header and the dialog cannot drift apart.
#pragma once

#include <gtest/gtest.h>

#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <regex>
#include <string>

#include "frame/param_types.h"
#include "frame/results_table.h"
#include "support/plugin_harness.h"

inline const ResultsTable* resultsTableOf(HMODULE module) {
  auto results = (const ResultsTable*(WINAPI*)(void))(void*)GetProcAddress(module, "XfmResults");
  return results ? results() : nullptr;
}

// Each entry that reads the block names a field that starts at its offset, with its letter in
// `paramTypes` (the header's letters, which its compile-time checks tie to its struct).
inline void expectTableFitsParamTypes(const ResultsTable& table, const char* paramTypes) {
  for (int i = 0; i < table.count; ++i) {
    const ResultEntry& e = table.entries[i];
    SCOPED_TRACE(std::string(e.name) + " " + e.channel);
    EXPECT_TRUE(e.offset >= 0 || e.shownBy != 0);
    if (e.offset < 0) continue;
    long at = 0;
    const char* letter = paramTypes;
    for (; *letter && at < e.offset; ++letter) at += (long)paramTypeWidth(*letter);
    EXPECT_EQ(at, e.offset) << "no field starts there";
    EXPECT_EQ(*letter, e.type);
  }
}

// The entry's value in `block`, times its power of ten.
inline double blockValue(const ResultEntry& e, const unsigned char* block) {
  double v = 0;
  switch (e.type) {
    case 'c':
      v = block[e.offset];
      break;
    case 'i': {
      int16_t x;
      memcpy(&x, block + e.offset, sizeof x);
      v = x;
      break;
    }
    case 'f': {
      float x;
      memcpy(&x, block + e.offset, sizeof x);
      v = x;
      break;
    }
    case 'd':
      memcpy(&v, block + e.offset, sizeof v);
      break;
    default: {
      int32_t x;
      memcpy(&x, block + e.offset, sizeof x);
      v = x;
    }
  }
  return v * pow(10.0, e.powerOfTen);
}

// Whether `text` holds `v` as printed: a number within half a unit of its last digit (and the
// rounding of a float), or the text of the value among the entry's texts.
inline bool showsValue(const ResultEntry& e, const std::string& text, double v) {
  if (e.valueTexts) {
    std::string texts = std::string("|") + e.valueTexts + "|";
    const size_t at = texts.find("|" + text + "|");
    return at != std::string::npos && std::count(texts.begin(), texts.begin() + at, '|') == v;
  }
  static const std::regex number(R"([-+]?(\d+)(\.(\d*))?([eE]([-+]?\d+))?)");
  for (auto m = std::sregex_iterator(text.begin(), text.end(), number); m != std::sregex_iterator();
       ++m) {
    const int decimals = (int)(*m)[3].length();
    const int exponent = (*m)[5].matched ? atoi((*m)[5].str().c_str()) : 0;
    const double halfUnit = 0.5 * pow(10.0, exponent - decimals);
    if (fabs(atof(m->str().c_str()) - v) <= halfUnit * (1 + 1e-9) + 1e-6 * fabs(v)) return true;
  }
  return false;
}

// After a run that showed `results`: every entry the dialog shows and the block holds shows the
// block's value, so no entry reads another field than the one the dialog shows. Returns how
// many entries were compared.
inline int expectShownValuesAreTheBlocks(const ResultsTable& table, const SeenDialog& results,
                                         const unsigned char* block) {
  int compared = 0;
  for (int i = 0; i < table.count; ++i) {
    const ResultEntry& e = table.entries[i];
    SCOPED_TRACE(std::string(e.name) + " " + e.channel);
    const SeenControl* field = e.shownBy != 0 ? results.control(e.shownBy) : nullptr;
    EXPECT_TRUE(e.shownBy == 0 || field) << "no field " << e.shownBy;
    if (!field || e.offset < 0 || !field->visible || field->text.empty() ||
        field->text == table.placeholder)
      continue;
    EXPECT_TRUE(showsValue(e, field->text, blockValue(e, block))) << field->text;
    ++compared;
  }
  return compared;
}

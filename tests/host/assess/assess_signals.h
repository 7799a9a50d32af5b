// Signals the assessment's tests build responses and filters from, at full scale 1.
#pragma once

#include <vector>

namespace hosttest {

// `length` samples, all 0 but `gain` at `at`.
inline std::vector<double> pulseAt(long length, long at, double gain = 1.0) {
  std::vector<double> s(length, 0.0);
  s[at] = gain;
  return s;
}

// Two channels as the frames of a stereo file.
inline std::vector<double> interleave(const std::vector<double>& left,
                                      const std::vector<double>& right) {
  std::vector<double> s;
  for (std::size_t i = 0; i < left.size(); ++i) {
    s.push_back(left[i]);
    s.push_back(right[i]);
  }
  return s;
}

// One channel after the other: the halves of a 2x2 response or filter.
inline std::vector<double> joined(std::vector<double> first, const std::vector<double>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

}  // namespace hosttest

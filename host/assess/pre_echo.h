// Pre-echo per octave, and how far the filter had died away at its ends. A long inverse can
// fold the room's tail back before its own middle, where it sounds as an echo before the
// sound: broadband figures hide it under the main arrival's band limits, each octave shows it.
#pragma once

#include <cstddef>
#include <vector>

#include "host/assess/assessment.h"
#include "host/assess/fft_convolution.h"

namespace orvane {

// The equalised response `Y` (an n-point spectrum; `length` samples of result) in the octaves
// of kFirstOctaveHz ... (kOctaveCount of them), each through a band that is Gaussian in log
// frequency about its midband, so that the band's own ringing stays short. Octaves whose
// upper edge lies above fs/2 are left out.
std::vector<OctavePreEcho> octavePreEchoes(const Spectrum& Y, std::size_t n, std::size_t length,
                                           int sampleRate);

// Each filter channel's ends (file order; 2x2 each half on its own).
std::vector<FilterEnds> filterEndsOf(const std::vector<std::vector<double>>& filter,
                                     FilterMode mode);

}  // namespace orvane

// The host's waveform: an audio file read with libsndfile into 32-bit floats at 16-bit scale,
// the form in which samples travel between host and plug-in.
#pragma once

#include <string>
#include <vector>

namespace orvane {

struct Audio {
  std::string path;    // as given
  std::string format;  // libsndfile's name of the major format and encoding
  int channels = 0;    // 1 or 2
  int sampleRate = 0;  // Hz
  long frames = 0;     // sample frames
  // frames * channels floats, interleaved left first, at 16-bit scale: a 16-bit sample s is
  // s, a float sample x is 32768 * x.
  std::vector<float> samples;
  // Frames the plug-in wrote back (writeSamples), inclusive; empty when written is false.
  bool written = false;
  long writtenFirst = 0;
  long writtenLast = -1;
};

// Reads any file libsndfile opens. Throws HostError (kExitBadInput) for a missing or
// unreadable file, one with no frames, one with more than two channels, or one too long for
// the host's 32-bit frame numbers.
Audio readAudio(const std::string& path);
// The same checks and facts without reading the samples (`samples` stays empty).
Audio probeAudio(const std::string& path);

// Writes all frames as WAVE, 32-bit float, each sample divided by 32768 and never clipped.
// Throws HostError (kExitFailure) when the file cannot be written.
void writeWaveform(const std::string& path, const Audio& audio);

}  // namespace orvane

// The host's waveform: an audio file read with libsndfile into 32-bit floats at 16-bit scale,
// the form in which samples travel between host and plug-in.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/session/audio_stream.h"

namespace orvane {

struct Audio {
  std::string path;    // as given
  std::string format;  // libsndfile's name of the major format and encoding
  int channels = 0;    // 1 or 2
  int sampleRate = 0;  // Hz
  long frames = 0;     // sample frames
  std::string cut;     // "data cut: N of M frames" for a WAVE file that stops short, else ""
  // frames * channels floats, interleaved left first, at 16-bit scale: a 16-bit sample s is
  // s, a float sample x is 32768 * x.
  // Empty when `stream` serves the frames from the file instead.
  std::vector<float> samples;
  // The file, read as the plug-in asks for frames (streamAudio); null for samples in memory.
  std::shared_ptr<AudioStream> stream;
  // Where the frames written back go as they come (with a stream; null: nowhere).
  std::shared_ptr<WaveformWriter> writeBack;
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
// The same checks and facts, with the file open to serve its frames as they are asked for.
Audio streamAudio(const std::string& path);

// Writes all frames as WAVE, 32-bit float, each sample divided by 32768 and never clipped.
// Throws HostError (kExitFailure) with the system's reason when the file cannot be written,
// naming it `name` (a temporary file's final name), or `path` when `name` is empty.
void writeWaveform(const std::string& path, const Audio& audio, const std::string& name = "");

}  // namespace orvane

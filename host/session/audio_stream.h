// A recording served from its file as the plug-in asks for it, and the output waveform written
// as the plug-in writes back. Nothing of the recording is held in memory: a read is a seek and a
// read of the call's frames straight into the plug-in's buffer, converted there to the host's
// 16-bit scale (a 16-bit sample s is s, a float sample x is 32768 x, as readAudio gives them),
// so the host's memory does not grow with the recording.
#pragma once

#include <sndfile.h>

#include <optional>
#include <string>
#include <vector>

namespace orvane {

// The host's sample scale: a file's full scale (1.0 read normalised, a 16-bit sample s read as
// s / 32768) is this much in the samples it hands the plug-ins.
constexpr double kHostSampleScale = 32768.0;

// The first sample of a read that is no number or infinite: a recording holding one is not
// sound and must not be measured as if it were.
struct BadSample {
  long frame;   // of the file, from 0
  int channel;  // from 1
  float value;  // NaN or an infinity
};

class AudioStream {
 public:
  // Opens `path` for reading (the checks of probeAudio already made). Throws HostError
  // (kExitBadInput) when the file cannot be opened.
  AudioStream(const std::string& path, int channels);
  ~AudioStream();
  AudioStream(const AudioStream&) = delete;
  AudioStream& operator=(const AudioStream&) = delete;

  // Frames [first, first + frames) into `buffer` as `channels` channels at 16-bit scale: the
  // file's own channels, or a mono file's channel in both positions of stereo frames. False
  // when the file does not supply them all (`problem` says why); a non-finite sample is kept
  // in badSample() (the first one only) and the read still succeeds.
  bool read(long first, long frames, int channels, float* buffer, std::string* problem);
  const std::optional<BadSample>& badSample() const { return bad_; }

 private:
  void convert(long first, long frames, int channels, float* samples);
  bool readShorts(long first, long frames, int channels, float* buffer, std::string* problem);

  std::string path_;
  SNDFILE* file_ = nullptr;
  int channels_;
  bool pcm16_ = false;         // 16-bit samples: read as the integers they are
  std::vector<float> mono_;    // a bounded piece of a mono file read as stereo
  std::vector<short> shorts_;  // a bounded piece of a 16-bit file
  std::optional<BadSample> bad_;
};

// The recording with the frames the plug-in wrote back, as a 32-bit float WAV at full scale 1
// (each sample divided by 32768, never clipped) — the file writeWaveform would write. The file
// is made at the first write, under a temporary name; finish() completes it with the frames
// nobody wrote, copied from the recording, flushes it and gives it its name. Messages call it
// `name` (the name it will have once its set of outputs is in place), or else `path`.
class WaveformWriter {
 public:
  WaveformWriter(std::string source, std::string path, int channels, int sampleRate, long frames,
                 std::string name = "");
  ~WaveformWriter();  // an unfinished file is removed
  WaveformWriter(const WaveformWriter&) = delete;
  WaveformWriter& operator=(const WaveformWriter&) = delete;

  // Frames [first, first + frames) of host-scale samples. False (and `problem` set) when the
  // file cannot be made or written.
  bool write(long first, long frames, const float* buffer, std::string* problem);
  // Throws HostError (kExitFailure) when the file cannot be completed.
  void finish();
  bool started() const { return out_ != nullptr; }

 private:
  bool copyTo(long frame, std::string* problem);  // the recording's frames up to `frame`

  std::string source_, path_, name_, partial_;
  int channels_, sampleRate_;
  long frames_;
  SNDFILE* in_ = nullptr;
  SNDFILE* out_ = nullptr;
  long copied_ = 0;  // frames of the output made so far, in order
};

}  // namespace orvane

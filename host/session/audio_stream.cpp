#include "host/session/audio_stream.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/errors.h"
#include "host/system/files.h"

namespace orvane {

namespace {

// The host's scale: libsndfile's normalised read maps full scale to 1.0.
constexpr float kHostScale = static_cast<float>(kHostSampleScale);
// Frames moved at a time where the host needs a buffer of its own.
constexpr long kPieceFrames = 65536;

std::string reasonOf(SNDFILE* file) { return sf_strerror(file); }

// libsndfile words a failed write as its own error; the system's reason, when there is one,
// says what the person can mend ("No space left on device").
std::string writeReasonOf(SNDFILE* file) {
  return errno != 0 ? std::strerror(errno) : sf_strerror(file);
}

}  // namespace

AudioStream::AudioStream(const std::string& path, int channels) : path_(path), channels_(channels) {
  SF_INFO info{};
  file_ = sf_open(path.c_str(), SFM_READ, &info);
  if (!file_) throw badInput("cannot read " + path + ": " + sf_strerror(nullptr));
  sf_command(file_, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
  pcm16_ = (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
}

AudioStream::~AudioStream() {
  if (file_) sf_close(file_);
}

// To the host's scale, in place; the first sample that is no number is kept as it passes.
void AudioStream::convert(long first, long frames, int channels, float* samples) {
  const long count = frames * channels;
  bool finite = true;
  for (long i = 0; i < count; ++i) {
    const float v = samples[i] * kHostScale;
    samples[i] = v;
    finite &= std::isfinite(v);
  }
  if (finite || bad_) return;
  for (long i = 0; i < count; ++i) {
    if (!std::isfinite(samples[i])) {
      bad_ = BadSample{first + i / channels, static_cast<int>(i % channels) + 1, samples[i]};
      return;
    }
  }
}

// A 16-bit sample s read normalised is s / 32768, which the host's scale makes s again: read as
// the integer, it is the same float in one pass instead of two, and never a NaN.
bool AudioStream::readShorts(long first, long frames, int channels, float* buffer,
                             std::string* problem) {
  shorts_.resize(static_cast<size_t>(std::min(frames, kPieceFrames)) * channels_);
  for (long done = 0; done < frames;) {
    const long piece = std::min(frames - done, kPieceFrames);
    const sf_count_t got = sf_readf_short(file_, shorts_.data(), piece);
    float* to = buffer + static_cast<size_t>(done) * channels;
    if (channels == channels_) {
      for (long i = 0; i < got * channels; ++i) to[i] = shorts_[i];
    } else {  // a mono file as stereo frames
      for (long i = 0; i < got; ++i) to[2 * i] = to[2 * i + 1] = shorts_[i];
    }
    if (got != piece) {
      *problem = "read " + std::to_string(done + got) + " of " + std::to_string(frames) +
                 " frames from frame " + std::to_string(first) + ": " + reasonOf(file_);
      return false;
    }
    done += piece;
  }
  return true;
}

bool AudioStream::read(long first, long frames, int channels, float* buffer, std::string* problem) {
  if (sf_seek(file_, first, SEEK_SET) != first) {
    *problem = "cannot seek to frame " + std::to_string(first) + ": " + reasonOf(file_);
    return false;
  }
  if (pcm16_) return readShorts(first, frames, channels, buffer, problem);
  if (channels == channels_) {
    const sf_count_t got = sf_readf_float(file_, buffer, frames);
    // The conversion to the host's scale is also where a sample that is no number shows.
    convert(first, static_cast<long>(got), channels, buffer);
    if (got != frames) {
      *problem = "read " + std::to_string(got) + " of " + std::to_string(frames) +
                 " frames from frame " + std::to_string(first) + ": " + reasonOf(file_);
      return false;
    }
    return true;
  }
  // A mono file read as stereo frames: a piece at a time, each sample in both positions.
  mono_.resize(static_cast<size_t>(std::min(frames, kPieceFrames)));
  for (long done = 0; done < frames;) {
    const long piece = std::min(frames - done, kPieceFrames);
    const sf_count_t got = sf_readf_float(file_, mono_.data(), piece);
    convert(first + done, static_cast<long>(got), 1, mono_.data());
    for (sf_count_t i = 0; i < got; ++i)
      buffer[2 * (done + i)] = buffer[2 * (done + i) + 1] = mono_[i];
    if (got != piece) {
      *problem = "read " + std::to_string(done + got) + " of " + std::to_string(frames) +
                 " frames from frame " + std::to_string(first) + ": " + reasonOf(file_);
      return false;
    }
    done += piece;
  }
  return true;
}

WaveformWriter::WaveformWriter(std::string source, std::string path, int channels, int sampleRate,
                               long frames, std::string name)
    : source_(std::move(source)),
      path_(std::move(path)),
      name_(name.empty() ? path_ : std::move(name)),
      partial_(path_ + ".partial"),
      channels_(channels),
      sampleRate_(sampleRate),
      frames_(frames) {}

WaveformWriter::~WaveformWriter() {
  if (in_) sf_close(in_);
  if (out_) {
    sf_close(out_);
    std::error_code ec;
    std::filesystem::remove(partial_, ec);
  }
}

bool WaveformWriter::copyTo(long frame, std::string* problem) {
  std::vector<float> piece(static_cast<size_t>(kPieceFrames) * channels_);
  if (sf_seek(in_, copied_, SEEK_SET) != copied_ ||
      sf_seek(out_, copied_, SEEK_SET | SFM_WRITE) != copied_) {
    *problem = "cannot copy " + source_ + " into " + name_ + ": " + reasonOf(in_);
    return false;
  }
  while (copied_ < frame) {
    const long n = std::min(frame - copied_, kPieceFrames);
    // The recording's own normalised floats: exactly what reading it to the host's scale and
    // dividing by 32768 again would give.
    if (sf_readf_float(in_, piece.data(), n) != n) {
      *problem = "cannot copy " + source_ + " into " + name_ + ": " + reasonOf(in_);
      return false;
    }
    errno = 0;
    if (sf_writef_float(out_, piece.data(), n) != n) {
      *problem = "cannot write " + name_ + ": " + writeReasonOf(out_);
      return false;
    }
    copied_ += n;
  }
  return true;
}

bool WaveformWriter::write(long first, long frames, const float* buffer, std::string* problem) {
  if (!out_) {
    SF_INFO in{};
    in_ = sf_open(source_.c_str(), SFM_READ, &in);
    if (!in_) {
      *problem = "cannot read " + source_ + ": " + sf_strerror(nullptr);
      return false;
    }
    sf_command(in_, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path_).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    SF_INFO info{};
    info.channels = channels_;
    info.samplerate = sampleRate_;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    errno = 0;
    out_ = sf_open(partial_.c_str(), SFM_WRITE, &info);
    if (!out_) {
      *problem = "cannot write " + name_ + ": " + writeReasonOf(nullptr);
      return false;
    }
    // Samples beyond full scale are kept as they are.
    sf_command(out_, SFC_SET_CLIPPING, nullptr, SF_FALSE);
  }
  if (first > copied_ && !copyTo(first, problem)) return false;
  if (sf_seek(out_, first, SEEK_SET | SFM_WRITE) != first) {
    *problem =
        "cannot write " + name_ + " at frame " + std::to_string(first) + ": " + reasonOf(out_);
    return false;
  }
  std::vector<float> piece(static_cast<size_t>(std::min(frames, kPieceFrames)) * channels_);
  for (long done = 0; done < frames;) {
    const long n = std::min(frames - done, kPieceFrames);
    const float* from = buffer + static_cast<size_t>(done) * channels_;
    for (long i = 0; i < n * channels_; ++i) piece[i] = from[i] / kHostScale;
    errno = 0;
    if (sf_writef_float(out_, piece.data(), n) != n) {
      *problem = "cannot write " + name_ + ": " + writeReasonOf(out_);
      return false;
    }
    done += n;
  }
  if (first + frames > copied_) copied_ = first + frames;
  return true;
}

void WaveformWriter::finish() {
  if (!out_) return;
  std::string problem;
  if (!copyTo(frames_, &problem))
    throw failure(problem.empty() ? "cannot write " + name_ + ": " + reasonOf(out_) : problem);
  errno = 0;
  const int closed = sf_close(out_);
  out_ = nullptr;
  if (closed != 0)
    throw failure("cannot write " + name_ + ": " +
                  (errno ? std::strerror(errno) : sf_error_number(closed)));
  const std::string unflushed = flushFile(partial_);
  if (!unflushed.empty()) throw failure("cannot write " + name_ + ": " + unflushed);
  std::error_code ec;
  std::filesystem::rename(partial_, path_, ec);
  if (ec) throw failure("cannot write " + name_ + ": " + ec.message());
}

}  // namespace orvane

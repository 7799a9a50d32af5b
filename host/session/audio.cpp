#include "host/session/audio.h"

#include <sndfile.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/errors.h"
#include "host/session/wav_header.h"

namespace orvane {

namespace {

// Host scale: libsndfile's normalised read maps full scale to 1.0 (a 16-bit s to s/32768).
constexpr float kHostScale = static_cast<float>(kHostSampleScale);

std::string formatName(int format) {
  std::string name;
  SF_FORMAT_INFO info{};
  info.format = format & SF_FORMAT_TYPEMASK;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name) {
    name = info.name;
  }
  SF_FORMAT_INFO sub{};
  sub.format = format & SF_FORMAT_SUBMASK;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &sub, sizeof sub) == 0 && sub.name) {
    name += name.empty() ? sub.name : std::string(", ") + sub.name;
  }
  return name;
}

struct SndFile {
  SNDFILE* file = nullptr;
  ~SndFile() {
    if (file) sf_close(file);
  }
};

// Opens `path` and checks that the host can serve it; `audio` gets everything but the samples.
void openAudio(const std::string& path, SndFile* in, Audio* audio) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) throw badInput(path + ": no such file");
  if (std::filesystem::is_directory(path, ec)) throw badInput(path + ": is a directory");
  // A pipe or a device could be read only once, and the host opens a recording more than
  // once (to check it, then to serve it): a second open of a pipe would wait for ever.
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw badInput(path +
                   ": not a regular file (a pipe or a device): save the recording to a "
                   "file first");
  }

  SF_INFO info{};
  in->file = sf_open(path.c_str(), SFM_READ, &info);
  if (!in->file) throw badInput("cannot read " + path + ": " + sf_strerror(nullptr));
  if (info.channels < 1 || info.channels > 2) {
    throw badInput(path + " has " + std::to_string(info.channels) +
                   " channels: only mono and stereo recordings can be processed");
  }
  if (info.frames <= 0) throw badInput(path + " holds no samples");
  // The record's frame numbers are 32 bits, and a stereo selection's sample count must fit them
  // too, on every build (a 64-bit long would let a far longer file through).
  if (info.frames > INT32_MAX / 2) throw badInput(path + " is too long for 32-bit frame numbers");
  if (info.samplerate <= 0) throw badInput(path + " has no sample rate");

  audio->path = path;
  audio->format = formatName(info.format);
  audio->channels = info.channels;
  audio->sampleRate = info.samplerate;
  audio->frames = static_cast<long>(info.frames);
  audio->cut = dataCutWarning(path, info.frames);
}

}  // namespace

Audio probeAudio(const std::string& path) {
  SndFile in;
  Audio audio;
  openAudio(path, &in, &audio);
  return audio;
}

Audio streamAudio(const std::string& path) {
  Audio audio = probeAudio(path);
  audio.stream = std::make_shared<AudioStream>(path, audio.channels);
  return audio;
}

Audio readAudio(const std::string& path) {
  SndFile in;
  Audio audio;
  openAudio(path, &in, &audio);
  audio.samples.resize(static_cast<size_t>(audio.frames) * audio.channels);
  sf_command(in.file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
  sf_count_t got = sf_readf_float(in.file, audio.samples.data(), audio.frames);
  if (got != audio.frames) {
    throw badInput("cannot read " + path + ": " + std::to_string(got) + " of " +
                   std::to_string(audio.frames) + " frames: " + sf_strerror(in.file));
  }
  for (float& s : audio.samples) s *= kHostScale;
  return audio;
}

void writeWaveform(const std::string& path, const Audio& audio, const std::string& name) {
  const std::string& shown = name.empty() ? path : name;
  // libsndfile words a failed system call as its own error; the system's reason says more.
  auto reason = [](SNDFILE* file) { return errno != 0 ? std::strerror(errno) : sf_strerror(file); };
  SF_INFO info{};
  info.channels = audio.channels;
  info.samplerate = audio.sampleRate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SndFile out;
  errno = 0;
  out.file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!out.file) throw failure("cannot write " + shown + ": " + reason(nullptr));
  // Filtered samples may exceed full scale; they are kept as they are.
  sf_command(out.file, SFC_SET_CLIPPING, nullptr, SF_FALSE);
  std::vector<float> scaled(audio.samples.size());
  for (size_t i = 0; i < scaled.size(); ++i) scaled[i] = audio.samples[i] / kHostScale;
  errno = 0;
  sf_count_t put = sf_writef_float(out.file, scaled.data(), audio.frames);
  if (put != audio.frames) throw failure("cannot write " + shown + ": " + reason(out.file));
  errno = 0;
  int closed = sf_close(out.file);
  out.file = nullptr;
  if (closed != 0) throw failure("cannot write " + shown + ": " + reason(nullptr));
}

}  // namespace orvane

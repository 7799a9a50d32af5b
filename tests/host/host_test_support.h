// Shared by the host tests: scratch directories, audio fixtures written with libsndfile, and
// the `orvane` command run as a child process.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/report/json.h"

namespace hosttest {

// A fresh directory under /tmp, removed with everything in it when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes a WAVE file: `samples` interleaved; `floatFormat` false writes 16-bit PCM from the
// values rounded to integers, true writes 32-bit floats as given.
void writeWav(const std::string& path, int channels, int sampleRate,
              const std::vector<double>& samples, bool floatFormat);
// A sine of `frames` frames at 1 kHz, amplitude 8000 (16-bit scale), in every channel.
void writeTone(const std::string& path, int channels, int sampleRate, int frames);

// A scratch folder with a 1 kHz tone as stereo.wav and as mono.wav.
struct ToneFiles {
  ScratchDir dir;
  std::string stereo = dir.file("stereo.wav");
  std::string mono = dir.file("mono.wav");
  ToneFiles(int sampleRate, int frames) {
    writeTone(stereo, 2, sampleRate, frames);
    writeTone(mono, 1, sampleRate, frames);
  }
};

struct RunResult {
  int status = -1;  // exit status; 128 + signal when killed by one
  std::string out;
  std::string err;
};

// Runs ORVANE_BIN_DIR/orvane with `args` in `cwd` (empty: the current directory), with
// ORVANE_PLUGIN_PATH set to `pluginPath` (unset when empty). With `fileSizeLimit` (bytes), no
// file it writes may grow beyond that: a write past it fails as on a full disk (EFBIG).
RunResult runOrvane(const std::vector<std::string>& args, const std::string& cwd = "",
                    const std::string& pluginPath = "", long fileSizeLimit = 0);

// Lines of a text, without their newlines.
std::vector<std::string> lines(const std::string& text);
bool exists(const std::string& path);
std::vector<unsigned char> readBytes(const std::string& path);
// A file's bytes as they are; "" when it cannot be read.
std::string readText(const std::string& path);

// The control `id` of a dialog object from a report; null JSON when absent.
orvane::Json controlOf(const orvane::Json& dialog, int id);
// The block field at `offset`; null JSON when absent.
orvane::Json fieldAt(const orvane::Json& block, unsigned long offset);

}  // namespace hosttest

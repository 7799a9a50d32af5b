#include "host_test_support.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace hosttest {

ScratchDir::ScratchDir() {
  char pattern[] = "/tmp/orvane-host-test-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void writeWav(const std::string& path, int channels, int sampleRate,
              const std::vector<double>& samples, bool floatFormat) {
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = sampleRate;
  info.format = SF_FORMAT_WAV | (floatFormat ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) throw std::runtime_error("cannot write fixture " + path);
  if (floatFormat) {
    std::vector<float> data(samples.begin(), samples.end());
    sf_write_float(f, data.data(), static_cast<sf_count_t>(data.size()));
  } else {
    std::vector<short> data;
    for (double s : samples) data.push_back(static_cast<short>(std::lround(s)));
    sf_write_short(f, data.data(), static_cast<sf_count_t>(data.size()));
  }
  sf_close(f);
}

void writeTone(const std::string& path, int channels, int sampleRate, int frames) {
  std::vector<double> samples;
  for (int i = 0; i < frames; ++i) {
    double v = 8000.0 * std::sin(2.0 * M_PI * 1000.0 * i / sampleRate);
    for (int c = 0; c < channels; ++c) samples.push_back(v);
  }
  writeWav(path, channels, sampleRate, samples, false);
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

RunResult runOrvane(const std::vector<std::string>& args, const std::string& cwd,
                    const std::string& pluginPath, long fileSizeLimit) {
  ScratchDir capture;
  std::string outPath = capture.file("stdout");
  std::string errPath = capture.file("stderr");
  std::string program = std::string(ORVANE_BIN_DIR) + "/orvane";
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    if (fileSizeLimit > 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit = {static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
    }
    if (pluginPath.empty()) {
      unsetenv("ORVANE_PLUGIN_PATH");
    } else {
      setenv("ORVANE_PLUGIN_PATH", pluginPath.c_str(), 1);
    }
    std::vector<char*> raw;
    for (auto& a : argv) raw.push_back(const_cast<char*>(a.c_str()));
    raw.push_back(nullptr);
    execv(program.c_str(), raw.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = readText(outPath);
  r.err = readText(errPath);
  return r;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) result.push_back(line);
  return result;
}

bool exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

std::vector<unsigned char> readBytes(const std::string& path) {
  std::string s = readText(path);
  return std::vector<unsigned char>(s.begin(), s.end());
}

orvane::Json controlOf(const orvane::Json& dialog, int id) {
  for (const auto& c : dialog["controls"]) {
    if (c["id"] == id && c["kind"] != "custom") return c;
  }
  return nullptr;
}

orvane::Json fieldAt(const orvane::Json& block, unsigned long offset) {
  for (const auto& f : block) {
    if (f["offset"] == offset) return f;
  }
  return nullptr;
}

}  // namespace hosttest

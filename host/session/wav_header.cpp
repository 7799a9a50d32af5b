#include "host/session/wav_header.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace orvane {

namespace {

uint32_t littleEndian(const unsigned char* b, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[i];
  return v;
}

}  // namespace

long long wavHeaderFrames(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char riff[12];
  if (!in.read(reinterpret_cast<char*>(riff), sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0)
    return -1;
  uint32_t blockAlign = 0;
  unsigned char chunk[8];
  while (in.read(reinterpret_cast<char*>(chunk), sizeof chunk)) {
    const uint32_t size = littleEndian(chunk + 4, 4);
    // A writer that streams leaves the size at its largest (or 0): no promise to hold it to.
    if (std::memcmp(chunk, "data", 4) == 0)
      return blockAlign > 0 && size != 0 && size != UINT32_MAX
                 ? static_cast<long long>(size / blockAlign)
                 : -1;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
      unsigned char fmt[16];
      if (!in.read(reinterpret_cast<char*>(fmt), sizeof fmt)) return -1;
      blockAlign = littleEndian(fmt + 12, 2);
      in.seekg(size - 16 + (size & 1), std::ios::cur);
    } else {
      in.seekg(size + (size & 1), std::ios::cur);  // chunks are padded to even sizes
    }
  }
  return -1;
}

std::string dataCutWarning(const std::string& path, long long frames) {
  const long long promised = wavHeaderFrames(path);
  if (promised <= frames) return "";
  return "data cut: " + std::to_string(frames) + " of " + std::to_string(promised) + " frames";
}

}  // namespace orvane

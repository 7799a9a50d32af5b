// The Windows host draws no graphs (its pictures are screenshots of the real dialogs): the
// clipboard's waveforms get no pictures there.
#include "host/report/wave_pictures.h"

namespace orvane {

std::vector<std::string> wavePicturePaths(const std::vector<ClipboardFiles>& files,
                                          const std::vector<WaveImage>&) {
  return std::vector<std::string>(files.size());
}

void writeWavePicture(const std::string&, const WaveImage&) {}

}  // namespace orvane

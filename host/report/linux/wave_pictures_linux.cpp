// The Linux host draws the clipboard's waveforms with the host's cairo drawing (host/pictures).
#include <filesystem>

#include "host/report/wave_pictures.h"

namespace orvane {

std::vector<std::string> wavePicturePaths(const std::vector<ClipboardFiles>& files,
                                          const std::vector<WaveImage>& images) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const bool wave = i < images.size() && images[i].valid && !files[i].file.empty();
    paths.push_back(wave ? std::filesystem::path(files[i].file).replace_extension(".png").string()
                         : "");
  }
  return paths;
}

void writeWavePicture(const std::string& path, const WaveImage& image) {
  writeGraphPng(path, waveGraph(image));
}

}  // namespace orvane

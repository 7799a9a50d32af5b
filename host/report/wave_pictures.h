// Pictures of the waveforms a run hands back on the clipboard (a WAVE image: crossanalyser's
// correlation or impulse response, inversefilter's filters), drawn as the host's graphs
// (host/pictures): each channel against time in ms from the image's first frame, at full scale
// 1, one value per pixel column (the sample of largest magnitude in the column's span, so that
// no peak falls between columns), the largest peak marked and noted with its time and value, a
// legend for two channels (Left, Right). The picture of clipboard.wav is clipboard.png,
// clipboard-2.wav's clipboard-2.png, and so on. The Windows host and a Linux build without
// cairo draw none.
#pragma once

#include <string>
#include <vector>

#include "host/pictures/pictures.h"
#include "host/report/clipboard_items.h"

namespace orvane {

constexpr int kWavePictureWidth = 720;   // px
constexpr int kWavePictureHeight = 300;  // px

// The graph of a valid image.
GraphSource waveGraph(const WaveImage& image);

// Per transfer, the picture of its waveform beside the file it is kept in (`files`, paths);
// "" for a transfer without one: text, an image the host cannot read, a build without graphs.
std::vector<std::string> wavePicturePaths(const std::vector<ClipboardFiles>& files,
                                          const std::vector<WaveImage>& images);
// Writes one (PNG). Throws HostError (kExitFailure) naming the file.
void writeWavePicture(const std::string& path, const WaveImage& image);

}  // namespace orvane

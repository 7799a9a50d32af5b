// The files a plug-in writes into the current folder ("timedelay.txt", "MultiSpectrum.txt"):
// the host cannot see them being written, so it compares the folder's regular files (name,
// size, time of the last change) before and after the plug-in ran.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orvane {

struct FolderSnapshot {
  struct Entry {
    std::uintmax_t size;
    std::filesystem::file_time_type changed;
  };
  std::map<std::string, Entry> files;  // by name; a folder that cannot be read has none
};

FolderSnapshot snapshotFolder(const std::string& folder);

// Names (in name order) of the files that are new in `after` or changed since `before`.
std::vector<std::string> changedFiles(const FolderSnapshot& before, const FolderSnapshot& after);

}  // namespace orvane

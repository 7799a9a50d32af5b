#include "host/report/preset.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "host/errors.h"
#include "host/system/file_writing.h"

namespace orvane {

std::vector<unsigned char> readPreset(const std::string& path, unsigned long paramSize) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) throw badInput(path + ": no such preset file");
  if (std::filesystem::is_directory(path, ec)) throw badInput(path + ": is a directory");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw badInput("cannot read preset " + path + ": " + std::strerror(errno));
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  if (in.bad()) throw badInput("cannot read preset " + path);
  if (bytes.size() != paramSize) {
    throw badInput(path + ": malformed preset: " + std::to_string(bytes.size()) +
                   " bytes, the plug-in's parameter block has " + std::to_string(paramSize));
  }
  return bytes;
}

void writePreset(const std::string& path, const std::vector<unsigned char>& block) {
  writeBinaryFile(path, block);
}

}  // namespace orvane

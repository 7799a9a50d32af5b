#include "host/report/output_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "host/errors.h"

namespace orvane {

namespace {

void writeBytes(const std::string& path, const char* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw failure("cannot write " + path + ": " + std::strerror(errno));
  out.write(data, static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw failure("cannot write " + path);
}

}  // namespace

void writeTextFile(const std::string& path, const std::string& text) {
  writeBytes(path, text.data(), text.size());
}

void writeBinaryFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  writeBytes(path, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void makeDirectory(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) throw failure("cannot create " + path + ": " + ec.message());
}

}  // namespace orvane

#include "host/report/output_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/errors.h"
#include "host/system/files.h"

namespace orvane {

namespace {

namespace fs = std::filesystem;

// Beside the file, hidden, and named for this process, so that two runs never share one.
std::string temporaryNameOf(const std::string& path) {
  const fs::path p(path);
  const std::string name =
      "." + p.filename().string() + ".orvane-" + std::to_string(currentProcessId()) + ".tmp";
  return (p.parent_path() / name).string();
}

void writeBytes(const std::string& path, const char* data, size_t size) {
  writeFileWhole(path, [&](const std::string& temporary) {
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) throw failure("cannot write " + path + ": " + std::strerror(errno));
    errno = 0;
    const bool put =
        (size == 0 || std::fwrite(data, 1, size, out) == size) && std::fflush(out) == 0;
    const int error = errno;
    if (std::fclose(out) != 0 || !put) {
      throw failure("cannot write " + path + ": " + std::strerror(error ? error : errno));
    }
  });
}

}  // namespace

void writeFileWhole(const std::string& given, const std::function<void(const std::string&)>& make) {
  std::error_code ec;
  // Through a symbolic link, the file it names is the one replaced, not the link.
  const std::string path =
      fs::is_symlink(given, ec) ? fs::weakly_canonical(given, ec).string() : given;
  // A device or a pipe holds nothing to keep, and must never be replaced by a file: it is
  // written straight through.
  if (fs::exists(path, ec) && !fs::is_regular_file(path, ec) && !fs::is_directory(path, ec)) {
    make(path);
    return;
  }
  const std::string temporary = temporaryNameOf(path);
  try {
    make(temporary);
    const std::string reason = flushFile(temporary);
    if (!reason.empty()) throw failure("cannot write " + path + ": " + reason);
    fs::rename(temporary, path, ec);
    if (ec) throw failure("cannot write " + path + ": " + ec.message());
  } catch (...) {
    fs::remove(temporary, ec);
    throw;
  }
}

void writeTextFile(const std::string& path, const std::string& text) {
  writeBytes(path, text.data(), text.size());
}

void writeBinaryFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  writeBytes(path, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void makeDirectory(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec) throw failure("cannot create " + path + ": " + ec.message());
}

}  // namespace orvane

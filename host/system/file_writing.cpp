#include "host/system/file_writing.h"

#include <atomic>
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

constexpr char kTemporaryMark[] = ".orvane-";
constexpr char kTemporaryEnd[] = ".tmp";

// Beside the file, hidden, and new: a name that exists is never written into.
std::string temporaryNameOf(const std::string& path, int attempt) {
  const fs::path p(path);
  const std::string name =
      "." + p.filename().string() + kTemporaryMark + std::to_string(attempt) + kTemporaryEnd;
  return (p.parent_path() / name).string();
}

void writeBytes(const std::string& path, const char* data, size_t size) {
  writeFileWhole(path, [&](const std::string& temporary) {
    std::string reason;
    std::FILE* out = openForWriting(temporary, &reason);
    if (!out) throw failure("cannot write " + path + ": " + reason);
    errno = 0;
    const bool put =
        (size == 0 || std::fwrite(data, 1, size, out) == size) && std::fflush(out) == 0;
    const int error = errno;
    if (std::fclose(out) != 0 || !put) {
      throw failure("cannot write " + path + ": " + std::strerror(error ? error : errno));
    }
  });
}

// A new empty file at a free temporary name beside `path`, claimed by exclusive creation so
// that no other writer (nor a link planted there) shares it.
std::string claimTemporary(const std::string& path) {
  static std::atomic<int> made{0};
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = temporaryNameOf(path, ++made);
    std::string reason;
    std::FILE* file = createNewFile(name, &reason);
    if (file) {
      std::fclose(file);
      return name;
    }
    if (fs::exists(fs::symlink_status(name))) continue;
    throw failure("cannot write " + path + ": " + reason);
  }
  throw failure("cannot write " + path + ": no free temporary name beside it");
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
  const std::string temporary = claimTemporary(path);
  try {
    make(temporary);
    std::string reason = flushFile(temporary);
    if (reason.empty()) reason = copyPermissions(path, temporary);
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

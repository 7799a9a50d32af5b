// Files that another process holds open, as the tests arrange with orvane_file_hold.
#include "internal.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct HeldFiles {
  // Absolute as given at hold time, so a later change of the working folder changes nothing;
  // resolved only when compared, since a held file may be created or replaced meanwhile.
  std::vector<std::string> paths;
};

HeldFiles& held() {
  static HeldFiles* s = new HeldFiles;
  return *s;
}

std::string absolute(const char* path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  return ec ? std::string(path) : p.string();
}

// The existing part of the path resolved (links, "." and ".."), the rest normalised.
std::string canonical(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(path, ec);
  return ec ? fs::path(path).lexically_normal().string() : p.string();
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return canonical(a) == canonical(b);
}

}  // namespace

bool fileIsHeld(const char* path) {
  if (!path || !*path) return false;
  const std::string wanted = absolute(path);
  for (const std::string& p : held().paths)
    if (sameFile(p, wanted)) return true;
  return false;
}

void filesReset() { held().paths.clear(); }

extern "C" ORVANE_EXPORT void orvane_file_hold(LPCSTR path, int isHeld) {
  if (!path || !*path) return;
  std::vector<std::string>& paths = held().paths;
  const std::string p = absolute(path);
  std::erase_if(paths, [&](const std::string& q) { return sameFile(q, p); });
  if (isHeld) paths.push_back(p);
}

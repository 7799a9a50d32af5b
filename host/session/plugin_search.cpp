// Where plug-ins are found: ORVANE_PLUGIN_PATH first, so that a person can put a plug-in of
// their own before the ones installed next to the executable.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "host/errors.h"
#include "host/session/plugin.h"
#include "host/system/system.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

bool hasXfmExtension(const std::string& name) {
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".xfm") == 0;
}

bool isRegularFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

}  // namespace

std::vector<std::string> pluginDirectories() {
  std::vector<std::string> dirs;
  auto add = [&dirs](std::string dir) {
    if (dir.empty()) return;
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(dir, ec);
    std::string key = ec ? dir : canonical.string();
    for (const auto& d : dirs) {
      std::error_code ec2;
      fs::path other = fs::weakly_canonical(d, ec2);
      if ((ec2 ? d : other.string()) == key) return;
    }
    dirs.push_back(dir);
  };
  if (const char* env = std::getenv("ORVANE_PLUGIN_PATH")) {
    std::string list = env;
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(searchPathSeparator(), start);
      if (end == std::string::npos) end = list.size();
      add(list.substr(start, end - start));
      start = end + 1;
    }
  }
  add(executableDirectory());
  return dirs;
}

std::vector<std::string> pluginFiles() {
  std::vector<std::string> files;
  for (const auto& dir : pluginDirectories()) {
    std::vector<std::string> here;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (hasXfmExtension(name) && isRegularFile(it->path())) here.push_back(it->path().string());
    }
    std::sort(here.begin(), here.end());
    files.insert(files.end(), here.begin(), here.end());
  }
  return files;
}

std::string resolvePlugin(const std::string& nameOrPath) {
  if (nameOrPath.empty()) throw badInput("no plug-in named");
  bool isPath =
      nameOrPath.find('/') != std::string::npos || nameOrPath.find('\\') != std::string::npos;
  if (isPath) {
    if (!isRegularFile(nameOrPath)) throw badInput(nameOrPath + ": no such plug-in file");
    std::error_code ec;
    fs::path absolute = fs::absolute(nameOrPath, ec);
    return ec ? nameOrPath : absolute.string();
  }
  std::string file = hasXfmExtension(nameOrPath) ? nameOrPath : nameOrPath + ".xfm";
  std::vector<std::string> dirs = pluginDirectories();
  for (const auto& dir : dirs) {
    fs::path candidate = fs::path(dir) / file;
    if (isRegularFile(candidate)) {
      std::error_code ec;
      fs::path absolute = fs::absolute(candidate, ec);
      return ec ? candidate.string() : absolute.string();
    }
  }
  // A file name typed in the directory that holds it.
  if (hasXfmExtension(nameOrPath) && isRegularFile(nameOrPath)) {
    std::error_code ec;
    fs::path absolute = fs::absolute(nameOrPath, ec);
    return ec ? nameOrPath : absolute.string();
  }
  std::string where;
  for (const auto& dir : dirs) where += (where.empty() ? "" : ", ") + dir;
  throw badInput("no plug-in '" + nameOrPath + "' (looked for " + file + " in " +
                 (where.empty() ? "no directory" : where) + ")");
}

}  // namespace orvane

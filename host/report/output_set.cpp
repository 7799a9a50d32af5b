#include "host/report/output_set.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "host/errors.h"
#include "host/system/files.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

constexpr char kStagingMark[] = ".orvane-";

fs::path normalised(const std::string& path) { return fs::absolute(path).lexically_normal(); }

// What `target` is called without a trailing separator ("out/" names "out").
fs::path folderPath(const std::string& target) {
  fs::path p = normalised(target);
  if (p.filename().empty()) p = p.parent_path();
  return p;
}

std::string stagingPrefix(const fs::path& target) {
  return "." + target.filename().string() + kStagingMark;
}

// The names a run, a batch or an assessment writes at the top of its folder.
bool isRunOutputFolder(const fs::path& folder) {
  std::error_code ec;
  for (const char* name : {"report.json", "summary.csv", "assessment.json"})
    if (fs::is_regular_file(folder / name, ec)) return true;
  return false;
}

// Staging folders beside the target whose process no longer runs: a run that was killed.
void removeStaleStaging(const fs::path& target) {
  const std::string prefix = stagingPrefix(target);
  std::error_code ec;
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(target.parent_path(), ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const long id = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    if (id > 0 && id != currentProcessId() && !processRuns(id)) stale.push_back(it->path());
  }
  for (const fs::path& p : stale) fs::remove_all(p, ec);
  stale.clear();
  for (fs::directory_iterator it(target, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == ".partial") stale.push_back(it->path());
  }
  for (const fs::path& p : stale) fs::remove_all(p, ec);
}

}  // namespace

void checkOutputFolder(const std::string& target) {
  const fs::path folder = folderPath(target);
  std::error_code ec;
  if (!fs::exists(folder, ec)) return;
  if (!fs::is_directory(folder, ec)) throw badInput(target + ": exists and is not a directory");
  if (fs::is_empty(folder, ec) || isRunOutputFolder(folder)) return;
  throw badInput(target +
                 ": holds files that are not a run's outputs; a run replaces its output folder "
                 "whole, so give a new or empty folder, or one an earlier run wrote");
}

OutputSet::OutputSet(const std::string& target) {
  checkOutputFolder(target);
  const fs::path folder = folderPath(target);
  // Named as the person gave it (the report's paths read as typed), compared in full.
  target_ = target;
  while (target_.size() > 1 && (target_.back() == '/' || target_.back() == '\\'))
    target_.pop_back();
  full_ = folder.string();
  std::error_code ec;
  // The target is made at once, empty, so that an export the person saves into it while the
  // plug-in runs finds its folder (it joins the set: adopt).
  for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    madeFolders_.insert(madeFolders_.begin(), p.string());
    if (p == p.parent_path()) break;
  }
  fs::create_directories(folder, ec);
  if (ec) throw failure("cannot create " + folder.string() + ": " + ec.message());
  removeStaleStaging(folder);
  static int made = 0;
  const std::string name =
      stagingPrefix(folder) + std::to_string(currentProcessId()) + "-" + std::to_string(++made);
  staging_ = (folder.parent_path() / name).string();
  fs::create_directory(staging_, ec);
  if (ec) throw failure("cannot create " + staging_ + ": " + ec.message());
}

OutputSet::~OutputSet() {
  if (committed_) return;
  std::error_code ec;
  fs::remove_all(staging_, ec);
  // Only as long as they are empty: another run may have put its set there meanwhile.
  for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) fs::remove(*it, ec);
}

std::string OutputSet::staged(const std::string& path) const {
  const fs::path relative = normalised(path).lexically_relative(full_);
  if (relative.empty() || *relative.begin() == "..") return path;
  if (relative == ".") return staging_;
  return (fs::path(staging_) / relative).string();
}

void OutputSet::adopt(const std::string& path) {
  const std::string to = staged(path);
  std::error_code ec;
  if (to == path || !fs::is_regular_file(path, ec)) return;
  fs::create_directories(fs::path(to).parent_path(), ec);
  fs::rename(path, to, ec);
  if (ec) throw failure("cannot keep " + path + " with the run's outputs: " + ec.message());
}

void OutputSet::commit() {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(staging_, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string reason = flushFile(it->path().string());
    if (reason.empty()) continue;
    const fs::path name = fs::path(target_) / it->path().lexically_relative(staging_);
    throw failure("cannot write " + name.string() + ": " + reason);
  }
  if (ec) throw failure("cannot write " + target_ + ": " + ec.message());
  const std::string reason = swapFolderIn(staging_, full_);
  if (!reason.empty()) throw failure("cannot write " + target_ + ": " + reason);
  committed_ = true;
}

}  // namespace orvane

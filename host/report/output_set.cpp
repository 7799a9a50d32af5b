#include "host/report/output_set.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "host/errors.h"
#include "host/report/set_commit.h"
#include "host/system/file_writing.h"
#include "host/system/files.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

fs::path normalised(const std::string& path) { return fs::absolute(path).lexically_normal(); }

// What `target` is called without a trailing separator ("out/" names "out").
fs::path folderPath(const std::string& target) {
  fs::path p = normalised(target);
  if (p.filename().empty()) p = p.parent_path();
  return p;
}

// Exactly the names makePrivateFolder gives with orvane's prefix.
bool isStagingName(const std::string& name) {
  const std::string prefix = kStagingPrefix;
  if (name.size() != prefix.size() + kStagingRandomLength || name.compare(0, prefix.size(), prefix))
    return false;
  return std::all_of(name.begin() + prefix.size(), name.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
}

std::string markerOf(const fs::path& staging) {
  const fs::path marker = staging / kStagingMarker;
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(marker, ec))) return "";
  std::ifstream in(marker);
  std::string line;
  std::getline(in, line);
  return line;
}

// Everything in a staging folder, its marker last and then the folder itself: a kill midway
// leaves the marker, so that a later run can still tell the folder is orvane's.
void removeStaging(const fs::path& staging) {
  std::error_code ec;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(staging, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename() != kStagingMarker) entries.push_back(it->path());
  for (const fs::path& entry : entries) fs::remove_all(entry, ec);
  fs::remove(staging / kStagingMarker, ec);
  fs::remove(staging, ec);
}

// With the folder locked: the staging folders that orvane made as this user (the exact name, a
// real folder, a marker inside) and whose run is over. A commit cut short (its journal is there,
// and the lock is free, so no run is in it) is completed; a staging folder whose process is
// known to be gone on this host is removed. Anything else is left as it is.
void tidyFolder(const fs::path& folder, const fs::path& own) {
  std::error_code ec;
  std::vector<fs::path> ours;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path p = it->path();
    std::error_code entry;
    if (p == own || !isStagingName(p.filename().string()) || !it->is_directory(entry) ||
        it->is_symlink(entry) || !ownedByThisUser(p.string()))
      continue;
    ours.push_back(p);
  }
  for (const fs::path& staging : ours) {
    const std::string marker = markerOf(staging);
    if (marker.empty()) continue;
    SetChange cut;
    if (readJournal(staging.string(), &cut)) {
      moveSetIn(folder.string(), staging.string(), cut);
    } else if (!processKnownGone(marker)) {
      continue;
    }
    removeStaging(staging);
  }
}

// The set staged: every file under the staging folder, relative, but orvane's own.
std::vector<std::string> stagedFiles(const fs::path& staging) {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(staging, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const fs::path relative = it->path().lexically_relative(staging);
    if (relative == kStagingMarker || relative == kCommitJournal) continue;
    files.push_back(relative.generic_string());
  }
  if (ec) throw failure("cannot read " + staging.string() + ": " + ec.message());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

void checkOutputFolder(const std::string& target) {
  const fs::path folder = folderPath(target);
  std::error_code ec;
  if (fs::exists(folder, ec) && !fs::is_directory(folder, ec))
    throw badInput(target + ": exists and is not a directory");
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
  for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    madeFolders_.insert(madeFolders_.begin(), p.string());
    if (p == p.parent_path()) break;
  }
  fs::create_directories(folder, ec);
  if (ec) throw failure("cannot create " + folder.string() + ": " + ec.message());
  // Inside the target, so that the moves are renames within one file system (a mount point
  // as the target among them).
  const std::string reason = makePrivateFolder(full_, kStagingPrefix, &staging_);
  if (!reason.empty())
    throw failure("cannot create a staging folder in " + target_ + ": " + reason);
  writeMarker();
}

// Written whole under another name and renamed, so that a marker is never half there, but not
// flushed: it counts only on this host in this boot, whose disk cache every reader shares.
void OutputSet::writeMarker() {
  const fs::path marker = fs::path(staging_) / kStagingMarker;
  const std::string unfinished = marker.string() + ".new";
  const std::string text = processMarker() + "\n";
  std::string reason;
  std::FILE* file = createNewFile(unfinished, &reason);
  if (file) {
    const bool put = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !put) reason = std::strerror(errno);
  }
  std::error_code ec;
  if (reason.empty()) fs::rename(unfinished, marker, ec);
  if (ec) reason = ec.message();
  if (!reason.empty()) throw failure("cannot write " + marker.string() + ": " + reason);
}

OutputSet::~OutputSet() {
  if (committed_) return;
  std::error_code ec;
  if (!staging_.empty()) removeStaging(staging_);
  // Only as long as they are empty: another run may have put its set there meanwhile.
  for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) fs::remove(*it, ec);
}

std::string OutputSet::staged(const std::string& path) const {
  const fs::path relative = normalised(path).lexically_relative(full_);
  if (relative.empty() || *relative.begin() == "..") return path;
  if (relative == ".") return staging_;
  return (fs::path(staging_) / relative).string();
}

void OutputSet::drop(const std::string& path) {
  const std::string at = staged(path);
  std::error_code ec;
  if (at != path && at != staging_) fs::remove_all(at, ec);
}

void OutputSet::commit() {
  SetChange change;
  change.written = stagedFiles(staging_);
  for (const std::string& file : change.written) {
    const std::string reason = flushFile((fs::path(staging_) / file).string());
    if (!reason.empty())
      throw failure("cannot write " + (fs::path(target_) / file).string() + ": " + reason);
  }
  change.written.push_back(kSetList);
  writeTextFile((fs::path(staging_) / kSetList).string(), setListText(change.written));
  checkSetPaths(full_, change.written);

  FolderLock lock(full_);
  if (!lock.problem().empty()) throw failure("cannot lock " + target_ + ": " + lock.problem());
  tidyFolder(full_, staging_);
  change.earlier = readSetList(full_);
  writeJournal(staging_, change);
  committed_ = true;  // from here on a failure is completed by the next run, never undone
  moveSetIn(full_, staging_, change);
  removeStaging(staging_);
}

}  // namespace orvane

#include "host/report/set_commit.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "host/errors.h"
#include "host/system/file_writing.h"
#include "host/system/files.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

// A reader that finds one of these finds the files it lists: they move in last.
bool isReport(const std::string& file) {
  const std::string name = fs::path(file).filename().string();
  return name == "report.json" || name == "summary.csv" || name == "assessment.json" ||
         name == "impulse.json" || name == "room.json";
}

// A path a set may hold: relative, inside its folder, without "." or "..".
bool insideFolder(const std::string& file) {
  const fs::path p(file);
  if (file.empty() || p.is_absolute() || p.has_root_name()) return false;
  for (const fs::path& part : p)
    if (part.empty() || part == "." || part == "..") return false;
  return true;
}

bool present(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

std::vector<std::string> linesOf(std::istream& in) {
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

void flushOrFail(const fs::path& folder) {
  const std::string reason = flushFolder(folder.string());
  if (!reason.empty()) throw failure("cannot flush " + folder.string() + ": " + reason);
}

}  // namespace

void checkSetPaths(const std::string& folder, const std::vector<std::string>& files) {
  std::error_code ec;
  for (const std::string& file : files) {
    if (!insideFolder(file)) throw failure("cannot write " + file + ": not inside " + folder);
    fs::path at(folder);
    const fs::path relative(file);
    for (auto part = relative.begin(); std::next(part) != relative.end(); ++part) {
      at /= *part;
      const fs::file_status s = fs::symlink_status(at, ec);
      if (fs::exists(s) && !fs::is_directory(s))
        throw failure("cannot write " + (fs::path(folder) / file).string() + ": " + at.string() +
                      " is not a folder");
    }
  }
}

std::vector<std::string> readSetList(const std::string& folder) {
  const std::string list = (fs::path(folder) / kSetList).string();
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(list, ec)) || !ownedByThisUser(list)) return {};
  std::ifstream in(list);
  std::vector<std::string> files;
  for (const std::string& file : linesOf(in))
    if (insideFolder(file)) files.push_back(file);
  return files;
}

std::string setListText(const std::vector<std::string>& files) {
  std::string text;
  for (const std::string& file : files) text += file + "\n";
  return text;
}

void writeJournal(const std::string& staging, const SetChange& change) {
  std::string text;
  for (const std::string& file : change.earlier) text += "-" + file + "\n";
  for (const std::string& file : change.written) text += "+" + file + "\n";
  writeTextFile((fs::path(staging) / kCommitJournal).string(), text);
  flushOrFail(staging);
}

bool readJournal(const std::string& staging, SetChange* change) {
  const fs::path journal = fs::path(staging) / kCommitJournal;
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(journal, ec))) return false;
  std::ifstream in(journal);
  *change = {};
  for (const std::string& line : linesOf(in)) {
    const std::string file = line.substr(1);
    if (!insideFolder(file)) continue;
    if (line[0] == '-') change->earlier.push_back(file);
    if (line[0] == '+') change->written.push_back(file);
  }
  return true;
}

void moveSetIn(const std::string& folder, const std::string& staging, const SetChange& change) {
  checkSetPaths(folder, change.earlier);
  checkSetPaths(folder, change.written);
  const fs::path to(folder), from(staging);
  const std::set<std::string> written(change.written.begin(), change.written.end());
  std::set<fs::path> touched = {to};
  std::error_code ec;
  auto fail = [&](const fs::path& file) {
    throw failure("cannot write " + (to / file).string() + ": " + ec.message());
  };
  auto moveIn = [&](const std::string& file) {
    if (!present(from / file)) return;  // moved by the commit a kill cut short
    const fs::path place = to / file;
    fs::create_directories(place.parent_path(), ec);
    if (ec) fail(file);
    const std::string reason = copyPermissions(place.string(), (from / file).string());
    if (!reason.empty()) throw failure("cannot write " + place.string() + ": " + reason);
    fs::rename(from / file, place, ec);
    if (ec) fail(file);
    touched.insert(place.parent_path());
  };
  auto flushTouched = [&] {
    for (const fs::path& f : touched) flushOrFail(f);
  };

  // An earlier report goes first, unless this commit's own report already took its place.
  for (const std::string& file : change.earlier) {
    if (!isReport(file) || (written.count(file) && !present(from / file))) continue;
    if (!fs::remove(to / file, ec) && ec) fail(file);
  }
  flushTouched();
  for (const std::string& file : change.written)
    if (!isReport(file)) moveIn(file);
  for (const std::string& file : change.earlier) {
    // Whatever now stands there that is no file (a folder a person made) is left.
    if (written.count(file) || !fs::is_regular_file(fs::symlink_status(to / file, ec))) continue;
    fs::remove(to / file, ec);
    // A folder of the earlier set's goes when nothing else is left in it.
    for (fs::path f = (to / file).parent_path(); f != to && fs::is_empty(f, ec);
         f = f.parent_path())
      fs::remove(f, ec);
  }
  flushTouched();
  std::vector<std::string> reports;
  for (const std::string& file : change.written)
    if (isReport(file)) reports.push_back(file);
  std::stable_sort(reports.begin(), reports.end(), [](const std::string& a, const std::string& b) {
    return std::distance(fs::path(a).begin(), fs::path(a).end()) >
           std::distance(fs::path(b).begin(), fs::path(b).end());
  });
  for (const std::string& file : reports) moveIn(file);
  flushTouched();
}

}  // namespace orvane

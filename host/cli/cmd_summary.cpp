// orvane summary: the reports of earlier runs (made one by one, on many cores or machines)
// merged into the table a batch run writes, row for row the same.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "host/cli/commands.h"
#include "host/errors.h"
#include "host/report/summary.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

constexpr char kReportName[] = "report.json";

// Every report.json under `folder` (the folder itself included), in the order of their paths.
std::vector<std::string> reportsUnder(const std::string& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw badInput(folder + ": no such folder");
  std::vector<std::string> found;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename() == kReportName && it->is_regular_file(ec))
      found.push_back(it->path().string());
  }
  if (ec) throw badInput("cannot read " + folder + ": " + ec.message());
  std::sort(found.begin(), found.end());
  return found;
}

Json readReport(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) throw badInput("cannot read " + path);
  try {
    Json report = Json::parse(text.str());
    if (!report.is_object() || !report.contains("audio")) throw badInput(path + ": no run report");
    return report;
  } catch (const Json::exception& e) {
    throw badInput(path + ": " + e.what());
  }
}

}  // namespace

int summaryCommand(const SummaryOptions& options, std::ostream& out) {
  SummaryTable summary;
  int reports = 0;
  for (const std::string& folder : options.folders) {
    for (const std::string& path : reportsUnder(folder)) {
      const Json report = readReport(path);
      summary.add(report["audio"].value("file", path), summaryFieldsOfReport(report));
      ++reports;
    }
  }
  if (reports == 0) throw badInput("no " + std::string(kReportName) + " under the folders given");
  out << (options.json ? dumpJson(summary.json()) + "\n" : summary.csv());
  out.flush();
  return kExitOk;
}

}  // namespace orvane

// orvane summary: the reports of earlier runs (made one by one, on many cores or machines)
// merged into the table a batch run writes, row for row the same.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>

#include "host/cli/commands.h"
#include "host/cli/joblog.h"
#include "host/errors.h"
#include "host/report/summary.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

constexpr char kReportName[] = "report.json";

// Every report.json under `folder` (the folder itself included), and the run folders that
// lack one: folders without subfolders holding files but no report (a run that never
// finished, an older version's), and `folder` itself when no report lies anywhere under it.
struct Found {
  std::vector<std::string> reports;
  std::vector<std::string> withoutReport;
};

Found reportsUnder(const std::string& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw badInput(folder + ": no such folder");
  Found found;
  std::vector<fs::path> folders{fs::path(folder)};
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) {
      // Staging folders of runs still going (or killed) are no results yet.
      if (it->path().filename().string().rfind(".", 0) == 0) {
        it.disable_recursion_pending();
        continue;
      }
      folders.push_back(it->path());
    } else if (it->path().filename() == kReportName && it->is_regular_file(ec)) {
      found.reports.push_back(it->path().string());
    }
  }
  if (ec) throw badInput("cannot read " + folder + ": " + ec.message());
  for (const fs::path& f : folders) {
    bool files = false, subfolders = false;
    for (fs::directory_iterator it(f, ec), end; !ec && it != end; it.increment(ec)) {
      (it->is_directory(ec) ? subfolders : files) = true;
    }
    if (files && !subfolders && !fs::exists(f / kReportName, ec))
      found.withoutReport.push_back(f.string());
  }
  if (found.reports.empty() && found.withoutReport.empty()) found.withoutReport.push_back(folder);
  std::sort(found.reports.begin(), found.reports.end());
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
    throw badInput(path + ": not a whole report (" + std::string(e.what()) + ")");
  }
}

}  // namespace

// A report that is missing or cannot be read is named on stderr; the table of the others is
// still written, and the command then exits with kExitFailure.
int summaryCommand(const SummaryOptions& options, std::ostream& out) {
  SummaryTable summary;
  int reports = 0, problems = 0;
  for (const std::string& folder : options.folders) {
    const Found found = reportsUnder(folder);
    for (const std::string& lacking : found.withoutReport) {
      std::cerr << "orvane: " << lacking << ": no " << kReportName
                << " (a run that did not finish?)\n";
      ++problems;
    }
    for (const std::string& path : found.reports) {
      try {
        const Json report = readReport(path);
        summary.add(report["audio"].value("file", path), summaryFieldsOfReport(report),
                    report.value("notCompleted", ""));
        ++reports;
      } catch (const HostError& e) {
        std::cerr << "orvane: " << e.what() << "\n";
        ++problems;
      } catch (const Json::exception& e) {  // a field of the wrong type, wherever it is
        std::cerr << "orvane: " << path << ": not a run report (" << e.what() << ")\n";
        ++problems;
      }
    }
  }
  // Jobs that failed or were killed left no report (nothing is written by a run that does not
  // complete): the job log names them.
  if (options.joblog) {
    for (const FailedJob& job : failedJobs(*options.joblog)) {
      std::cerr << "orvane: " << job.input << ": " << job.why << "\n";
      summary.add(job.input, {}, job.why);
      ++reports;
      ++problems;
    }
  }
  if (reports == 0)
    throw badInput("no readable " + std::string(kReportName) + " under the folders given");
  out << (options.json ? dumpJson(summary.json()) + "\n" : summary.csv());
  out.flush();
  return problems == 0 ? kExitOk : kExitFailure;
}

}  // namespace orvane

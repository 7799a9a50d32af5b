#include "host/cli/joblog.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "host/errors.h"

namespace orvane {

namespace {

std::vector<std::string> split(const std::string& line, char by) {
  std::vector<std::string> parts;
  std::stringstream s(line);
  for (std::string part; std::getline(s, part, by);) parts.push_back(part);
  return parts;
}

// In "orvane run PLUGIN FILE ...", the FILE.
std::string inputOf(const std::string& command) {
  const std::vector<std::string> words = split(command, ' ');
  const auto run = std::find(words.begin(), words.end(), "run");
  if (run != words.end() && run + 2 < words.end() && (run + 2)->rfind("-", 0) != 0)
    return *(run + 2);
  return command;
}

}  // namespace

std::vector<FailedJob> failedJobs(const std::string& path) {
  std::ifstream in(path);
  std::string header;
  if (!in || !std::getline(in, header)) throw badInput("cannot read the job log " + path);
  const std::vector<std::string> names = split(header, '\t');
  auto column = [&](const char* name) {
    const auto at = std::find(names.begin(), names.end(), name);
    if (at == names.end())
      throw badInput(path + ": not a job log of GNU parallel (no " + name + ")");
    return static_cast<size_t>(at - names.begin());
  };
  const size_t seq = column("Seq"), exitval = column("Exitval"), signal = column("Signal"),
               command = column("Command");
  std::vector<FailedJob> failed;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells = split(line, '\t');
    if (cells.size() < names.size()) continue;
    // The command may hold tabs of its own: it is the rest of the line.
    std::string text = cells[command];
    for (size_t i = command + 1; i < cells.size(); ++i) text += "\t" + cells[i];
    if (cells[signal] != "0")
      failed.push_back(
          {inputOf(text), "job " + cells[seq] + " was killed by signal " + cells[signal]});
    else if (cells[exitval] != "0")
      failed.push_back(
          {inputOf(text), "job " + cells[seq] + " exited with status " + cells[exitval]});
  }
  return failed;
}

}  // namespace orvane

// GNU parallel's job log (--joblog FILE): the jobs of a batch spread over cores or machines
// that failed or were killed, so that `orvane summary` can give each a row.
#pragma once

#include <string>
#include <vector>

namespace orvane {

struct FailedJob {
  std::string input;  // the recording the job ran on (its command when that cannot be told)
  std::string why;    // "job 3 exited with status 2", "job 4 was killed by signal 9"
};

// Throws HostError (kExitBadInput) for a file that cannot be read or has no job log's header
// (Seq, Exitval, Signal, Command, tab-separated).
std::vector<FailedJob> failedJobs(const std::string& path);

}  // namespace orvane

// The commands of `orvane`. Each writes its report to `out` and returns the exit status; a
// failure is thrown as HostError and nothing is written for it.
#pragma once

#include <ostream>

#include "host/cli/options.h"

namespace orvane {

int listCommand(const ListOptions& options, std::ostream& out);
int describeCommand(const DescribeOptions& options, std::ostream& out);
int runCommand(const RunOptions& options, std::ostream& out);
// Checks a plug-in as a strict host would: one line per check, then the count; exit status 0
// when every check passed, 1 otherwise.
int validateCommand(const ValidateOptions& options, std::ostream& out);
// Merges the reports of earlier runs into the summary table of a batch.
int summaryCommand(const SummaryOptions& options, std::ostream& out);
// Judges an inverse filter against a measured response (host/assess/).
int assessCommand(const AssessOptions& options, std::ostream& out);
// Deconvolves a measurement into its impulse response (host/room/).
int impulseCommand(const ImpulseOptions& options, std::ostream& out);
// The room's parameters of impulse responses (host/room/).
int roomCommand(const RoomOptions& options, std::ostream& out);

// The whole program: parses the arguments, runs the command, and turns a failure into
// "orvane: ..." on `err` and its exit status.
int orvaneMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace orvane

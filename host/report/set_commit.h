// The moves of an output set into its folder (output_set.h), kept in a journal so that a
// commit cut short can be completed by the next run. Paths of a set are relative to its
// folder, '/'-separated.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// The names orvane keeps inside an output folder: its staging folders (the prefix and six
// characters), the folder's list of its set, and, inside a staging folder, the marker of the
// process that made it and the journal of its commit.
inline constexpr char kStagingPrefix[] = ".orvane-stage-";
inline constexpr std::size_t kStagingRandomLength = 6;
inline constexpr char kSetList[] = ".orvane-set";
inline constexpr char kStagingMarker[] = ".orvane-owner";
inline constexpr char kCommitJournal[] = ".orvane-commit";

struct SetChange {
  std::vector<std::string> earlier;  // the set the folder held
  std::vector<std::string> written;  // the set in staging, the folder's list among them
};

// The set the folder's list names; empty when there is none, or it is not this user's.
std::vector<std::string> readSetList(const std::string& folder);
// The folder's list of `files` as written in the staging folder.
std::string setListText(const std::vector<std::string>& files);

// Writes and flushes the journal of a commit into the staging folder; throws HostError.
void writeJournal(const std::string& staging, const SetChange& change);
// The change a staging folder's journal holds; false when it has none.
bool readJournal(const std::string& staging, SetChange* change);

// Moves what is still in `staging` into `folder`: first the earlier reports are removed, then
// the written files that are no reports move in, the earlier files not written again are
// removed, and the reports move in last (the deepest first), the folders flushed between.
// Done again after a kill it does what remains. Throws HostError (kExitFailure) naming the
// file and the system's reason.
void moveSetIn(const std::string& folder, const std::string& staging, const SetChange& change);

// Refuses (HostError kExitFailure) a set whose paths leave the folder or pass through what is
// not a real folder (a link among them), before anything is moved.
void checkSetPaths(const std::string& folder, const std::vector<std::string>& files);

}  // namespace orvane

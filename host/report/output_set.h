// A run's outputs are added to a folder as one set, and the folder keeps everything else. The
// set's files are made in a private staging folder inside the target (".orvane-stage-XXXXXX",
// 0700, made fresh), flushed, and moved in one by one under a lock on the folder, the reports
// (report.json, summary.csv, assessment.json, impulse.json, room.json) last; then the earlier
// set's files that were not written again are removed, and only those. The folder's list of
// its set (".orvane-set") says which files those are. A report that stands in the folder
// stands beside every file it lists, complete: a commit first removes the earlier reports, and
// a commit cut short (a kill) is completed by the next run into the folder. Nothing is moved
// unless commit() is called.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// Throws HostError (kExitBadInput) when `target` exists and is not a folder.
void checkOutputFolder(const std::string& target);

class OutputSet {
 public:
  // Checks the target (checkOutputFolder), makes it when missing and makes this run's staging
  // folder in it. Throws HostError.
  explicit OutputSet(const std::string& target);
  // Unless committed, the staging folder goes with everything in it, and the folders made for
  // the target go while they are empty: the target is as it was.
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  // The folder as the person named it.
  const std::string& target() const { return target_; }
  // Where a path at or under the target is made until the commit; any other path is itself.
  std::string staged(const std::string& path) const;
  // Leaves out of the set what was made at or under `path` (a batch's file that failed).
  void drop(const std::string& path);
  // Moves the set into the target as above, and flushes the target's folders. Throws
  // HostError (kExitFailure) with the system's reason; before the first move the target is
  // then as it was, after it the next run into the target completes the commit.
  void commit();

 private:
  std::string target_;                    // as given
  std::string full_;                      // absolute
  std::string staging_;                   // absolute
  std::vector<std::string> madeFolders_;  // folders made for the target, outermost last
  bool committed_ = false;

  void writeMarker();
};

}  // namespace orvane

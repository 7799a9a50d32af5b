// A run's outputs replace a folder's earlier outputs as one set. They are made in a staging
// folder beside the target (".NAME.orvane-PID-K"), flushed to the disk, and swapped in at the
// end: the folder holds the earlier set whole until the swap and the new set whole after it,
// and of runs into one folder at the same time the last to finish wins, never a mix.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// Throws HostError (kExitBadInput) when `target` cannot take a run's outputs: it is a file, or
// a folder holding what is not a run's outputs (a whole folder is replaced, so a person's own
// files must never be in it). A new folder, an empty one and an earlier run's, batch's or
// assessment's (report.json, summary.csv or assessment.json at its top) can.
void checkOutputFolder(const std::string& target);

class OutputSet {
 public:
  // Checks the target (checkOutputFolder), makes it when missing, removes what runs that no
  // longer run left beside it (staging folders) and in it (".partial" waveforms of older
  // versions), and makes this run's staging folder. Throws HostError.
  explicit OutputSet(const std::string& target);
  // Unless swapped in, the staging folder goes with everything in it, and the folders made
  // for the target go while they are empty.
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  // The folder as the person named it.
  const std::string& target() const { return target_; }
  // Where a path at or under the target is made until the swap; any other path is itself.
  std::string staged(const std::string& path) const;
  // A file the plug-in wrote under the target while it ran (an export saved there) joins the
  // set, so that the swap keeps it.
  void adopt(const std::string& path);
  // Flushes every file of the set and swaps it in; what stood at the target is removed.
  // Throws HostError (kExitFailure) with the system's reason, the target then as it was.
  void commit();

 private:
  std::string target_;                    // as given
  std::string full_;                      // absolute
  std::string staging_;                   // absolute
  std::vector<std::string> madeFolders_;  // parents made for the staging folder, outermost last
  bool committed_ = false;
};

}  // namespace orvane

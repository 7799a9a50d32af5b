// orvane validate: a plug-in checked as a strict host would check it (validator.h). The text
// report is written line by line as the checks are decided; --json writes one object at the end.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "host/cli/commands.h"
#include "host/errors.h"
#include "host/session/plugin.h"
#include "host/validator/validator.h"

namespace orvane {

namespace {

namespace fs = std::filesystem;

// The checks run a plug-in thousands of times, and a plug-in may write into its current folder
// ("timedelay.txt"): they run in a fresh folder of their own, removed afterwards, so that the
// folder the validator was started in is left as it was.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code ec;
    previous_ = fs::current_path(ec);
    std::string pattern = (fs::temp_directory_path(ec) / "orvane-validate-XXXXXX").string();
    if (ec || !mkdtemp(pattern.data())) return;
    folder_ = pattern;
    fs::current_path(folder_, ec);
    if (ec) folder_.clear();
  }
  ~ScratchFolder() {
    if (folder_.empty()) return;
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(folder_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  fs::path previous_;
  fs::path folder_;
};

}  // namespace

int validateCommand(const ValidateOptions& options, std::ostream& out) {
  const std::string path = resolvePlugin(options.plugin);
  ValidatorSettings settings;
  settings.iterations = options.iterations;
  settings.seed = options.seed;
  ScratchFolder scratch;
  ValidationReport report;
  if (options.json) {
    report = validatePlugin(path, settings);
    out << dumpJson(validationJson(report)) << "\n";
  } else {
    report = validatePlugin(path, settings, [&](const CheckOutcome& check) {
      out << checkLine(check) << "\n";
      out.flush();
    });
    out << report.passed() << " passed, " << report.failed() << " failed\n";
  }
  out.flush();
  return report.failed() == 0 ? kExitOk : kExitFailure;
}

}  // namespace orvane

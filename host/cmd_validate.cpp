// orvane validate: a plug-in checked as a strict host would check it (validator.h). The text
// report is written line by line as the checks are decided; --json writes one object at the end.
#include "host/commands.h"
#include "host/errors.h"
#include "host/plugin.h"
#include "host/validator.h"

namespace orvane {

int validateCommand(const ValidateOptions& options, std::ostream& out) {
  const std::string path = resolvePlugin(options.plugin);
  ValidatorSettings settings;
  settings.iterations = options.iterations;
  settings.seed = options.seed;
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

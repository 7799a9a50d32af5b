#include "host/validator/validator.h"

#include <stdlib.h>

#include <filesystem>

#include "host/errors.h"
#include "host/session/plugin.h"
#include "host/system/system.h"
#include "host/validator/validator_checks.h"

namespace orvane {

namespace {

// The children's current directory: files a plug-in writes during the checks land here and go
// with it.
class WorkDirectory {
 public:
  WorkDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "orvane-validate-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~WorkDirectory() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class LoadedModule {
 public:
  explicit LoadedModule(HMODULE m) : module_(m) {}
  ~LoadedModule() { FreeLibrary(module_); }
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace

int ValidationReport::passed() const {
  int n = 0;
  for (const auto& c : checks) n += c.passed ? 1 : 0;
  return n;
}

int ValidationReport::failed() const { return static_cast<int>(checks.size()) - passed(); }

ValidationReport validatePlugin(const std::string& path, const ValidatorSettings& settings,
                                const std::function<void(const CheckOutcome&)>& onCheck) {
  ValidationReport report;
  report.plugin = path;
  auto add = [&](const CheckOutcome& outcome) {
    report.checks.push_back(outcome);
    if (onCheck) onCheck(outcome);
    return outcome.passed;
  };

  HMODULE handle = LoadLibraryA(path.c_str());
  if (!handle) throw badInput(path + ": cannot load the plug-in: " + moduleErrorText());
  LoadedModule module(handle);
  if (!add(checkExports(module.get()))) return report;

  WorkDirectory work;
  if (work.path().empty()) throw failure("cannot make a work directory for the checks");
  IsolationSettings isolation;
  isolation.timeoutSeconds = settings.timeoutSeconds;
  isolation.workDirectory = work.path();
  if (!add(checkQueryXfm(module.get(), isolation))) return report;

  // QueryXfm has been seen to return: from here the host may load the plug-in itself.
  std::unique_ptr<Plugin> plugin;
  try {
    plugin = Plugin::load(path);
  } catch (const HostError& e) {
    add({"loading the plug-in as the host does", false, e.what()});
    return report;
  }
  add(checkLayout(plugin->info()));

  CheckContext c{*plugin, settings, isolation};
  add(checkHandlesStored(c));
  for (BlockExport which :
       {BlockExport::Init, BlockExport::Destroy, BlockExport::Setup, BlockExport::Do}) {
    add(checkUnlockableBlock(c, which));
  }
  for (int channels : {1, 2}) add(checkAutoConfirm(c, channels));
  for (int channels : {1, 2}) add(checkAllocationFailures(c, channels));
  for (int channels : {1, 2}) add(checkLockFailures(c, channels));
  for (int channels : {1, 2}) add(checkCancels(c, channels));
  for (ClipboardMode mode : {ClipboardMode::Free, ClipboardMode::Busy, ClipboardMode::CloseFails})
    add(checkCommands(c, mode));
  if (settings.iterations > 0) add(checkRandomRuns(c));
  return report;
}

std::string checkLine(const CheckOutcome& check) {
  if (check.passed) return "pass  " + check.what;
  return "FAIL  " + check.what + ": " + check.why;
}

std::string renderValidationText(const ValidationReport& report) {
  std::string text;
  for (const auto& c : report.checks) text += checkLine(c) + "\n";
  text +=
      std::to_string(report.passed()) + " passed, " + std::to_string(report.failed()) + " failed\n";
  return text;
}

Json validationJson(const ValidationReport& report) {
  Json checks = Json::array();
  for (const auto& c : report.checks) {
    Json j = {{"check", c.what}, {"passed", c.passed}};
    if (!c.passed) j["why"] = c.why;
    checks.push_back(j);
  }
  return Json{{"plugin", report.plugin},
              {"checks", checks},
              {"passed", report.passed()},
              {"failed", report.failed()}};
}

}  // namespace orvane

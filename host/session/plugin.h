// Finding and loading .xfm plug-ins, checking their export table and asking them to describe
// themselves (QueryXfm).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frame/results_table.h"
#include "frame/xfm.h"
#include "host/session/published_results.h"

namespace orvane {

// What QueryXfm wrote into the transform info block. Strings are cut at their field's end
// when a plug-in did not terminate them.
struct PluginInfo {
  std::string name;  // menu path, e.g. "Orvane\levelmeter Time History Analysis"
  std::string notice;
  std::string description;
  int infoWord = 0;
  unsigned long flags = 0;
  unsigned long paramSize = 0;  // bytes of the parameter block
  std::string paramTypes;       // one letter per field: c i l f d h b s
  std::string paramFlags;
  int queryResult = 0;  // QueryXfm's answer (0x489)
};

// The exports' types, spelled out with their calling convention.
typedef short(WINAPI* QueryXfmProc)(XFMINFO* info);
typedef int(WINAPI* XfmInstanceProc)(XFMINSTANCE* instance);
typedef int(WINAPI* XfmSetupProc)(HWND hostWindow, HINSTANCE module, XFMINSTANCE* instance);
typedef const ResultsTable*(WINAPI* XfmResultsProc)(void);

// The exports, typed; all present once a Plugin is loaded.
struct PluginExports {
  QueryXfmProc queryXfm = nullptr;
  XfmInstanceProc xfmInit = nullptr;
  XfmSetupProc xfmSetup = nullptr;
  XfmInstanceProc xfmDo = nullptr;
  XfmInstanceProc xfmDestroy = nullptr;
  XfmDisplayCallback displayCallback = nullptr;
  DLGPROC settingsDialog = nullptr;
  DLGPROC resultsDialog = nullptr;
};

// A loaded plug-in. Owns its module: the destructor calls FreeLibrary.
class Plugin {
 public:
  // Loads `path` (a file, not a name), checks every export by name and by ordinal, calls
  // QueryXfm and copies the table of results (XfmResults) when the plug-in has one, each entry
  // checked against the block's paramTypes. Throws HostError (kExitBadInput) naming the file
  // and the reason.
  static std::unique_ptr<Plugin> load(const std::string& path);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  const std::string& path() const { return path_; }
  // The module handle, which is also the module instance XfmSetup receives.
  HMODULE module() const { return module_; }
  const PluginExports& exports() const { return exports_; }
  const PluginInfo& info() const { return info_; }
  const PublishedResults& results() const { return results_; }

 private:
  Plugin() = default;
  std::string path_;
  HMODULE module_ = nullptr;
  PluginExports exports_;
  PluginInfo info_;
  PublishedResults results_;
};

// ---- Where plug-ins are looked for ----
// The directories of ORVANE_PLUGIN_PATH in order, then the executable's directory; each once.
std::vector<std::string> pluginDirectories();
// Every *.xfm file in those directories: directory order, then by file name.
std::vector<std::string> pluginFiles();
// A name ("levelmeter", "levelmeter.xfm") is looked up in pluginDirectories(); an argument
// holding a directory separator is a path. Returns the file's path; throws HostError
// (kExitBadInput) when there is none.
std::string resolvePlugin(const std::string& nameOrPath);

}  // namespace orvane

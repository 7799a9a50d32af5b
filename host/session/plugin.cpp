#include "host/session/plugin.h"

#include <cstdio>
#include <cstring>

#include "host/errors.h"
#include "host/system/system.h"

namespace orvane {

namespace {

// The layer's reasons often start with the file already.
std::string withPath(const std::string& path, const std::string& reason) {
  if (reason.compare(0, path.size(), path) == 0) return reason;
  return path + ": " + reason;
}

std::string fieldText(const char* field, size_t size) {
  return std::string(field, strnlen(field, size));
}

// Looks an export up by name and by ordinal: both must lead to the same address, as the
// host audio editor finds some exports by name and the dialogs by ordinal.
FARPROC checkedExport(HMODULE module, const std::string& path, const char* name, int ordinal) {
  FARPROC byName = GetProcAddress(module, name);
  if (!byName) {
    throw badInput(path + ": missing export " + name + " (ordinal " + std::to_string(ordinal) +
                   ")");
  }
  FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
  if (!byOrdinal) {
    throw badInput(path + ": export " + name + " has no ordinal " + std::to_string(ordinal));
  }
  if (byName != byOrdinal) {
    throw badInput(path + ": export " + name + " is not ordinal " + std::to_string(ordinal));
  }
  return byName;
}

template <typename T>
void take(T* out, FARPROC proc) {
  // Through void(*)(): the generic function pointer type a cast may pass without a warning.
  *out = reinterpret_cast<T>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

std::unique_ptr<Plugin> Plugin::load(const std::string& path) {
  std::unique_ptr<Plugin> plugin(new Plugin);
  plugin->path_ = path;
  plugin->module_ = LoadLibraryA(path.c_str());
  if (!plugin->module_) {
    throw badInput(withPath(path, moduleErrorText(path)) + " (cannot load the plug-in)");
  }

  HMODULE m = plugin->module_;
  watchPluginModule(m);
  PluginExports& e = plugin->exports_;
  take(&e.queryXfm, checkedExport(m, path, "QueryXfm", kOrdQueryXfm));
  take(&e.xfmInit, checkedExport(m, path, "XfmInit", kOrdXfmInit));
  take(&e.xfmSetup, checkedExport(m, path, "XfmSetup", kOrdXfmSetup));
  take(&e.xfmDo, checkedExport(m, path, "XfmDo", kOrdXfmDo));
  take(&e.xfmDestroy, checkedExport(m, path, "XfmDestroy", kOrdXfmDestroy));
  take(&e.displayCallback, checkedExport(m, path, "_DisplayCallback@20", kOrdDisplayCallback));
  take(&e.settingsDialog, checkedExport(m, path, "DIALOGMsgProc", kOrdSettingsDialog));
  take(&e.resultsDialog, checkedExport(m, path, "DIALOGMsgProc2", kOrdResultsDialog));

  XFMINFO info;
  std::memset(&info, 0, sizeof info);
  short answer = e.queryXfm(&info);
  PluginInfo& out = plugin->info_;
  out.queryResult = answer;
  if (answer != kXfmVersion) {
    char text[96];
    std::snprintf(text, sizeof text, ": QueryXfm answered 0x%X, not 0x%X",
                  static_cast<unsigned>(static_cast<unsigned short>(answer)),
                  static_cast<unsigned>(kXfmVersion));
    throw badInput(path + text);
  }
  out.name = fieldText(info.name, sizeof info.name);
  out.notice = fieldText(info.notice, sizeof info.notice);
  out.description = fieldText(info.description, sizeof info.description);
  out.infoWord = info.infoWord;
  out.flags = info.flags;
  out.paramSize = info.paramSize;
  out.paramTypes = fieldText(info.paramTypes, sizeof info.paramTypes);
  out.paramFlags = fieldText(info.paramFlags, sizeof info.paramFlags);
  // A block larger than this is no settings record but a fault of the plug-in.
  if (out.paramSize == 0 || out.paramSize > (16u << 20)) {
    throw badInput(path + ": QueryXfm gave a parameter block of " + std::to_string(out.paramSize) +
                   " bytes");
  }
  plugin->results_ = readPublishedResults(m, path, out);
  return plugin;
}

Plugin::~Plugin() {
  if (module_) FreeLibrary(module_);
}

}  // namespace orvane

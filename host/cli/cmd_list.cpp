// orvane list: every plug-in found, loaded once to ask QueryXfm.
#include "host/cli/commands.h"
#include "host/errors.h"
#include "host/report/report.h"
#include "host/session/plugin.h"

namespace orvane {

int listCommand(const ListOptions& options, std::ostream& out) {
  Json list;
  list["directories"] = pluginDirectories();
  Json plugins = Json::array();
  for (const std::string& file : pluginFiles()) {
    try {
      std::unique_ptr<Plugin> plugin = Plugin::load(file);
      plugins.push_back(pluginJson(*plugin));
    } catch (const HostError& e) {
      plugins.push_back({{"file", file}, {"error", e.what()}});
    }
  }
  list["plugins"] = std::move(plugins);
  out << (options.json ? dumpJson(list) + "\n" : renderListText(list));
  out.flush();
  return kExitOk;
}

}  // namespace orvane

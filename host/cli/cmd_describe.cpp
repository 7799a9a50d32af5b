// orvane describe: a fresh instance, its settings dialog looked at and cancelled.
#include "host/cli/commands.h"
#include "host/errors.h"
#include "host/person/person.h"
#include "host/report/report.h"
#include "host/session/plugin.h"
#include "host/session/session.h"

namespace orvane {

namespace {

// A selection of one second at a common rate: the settings dialogs only show it.
constexpr long kDescribeRate = 44100;

}  // namespace

int describeCommand(const DescribeOptions& options, std::ostream& out) {
  std::unique_ptr<Plugin> plugin = Plugin::load(resolvePlugin(options.plugin));
  SessionSetup setup;
  setup.channels = options.channels;
  setup.sampleRate = kDescribeRate;
  setup.selFirst = 0;
  setup.selLast = kDescribeRate - 1;
  setup.showProgress = false;
  Session session(*plugin, nullptr, setup);
  PersonScript script;
  script.lookOnly = true;
  Person person(script, &session.displays());
  person.install();

  std::vector<unsigned char> defaults;
  if (session.init() != 0) {
    defaults = session.blockBytes();
    session.setup();
  }
  session.destroy();

  const DialogRecord* look = nullptr;
  for (const auto& d : person.log().looks) {
    if (d.resource == kSettingsDialogResource) {
      look = &d;
      break;
    }
  }
  CallResults calls = session.calls();
  calls.queryXfm = plugin->info().queryResult;
  Json report;
  report["plugin"] = pluginJson(*plugin);
  report["channels"] = options.channels;
  report["calls"] = callsJson(calls);
  report["dialog"] = look ? dialogJson(*look) : Json();
  report["dialogs"] = dialogsJson(person.log().dialogs);
  report["block"] = blockJson(decodeBlock(defaults, plugin->info().paramTypes));
  report["messages"] = messagesJson(person.log().messages);
  out << (options.json ? dumpJson(report) + "\n" : renderDescribeText(report));
  out.flush();
  if (!look) throw failure(plugin->path() + " showed no settings dialog");
  return kExitOk;
}

}  // namespace orvane

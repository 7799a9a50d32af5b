// orvane describe: a fresh instance, its settings dialog looked at and cancelled, its results
// dialog's template looked at, and the results it publishes.
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

// The option of `orvane run` that acts on a control of this kind in dialog `resource`; "" for
// none.
std::string optionActingOn(int resource, const std::string& kind) {
  if (resource == kSettingsDialogResource &&
      (kind == "checkbox" || kind == "radio" || kind == "edit" || kind == "combobox"))
    return "--set";
  if (resource == kResultsDialogResource &&
      (kind == "button" || kind == "checkbox" || kind == "radio"))
    return "--press";
  return "";
}

// A dialog with, for each control `orvane run` can act on, the option that does ("acts").
Json templateJson(const DialogRecord& dialog) {
  Json j = dialogJson(dialog);
  for (Json& c : j["controls"]) {
    const std::string option = optionActingOn(dialog.resource, c.value("kind", ""));
    if (!option.empty()) c["acts"] = option;
  }
  return j;
}

Json publishedJson(const PublishedResults& table) {
  Json j = Json::array();
  for (const PublishedResult& r : table.entries)
    j.push_back({{"name", r.name}, {"channel", r.channel}, {"unit", r.unit}});
  return j;
}

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
  showDialogTemplate(plugin->module(), kResultsDialogResource);

  const DialogRecord* look = nullptr;
  Json templates = Json::array();
  for (const int resource : {kSettingsDialogResource, kResultsDialogResource}) {
    for (const auto& d : person.log().looks) {
      if (d.resource != resource) continue;
      if (resource == kSettingsDialogResource) look = &d;
      templates.push_back(templateJson(d));
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
  // The settings dialog as the plug-in filled it, the results dialog as its template stands.
  report["templates"] = templates;
  report["results"] = publishedJson(plugin->results());
  report["block"] = blockJson(decodeBlock(defaults, plugin->info().paramTypes));
  report["messages"] = messagesJson(person.log().messages);
  out << (options.json ? dumpJson(report) + "\n" : renderDescribeText(report));
  out.flush();
  if (!look) throw failure(plugin->path() + " showed no settings dialog");
  return kExitOk;
}

}  // namespace orvane

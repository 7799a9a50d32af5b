#include "host/options.h"

#include <charconv>

#include "host/errors.h"
#include "host/system.h"

namespace orvane {

namespace {

std::string usageError(const std::string& command, const std::string& what) {
  std::string name = command.empty() ? "orvane" : "orvane " + command;
  return what + " (see '" + name + " --help')";
}

bool parseLong(const std::string& text, long* out) {
  if (text.empty()) return false;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (*begin == '+') ++begin;
  auto [ptr, ec] = std::from_chars(begin, end, *out);
  return ec == std::errc() && ptr == end;
}

// Walks the arguments of one command: options with values (--name VALUE or --name=VALUE),
// flags, and positional arguments.
class ArgReader {
 public:
  ArgReader(std::string command, int argc, const char* const* argv, int start)
      : command_(std::move(command)) {
    for (int i = start; i < argc; ++i) args_.push_back(argv[i] ? argv[i] : "");
  }

  // Returns false at the end. Sets *name to the option ("--set") or "" for a positional
  // argument in *value.
  bool next(std::string* name, std::string* value, bool* hasInlineValue) {
    if (pos_ >= args_.size()) return false;
    std::string arg = args_[pos_++];
    *hasInlineValue = false;
    if (!optionsEnded_ && arg == "--") {
      optionsEnded_ = true;
      return next(name, value, hasInlineValue);
    }
    if (!optionsEnded_ && arg.size() > 1 && arg[0] == '-') {
      size_t eq = arg.find('=');
      if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
        *name = arg.substr(0, eq);
        *value = arg.substr(eq + 1);
        *hasInlineValue = true;
      } else {
        *name = arg;
        value->clear();
      }
      return true;
    }
    name->clear();
    *value = arg;
    return true;
  }

  std::string takeValue(const std::string& name, const std::string& inlineValue, bool hasInline) {
    if (hasInline) return inlineValue;
    if (pos_ >= args_.size()) throw badInput(usageError(command_, name + " needs a value"));
    return args_[pos_++];
  }

  void noValue(const std::string& name, bool hasInline) {
    if (hasInline) throw badInput(usageError(command_, name + " takes no value"));
  }

  [[noreturn]] void unknown(const std::string& name) {
    throw badInput(usageError(command_, "unknown option " + name));
  }

 private:
  std::string command_;
  std::vector<std::string> args_;
  size_t pos_ = 0;
  bool optionsEnded_ = false;
};

Command helpFor(std::string text) {
  Command c;
  c.kind = CommandKind::Help;
  c.helpText = std::move(text);
  return c;
}

Command parseList(int argc, const char* const* argv) {
  ArgReader reader("list", argc, argv, 2);
  Command c;
  c.kind = CommandKind::List;
  std::string name, value;
  bool inl;
  while (reader.next(&name, &value, &inl)) {
    if (name == "--help" || name == "-h") return helpFor(listHelp());
    if (name == "--json") {
      reader.noValue(name, inl);
      c.list.json = true;
    } else if (name.empty()) {
      throw badInput(usageError("list", "unexpected argument '" + value + "'"));
    } else {
      reader.unknown(name);
    }
  }
  return c;
}

Command parseDescribe(int argc, const char* const* argv) {
  ArgReader reader("describe", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Describe;
  std::vector<std::string> positional;
  std::string name, value;
  bool inl;
  while (reader.next(&name, &value, &inl)) {
    if (name == "--help" || name == "-h") return helpFor(describeHelp());
    if (name == "--json") {
      reader.noValue(name, inl);
      c.describe.json = true;
    } else if (name == "--channels") {
      std::string v = reader.takeValue(name, value, inl);
      if (v != "1" && v != "2") {
        throw badInput(usageError("describe", "--channels takes 1 or 2, not '" + v + "'"));
      }
      c.describe.channels = v == "1" ? 1 : 2;
    } else if (name.empty()) {
      positional.push_back(value);
    } else {
      reader.unknown(name);
    }
  }
  if (positional.empty()) throw badInput(usageError("describe", "missing PLUGIN"));
  if (positional.size() > 1) {
    throw badInput(usageError("describe", "unexpected argument '" + positional[1] + "'"));
  }
  c.describe.plugin = positional[0];
  return c;
}

Selection parseSelection(const std::string& text) {
  size_t colon = text.find(':');
  Selection s{};
  if (colon == std::string::npos || !parseLong(text.substr(0, colon), &s.first) ||
      !parseLong(text.substr(colon + 1), &s.last)) {
    throw badInput(usageError("run", "--select takes FIRST:LAST in frames, not '" + text + "'"));
  }
  return s;
}

SetAction parseSet(const std::string& text) {
  size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) {
    throw badInput(usageError("run", "--set takes CONTROL=VALUE, not '" + text + "'"));
  }
  return {text.substr(0, eq), text.substr(eq + 1), text};
}

Command parseRun(int argc, const char* const* argv) {
  ArgReader reader("run", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Run;
  RunOptions& o = c.run;
  std::vector<std::string> positional;
  std::string name, value;
  bool inl;
  while (reader.next(&name, &value, &inl)) {
    if (name == "--help" || name == "-h") return helpFor(runHelp());
    if (name.empty()) {
      positional.push_back(value);
    } else if (name == "--select") {
      o.select = parseSelection(reader.takeValue(name, value, inl));
    } else if (name == "--set") {
      o.sets.push_back(parseSet(reader.takeValue(name, value, inl)));
    } else if (name == "--press") {
      std::string v = reader.takeValue(name, value, inl);
      if (v.empty()) throw badInput(usageError("run", "--press needs a control id"));
      o.presses.push_back(v);
    } else if (name == "--keep") {
      reader.noValue(name, inl);
      o.keep = true;
    } else if (name == "--save-as") {
      o.saveAs = reader.takeValue(name, value, inl);
      if (o.saveAs->empty()) throw badInput(usageError("run", "--save-as needs a path"));
    } else if (name == "--save-type") {
      std::string v = reader.takeValue(name, value, inl);
      long n = 0;
      if (!parseLong(v, &n) || n < 1 || n > 1000) {
        throw badInput(
            usageError("run", "--save-type takes a filter number from 1, not '" + v + "'"));
      }
      o.saveType = static_cast<int>(n);
    } else if (name == "--preset") {
      o.preset = reader.takeValue(name, value, inl);
    } else if (name == "--save-preset") {
      o.savePreset = reader.takeValue(name, value, inl);
    } else if (name == "--out") {
      o.outDir = reader.takeValue(name, value, inl);
      if (o.outDir->empty()) throw badInput(usageError("run", "--out needs a directory"));
    } else if (name == "--auto") {
      reader.noValue(name, inl);
      o.autoConfirm = true;
    } else if (name == "--json") {
      reader.noValue(name, inl);
      o.json = true;
    } else if (name == "--quiet" || name == "-q") {
      reader.noValue(name, inl);
      o.quiet = true;
    } else if (name == "--clipboard-busy") {
      reader.noValue(name, inl);
      o.clipboardBusy = true;
    } else {
      reader.unknown(name);
    }
  }
  if (positional.empty()) throw badInput(usageError("run", "missing PLUGIN and AUDIOFILE"));
  if (positional.size() < 2) throw badInput(usageError("run", "missing AUDIOFILE"));
  o.plugin = positional[0];
  o.audioFiles.assign(positional.begin() + 1, positional.end());
  o.audioFile = o.audioFiles[0];
  // A batch keeps one output folder per file, so it needs the folder they go under.
  if (o.audioFiles.size() > 1 && (o.saveAs || o.savePreset)) {
    throw badInput(usageError("run",
                              "--save-as and --save-preset name one file: they cannot be "
                              "used with several audio files"));
  }
  // Dialogs that confirm themselves end before the person could act on them.
  if (o.autoConfirm && (!o.sets.empty() || !o.presses.empty() || o.keep)) {
    throw badInput(usageError("run",
                              "--auto lets the dialogs confirm themselves: it cannot be "
                              "combined with --set, --press or --keep"));
  }
  return c;
}

Command parseValidate(int argc, const char* const* argv) {
  ArgReader reader("validate", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Validate;
  std::vector<std::string> positional;
  std::string name, value;
  bool inl;
  while (reader.next(&name, &value, &inl)) {
    if (name == "--help" || name == "-h") return helpFor(validateHelp());
    if (name == "--json") {
      reader.noValue(name, inl);
      c.validate.json = true;
    } else if (name == "--iterations" || name == "--seed") {
      std::string v = reader.takeValue(name, value, inl);
      long n = 0;
      if (!parseLong(v, &n) || n < 0 || n > 1000000000L) {
        throw badInput(usageError("validate", name + " takes a whole number, not '" + v + "'"));
      }
      if (name == "--seed")
        c.validate.seed = static_cast<unsigned>(n);
      else
        c.validate.iterations = static_cast<int>(n);
    } else if (name.empty()) {
      positional.push_back(value);
    } else {
      reader.unknown(name);
    }
  }
  if (positional.empty()) throw badInput(usageError("validate", "missing PLUGIN"));
  if (positional.size() > 1) {
    throw badInput(usageError("validate", "unexpected argument '" + positional[1] + "'"));
  }
  c.validate.plugin = positional[0];
  return c;
}

Command parseSummary(int argc, const char* const* argv) {
  ArgReader reader("summary", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Summary;
  std::string name, value;
  bool inl;
  while (reader.next(&name, &value, &inl)) {
    if (name == "--help" || name == "-h") return helpFor(summaryHelp());
    if (name == "--json") {
      reader.noValue(name, inl);
      c.summary.json = true;
    } else if (name.empty()) {
      c.summary.folders.push_back(value);
    } else {
      reader.unknown(name);
    }
  }
  if (c.summary.folders.empty()) throw badInput(usageError("summary", "missing DIR"));
  return c;
}

}  // namespace

Command parseCommandLine(int argc, const char* const* argv) {
  if (argc < 2) throw badInput(usageError("", "missing command"));
  std::string command = argv[1] ? argv[1] : "";
  if (command == "--help" || command == "-h") return helpFor(mainHelp());
  if (command == "help") {
    std::string topic = argc > 2 && argv[2] ? argv[2] : "";
    if (topic == "list") return helpFor(listHelp());
    if (topic == "describe") return helpFor(describeHelp());
    if (topic == "run") return helpFor(runHelp());
    if (topic == "validate") return helpFor(validateHelp());
    if (topic == "summary") return helpFor(summaryHelp());
    if (!topic.empty()) throw badInput(usageError("", "no command '" + topic + "'"));
    return helpFor(mainHelp());
  }
  if (command == "list") return parseList(argc, argv);
  if (command == "describe") return parseDescribe(argc, argv);
  if (command == "run") return parseRun(argc, argv);
  if (command == "validate") return parseValidate(argc, argv);
  if (command == "summary") return parseSummary(argc, argv);
  if (!command.empty() && command[0] == '-')
    throw badInput(usageError("", "unknown option " + command));
  throw badInput(usageError("", "unknown command '" + command + "'"));
}

std::string mainHelp() {
  const std::string separator(1, searchPathSeparator());
  return "Usage: orvane COMMAND [OPTIONS]\n"
         "Loads .xfm transform plug-ins and drives them as the host audio editor would.\n"
         "\n"
         "Commands:\n"
         "  list                  the plug-ins found, with menu name and parameter block size\n"
         "  describe PLUGIN       the controls of a plug-in's settings dialog\n"
         "  run PLUGIN AUDIOFILE...  run a plug-in on audio files and report what it did\n"
         "  validate PLUGIN       check a plug-in as a strict host would\n"
         "  summary DIR...        merge the reports of earlier runs into one summary table\n"
         "\n"
         "Plug-ins are the .xfm files next to the orvane executable and in the directories of\n"
         "ORVANE_PLUGIN_PATH (separated by '" +
         separator +
         "', searched first). PLUGIN is a name such as\n"
         "'levelmeter' or a path to a .xfm file.\n"
         "\n"
         "'orvane COMMAND --help' describes each command.\n"
         "Exit status: 0 done, 1 the host could not write its outputs, 2 bad input or usage\n"
         "(a recording with samples that are no numbers, settings the plug-in refused), 3 the\n"
         "plug-in did not complete its run (its outputs and report are still written).\n";
}

std::string listHelp() {
  return "Usage: orvane list [--json]\n"
         "Lists every plug-in found: file, menu name, description and parameter block size\n"
         "in bytes. Files that fail to load are listed with the reason.\n"
         "\n"
         "  --json   one JSON object on stdout\n";
}

std::string describeHelp() {
  return "Usage: orvane describe PLUGIN [--channels 1|2] [--json]\n"
         "Initialises a fresh parameter block, opens the plug-in's settings dialog, looks at it\n"
         "and cancels it. Prints every control: id, kind, text and state, then the default\n"
         "parameter block field by field.\n"
         "\n"
         "  --channels N   channel count of the instance (default 2: every control is shown)\n"
         "  --json         one JSON object on stdout\n";
}

std::string runHelp() {
  return "Usage: orvane run PLUGIN AUDIOFILE... [OPTIONS]\n"
         "Runs the plug-in on AUDIOFILE (any format libsndfile reads, mono or stereo) as the\n"
         "host audio editor would: QueryXfm, XfmInit, XfmSetup (the settings dialog), XfmDo\n"
         "(the run and its results dialog) and XfmDestroy. A person stands in for the user:\n"
         "in the settings dialog they apply each --set, then press OK; in the results dialog\n"
         "they press each --press, then close it with its close box (or press OK, id 1, with\n"
         "--keep); message boxes are answered with their first button; other dialogs are\n"
         "closed.\n"
         "\n"
         "  --select FIRST:LAST     highlighted frames, inclusive (default: the whole file)\n"
         "  --set CONTROL=VALUE     settings dialog: CONTROL is an id or a control's exact\n"
         "                          text; VALUE is on/off for check boxes and radio buttons,\n"
         "                          the text for edits, an item's text or index for combo boxes\n"
         "  --press ID              results dialog: click the control ID (repeatable)\n"
         "  --keep                  end the results dialog with OK (id 1) instead of closing\n"
         "                          it (levelmeter: \"OK - retain filtered waveform\")\n"
         "  --save-as PATH          answer the save-file dialog with PATH (else it is cancelled)\n"
         "  --save-type N           and choose its N-th file type\n"
         "  --preset FILE           load the parameter block after XfmInit: JSON as\n"
         "                          --save-preset writes it, or raw bytes\n"
         "  --save-preset FILE      write the parameter block after the run: readable JSON\n"
         "                          for a name ending in .json, raw bytes otherwise\n"
         "  --out DIR               keep what the run produced in DIR: report.json,\n"
         "                          waveform.wav (the written-back waveform), display-N.csv,\n"
         "                          the pictures (display-N.png/.svg, dialog-N.png), every\n"
         "                          clipboard transfer (clipboard.txt, clipboard-2.txt, ...;\n"
         "                          clipboard.wav and clipboard-image.wav for a WAVE image)\n"
         "  --auto                  let every dialog confirm itself (no --set/--press/--keep)\n"
         "  --json                  the report as one JSON object on stdout\n"
         "  --quiet                 no progress on stderr\n"
         "  --clipboard-busy        another program holds the clipboard during the run, so\n"
         "                          that the plug-in's clipboard transfers fail\n"
         "\n"
         "\n"
         "With several audio files the same settings run on each (a batch): with --out DIR\n"
         "each file's outputs go into DIR/<file name>/, and DIR/summary.csv holds one row per\n"
         "file with the labelled result fields of the results dialog. Runs made apart (on\n"
         "several cores or machines) merge into the same table: 'orvane summary --help'.\n"
         "\n"
         "Ctrl-C during the run sets the plug-in's cancel flag; a second one ends orvane.\n";
}

std::string validateHelp() {
  return "Usage: orvane validate PLUGIN [--iterations N] [--seed S] [--json]\n"
         "Checks a plug-in as a strict host would and prints one line per check with pass or\n"
         "fail, then the count: the exports and their ordinals, QueryXfm's strings and block\n"
         "layout, every export on a parameter block that cannot be locked, dialogs confirming\n"
         "themselves, every numbered allocation failing in turn, a cancel at every progress\n"
         "call, a busy clipboard, and N random parameter blocks and selections, all under the\n"
         "platform layer's block accounting.\n"
         "\n"
         "  --iterations N   random parameter blocks and selections (default 1000)\n"
         "  --seed S         seed of the random blocks and selections (default 1)\n"
         "  --json           one JSON object on stdout\n"
         "\n"
         "Exit status: 0 every check passed, 1 a check failed, 2 bad input or usage.\n";
}

std::string summaryHelp() {
  return "Usage: orvane summary DIR... [--json]\n"
         "Merges the report.json files of earlier runs, found under the folders given (in the\n"
         "order of their paths), into the summary table a batch run writes: one row per run,\n"
         "one column per labelled result field of the results dialog. The CSV goes to stdout.\n"
         "With GNU parallel a batch spreads over the cores of one machine or over many:\n"
         "\n"
         "  parallel orvane run levelmeter {} --out out/{/.} ::: recordings/*.wav\n"
         "  orvane summary out > summary.csv\n"
         "\n"
         "  --json   the table as one JSON object (columns and rows)\n";
}

}  // namespace orvane

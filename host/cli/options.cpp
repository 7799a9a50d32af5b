#include "host/cli/options.h"

#include "host/cli/help.h"

#include <charconv>
#include <cmath>
#include <functional>

#include "host/errors.h"
#include "host/person/typed_numbers.h"
#include "host/system/system.h"

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

// One option of a command: its name ("--set"), and its value when it is written inline
// ("--set=X"); `takeValue` and `noValue` ask the reader for the value or check there is none.
struct Option {
  ArgReader& reader;
  const std::string& name;
  const std::string& inlineValue;
  bool hasInline;
  std::string takeValue() const { return reader.takeValue(name, inlineValue, hasInline); }
  void noValue() const { reader.noValue(name, hasInline); }
};

// The arguments of a command: --help (or -h) asks for its help (false is returned), positional
// arguments are collected, and every other option goes to `option`, which answers false for
// one the command does not know.
bool readArguments(ArgReader& reader, std::vector<std::string>* positional,
                   const std::function<bool(const Option&)>& option) {
  std::string name, value;
  bool inl;
  while (reader.next(&name, &value, &inl)) {
    if (name == "--help" || name == "-h") return false;
    if (name.empty()) {
      positional->push_back(value);
    } else if (!option(Option{reader, name, value, inl})) {
      reader.unknown(name);
    }
  }
  return true;
}

// Exactly one positional argument, the plug-in.
std::string onlyPlugin(const char* command, const std::vector<std::string>& positional) {
  if (positional.empty()) throw badInput(usageError(command, "missing PLUGIN"));
  if (positional.size() > 1) {
    throw badInput(usageError(command, "unexpected argument '" + positional[1] + "'"));
  }
  return positional[0];
}

Command parseList(int argc, const char* const* argv) {
  ArgReader reader("list", argc, argv, 2);
  Command c;
  c.kind = CommandKind::List;
  std::vector<std::string> positional;
  const bool read = readArguments(reader, &positional, [&](const Option& o) {
    if (o.name != "--json") return false;
    o.noValue();
    c.list.json = true;
    return true;
  });
  if (!read) return helpFor(listHelp());
  if (!positional.empty())
    throw badInput(usageError("list", "unexpected argument '" + positional[0] + "'"));
  return c;
}

Command parseDescribe(int argc, const char* const* argv) {
  ArgReader reader("describe", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Describe;
  std::vector<std::string> positional;
  const bool read = readArguments(reader, &positional, [&](const Option& o) {
    if (o.name == "--json") {
      o.noValue();
      c.describe.json = true;
    } else if (o.name == "--channels") {
      std::string v = o.takeValue();
      if (v != "1" && v != "2") {
        throw badInput(usageError("describe", "--channels takes 1 or 2, not '" + v + "'"));
      }
      c.describe.channels = v == "1" ? 1 : 2;
    } else {
      return false;
    }
    return true;
  });
  if (!read) return helpFor(describeHelp());
  c.describe.plugin = onlyPlugin("describe", positional);
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

ToneCalibration parseCalibrate(const std::string& text) {
  const size_t eq = text.rfind('=');
  const std::string level = eq == std::string::npos ? "" : text.substr(eq + 1);
  if (eq == std::string::npos || eq == 0 || !typedNumberProblem(level, false).empty()) {
    throw badInput(usageError(
        "run", "--calibrate takes TONE=LEVEL, LEVEL a decimal number of dB, not '" + text + "'"));
  }
  return {text.substr(0, eq), level};
}

// One option of `run`; false for one it does not know.
bool runOption(const Option& option, RunOptions* run) {
  RunOptions& o = *run;
  const std::string& name = option.name;
  if (name == "--select") {
    o.select = parseSelection(option.takeValue());
  } else if (name == "--set") {
    o.sets.push_back(parseSet(option.takeValue()));
  } else if (name == "--calibrate") {
    o.calibrate = parseCalibrate(option.takeValue());
  } else if (name == "--press") {
    std::string v = option.takeValue();
    if (v.empty()) throw badInput(usageError("run", "--press needs a control id"));
    o.presses.push_back(v);
  } else if (name == "--keep") {
    option.noValue();
    o.keep = true;
  } else if (name == "--save-as") {
    o.saveAs = option.takeValue();
    if (o.saveAs->empty()) throw badInput(usageError("run", "--save-as needs a path"));
  } else if (name == "--save-type") {
    std::string v = option.takeValue();
    long n = 0;
    if (!parseLong(v, &n) || n < 1 || n > 1000) {
      throw badInput(
          usageError("run", "--save-type takes a filter number from 1, not '" + v + "'"));
    }
    o.saveType = static_cast<int>(n);
  } else if (name == "--preset") {
    o.preset = option.takeValue();
  } else if (name == "--save-preset") {
    o.savePreset = option.takeValue();
  } else if (name == "--out") {
    o.outDir = option.takeValue();
    if (o.outDir->empty()) throw badInput(usageError("run", "--out needs a directory"));
  } else if (name == "--auto") {
    option.noValue();
    o.autoConfirm = true;
  } else if (name == "--json") {
    option.noValue();
    o.json = true;
  } else if (name == "--details") {
    option.noValue();
    o.details = true;
  } else if (name == "--quiet" || name == "-q") {
    option.noValue();
    o.quiet = true;
  } else if (name == "--clipboard-busy") {
    option.noValue();
    o.clipboardBusy = true;
  } else {
    return false;
  }
  return true;
}

Command parseRun(int argc, const char* const* argv) {
  ArgReader reader("run", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Run;
  RunOptions& o = c.run;
  std::vector<std::string> positional;
  if (!readArguments(reader, &positional,
                     [&](const Option& option) { return runOption(option, &o); }))
    return helpFor(runHelp());
  if (positional.empty()) throw badInput(usageError("run", "missing PLUGIN and AUDIOFILE"));
  if (positional.size() < 2) throw badInput(usageError("run", "missing AUDIOFILE"));
  o.plugin = positional[0];
  o.audioFiles.assign(positional.begin() + 1, positional.end());
  o.audioFile = o.audioFiles[0];
  // A batch writes its outputs per file: one file named by --save-as or --save-preset cannot
  // take them all.
  if (o.audioFiles.size() > 1 && (o.saveAs || o.savePreset)) {
    throw badInput(usageError("run",
                              "--save-as and --save-preset name one file: they cannot be "
                              "used with several audio files"));
  }
  // Dialogs that confirm themselves end before the person could act on them.
  if (o.autoConfirm && (!o.sets.empty() || !o.presses.empty() || o.keep || o.calibrate)) {
    throw badInput(usageError("run",
                              "--auto lets the dialogs confirm themselves: it cannot be "
                              "combined with --set, --press, --keep or --calibrate"));
  }
  return c;
}

Command parseValidate(int argc, const char* const* argv) {
  ArgReader reader("validate", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Validate;
  std::vector<std::string> positional;
  const bool read = readArguments(reader, &positional, [&](const Option& o) {
    if (o.name == "--json") {
      o.noValue();
      c.validate.json = true;
    } else if (o.name == "--iterations" || o.name == "--seed") {
      std::string v = o.takeValue();
      long n = 0;
      if (!parseLong(v, &n) || n < 0 || n > 1000000000L) {
        throw badInput(usageError("validate", o.name + " takes a whole number, not '" + v + "'"));
      }
      if (o.name == "--seed")
        c.validate.seed = static_cast<unsigned>(n);
      else
        c.validate.iterations = static_cast<int>(n);
    } else {
      return false;
    }
    return true;
  });
  if (!read) return helpFor(validateHelp());
  c.validate.plugin = onlyPlugin("validate", positional);
  return c;
}

Command parseSummary(int argc, const char* const* argv) {
  ArgReader reader("summary", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Summary;
  const bool read = readArguments(reader, &c.summary.folders, [&](const Option& o) {
    if (o.name == "--joblog") {
      c.summary.joblog = o.takeValue();
      return true;
    }
    if (o.name != "--json") return false;
    o.noValue();
    c.summary.json = true;
    return true;
  });
  if (!read) return helpFor(summaryHelp());
  if (c.summary.folders.empty()) throw badInput(usageError("summary", "missing DIR"));
  return c;
}

bool parseNumber(const std::string& text, double* out) {
  if (text.empty()) return false;
  try {
    std::size_t used = 0;
    *out = std::stod(text, &used);
    return used == text.size() && std::isfinite(*out);
  } catch (const std::exception&) {
    return false;
  }
}

// --band LO:HI, Hz, 0 < LO < HI.
void parseBand(const char* command, const std::string& v, std::optional<double>* low,
               std::optional<double>* high) {
  const std::size_t colon = v.find(':');
  double lo = 0, hi = 0;
  if (colon == std::string::npos || !parseNumber(v.substr(0, colon), &lo) ||
      !parseNumber(v.substr(colon + 1), &hi) || lo <= 0 || hi <= lo) {
    throw badInput(usageError(command, "--band takes LO:HI in Hz, 0 < LO < HI, not '" + v + "'"));
  }
  *low = lo;
  *high = hi;
}

Command parseAssess(int argc, const char* const* argv) {
  ArgReader reader("assess", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Assess;
  AssessOptions& a = c.assess;
  std::vector<std::string> positional;
  const bool read = readArguments(reader, &positional, [&](const Option& o) {
    if (o.name == "--json") {
      o.noValue();
      a.json = true;
    } else if (o.name == "--mode") {
      a.mode = o.takeValue();
      if (a.mode != "mono" && a.mode != "dual" && a.mode != "stereo" && a.mode != "2x2") {
        throw badInput(
            usageError("assess", "--mode takes mono, dual, stereo or 2x2, not '" + a.mode + "'"));
      }
    } else if (o.name == "--band") {
      parseBand("assess", o.takeValue(), &a.bandLowHz, &a.bandHighHz);
    } else if (o.name == "--beta") {
      const std::string v = o.takeValue();
      double beta = 0;
      if (!parseNumber(v, &beta) || beta <= 0) {
        throw badInput(usageError("assess", "--beta takes a number above 0, not '" + v + "'"));
      }
      a.beta = beta;
    } else if (o.name == "--out") {
      a.outDir = o.takeValue();
      if (a.outDir->empty()) throw badInput(usageError("assess", "--out needs a directory"));
    } else {
      return false;
    }
    return true;
  });
  if (!read) return helpFor(assessHelp());
  if (positional.size() < 2) throw badInput(usageError("assess", "missing RESPONSE and FILTER"));
  a.responses.assign(positional.begin(), positional.end() - 1);
  a.filter = positional.back();
  return c;
}

Command parseImpulse(int argc, const char* const* argv) {
  ArgReader reader("impulse", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Impulse;
  ImpulseOptions& m = c.impulse;
  const bool read = readArguments(reader, &m.recordings, [&](const Option& o) {
    if (o.name == "--json") {
      o.noValue();
      m.json = true;
    } else if (o.name == "--band") {
      parseBand("impulse", o.takeValue(), &m.bandLowHz, &m.bandHighHz);
    } else if (o.name == "--out") {
      m.outDir = o.takeValue();
      if (m.outDir->empty()) throw badInput(usageError("impulse", "--out needs a directory"));
    } else {
      return false;
    }
    return true;
  });
  if (!read) return helpFor(impulseHelp());
  if (m.recordings.empty()) throw badInput(usageError("impulse", "missing RECORDING"));
  if (m.recordings.size() > 2) {
    throw badInput(usageError("impulse", "unexpected argument '" + m.recordings[2] +
                                             "': one stereo RECORDING, or EXCITATION RESPONSE"));
  }
  return c;
}

Command parseRoom(int argc, const char* const* argv) {
  ArgReader reader("room", argc, argv, 2);
  Command c;
  c.kind = CommandKind::Room;
  RoomOptions& r = c.room;
  const bool read = readArguments(reader, &r.impulses, [&](const Option& o) {
    if (o.name == "--json") {
      o.noValue();
      r.json = true;
    } else if (o.name == "--out") {
      r.outDir = o.takeValue();
      if (r.outDir->empty()) throw badInput(usageError("room", "--out needs a directory"));
    } else {
      return false;
    }
    return true;
  });
  if (!read) return helpFor(roomHelp());
  if (r.impulses.empty()) throw badInput(usageError("room", "missing IMPULSE"));
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
    if (topic == "assess") return helpFor(assessHelp());
    if (topic == "impulse") return helpFor(impulseHelp());
    if (topic == "room") return helpFor(roomHelp());
    if (!topic.empty()) throw badInput(usageError("", "no command '" + topic + "'"));
    return helpFor(mainHelp());
  }
  if (command == "list") return parseList(argc, argv);
  if (command == "describe") return parseDescribe(argc, argv);
  if (command == "run") return parseRun(argc, argv);
  if (command == "validate") return parseValidate(argc, argv);
  if (command == "summary") return parseSummary(argc, argv);
  if (command == "assess") return parseAssess(argc, argv);
  if (command == "impulse") return parseImpulse(argc, argv);
  if (command == "room") return parseRoom(argc, argv);
  if (!command.empty() && command[0] == '-')
    throw badInput(usageError("", "unknown option " + command));
  throw badInput(usageError("", "unknown command '" + command + "'"));
}

}  // namespace orvane

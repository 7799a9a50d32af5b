// The command line of `orvane`: its commands (list, describe, run, validate, summary, assess,
// impulse, room), each with --help.
// Parsing only checks the form of the arguments; whether files, plug-ins and controls exist
// is found out by the commands.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvane {

// One --set CONTROL=VALUE: CONTROL is a control id or a control's exact text.
struct SetAction {
  std::string control;
  std::string value;
  std::string spelled;  // "CONTROL=VALUE" as typed, for messages
};

// --calibrate TONE=LEVEL: a recording of a calibrator and its level.
struct ToneCalibration {
  std::string tone;   // the tone's audio file
  std::string level;  // dB, a decimal number as typed
};

// Frames, inclusive, counted from 0 at the start of the audio file.
struct Selection {
  long first;
  long last;
};

struct ListOptions {
  bool json = false;
};

struct DescribeOptions {
  std::string plugin;  // a name ("levelmeter") or a path to a .xfm file
  int channels = 2;    // 2 shows every control of a settings dialog
  bool json = false;
};

struct RunOptions {
  std::string plugin;
  std::string audioFile;                // the first (or only) audio file
  std::vector<std::string> audioFiles;  // every audio file, in order: more than one is a batch
  std::optional<Selection> select;      // default: the whole file
  std::vector<SetAction> sets;          // settings dialog, in order
  std::vector<std::string> presses;     // results dialog, in order: ids (or exact texts)
  bool keep = false;                    // end the results dialog with id 1, not its close box
  std::optional<std::string> saveAs;
  std::optional<int> saveType;  // 1-based filter index for the save dialog
  std::optional<std::string> preset;
  std::optional<std::string> savePreset;
  std::optional<std::string> outDir;
  bool autoConfirm = false;  // autoPreset 0, autoShowDialogs 0: dialogs confirm themselves
  bool json = false;
  bool details = false;        // the text report goes on with the calls, dialogs and block
  bool quiet = false;          // no progress on stderr
  bool clipboardBusy = false;  // another program holds the clipboard for the whole run
  std::optional<ToneCalibration> calibrate;
};

struct ValidateOptions {
  std::string plugin;
  int iterations = 1000;  // random parameter blocks and selections
  unsigned seed = 1;      // of the random blocks and selections, so a failure can be repeated
  bool json = false;
};

struct SummaryOptions {
  std::vector<std::string> folders;   // searched for report.json files of earlier runs
  std::optional<std::string> joblog;  // GNU parallel's --joblog of those runs
  bool json = false;
};

struct AssessOptions {
  std::vector<std::string> responses;  // the measured impulse responses, one per position
  std::string filter;                  // the inverse filter
  std::string mode;                    // "mono", "dual", "stereo", "2x2"; empty: by the filter
  std::optional<double> bandLowHz;     // --band LO:HI, Hz
  std::optional<double> bandHighHz;
  std::optional<double> beta;  // --beta: the design's in-band regularisation
  bool json = false;
  std::optional<std::string> outDir;  // --out: assessment.json and the pictures
};

struct ImpulseOptions {
  // One stereo recording (the excitation on the left, the response on the right), or two mono
  // files: the excitation, then the response.
  std::vector<std::string> recordings;
  std::optional<double> bandLowHz;  // --band LO:HI, Hz
  std::optional<double> bandHighHz;
  bool json = false;
  std::optional<std::string> outDir;  // --out: impulse.wav, impulse.json and the pictures
};

struct RoomOptions {
  std::vector<std::string> impulses;  // mono impulse responses; several make a table
  bool json = false;
  std::optional<std::string> outDir;  // --out: room.json and the pictures (summary.csv)
};

enum class CommandKind { Help, List, Describe, Run, Validate, Summary, Assess, Impulse, Room };

struct Command {
  CommandKind kind = CommandKind::Help;
  std::string helpText;  // for CommandKind::Help: what to print on stdout
  ListOptions list;
  DescribeOptions describe;
  RunOptions run;
  ValidateOptions validate;
  SummaryOptions summary;
  AssessOptions assess;
  ImpulseOptions impulse;
  RoomOptions room;
};

// argv[0] is the program name. Throws HostError (kExitBadInput) for unknown options, missing
// or malformed arguments.
Command parseCommandLine(int argc, const char* const* argv);

}  // namespace orvane

// orvanehost: the replacement host of the Orvane plug-ins, as a library under the `orvane`
// command. It loads ".xfm" plug-ins and drives them through the host transform interface as
// the host audio editor would, with a scripted person answering their dialogs.
//
// What it offers, piece by piece (each header says more, with units and ownership):
//   plugin.h       finding plug-ins (ORVANE_PLUGIN_PATH, then next to the executable),
//                  loading one (Plugin owns the module), export checks, QueryXfm's answers
//   audio.h        Audio: a waveform read with libsndfile as floats at 16-bit scale; the
//                  written-back waveform saved as 32-bit float WAVE
//   session.h      Session: one instance's parameter block (GlobalAlloc, host-owned),
//                  transform instance record, host window, and what each export returned;
//                  the record's callbacks (callbacks.cpp) serve the current session
//   progress.h     ProgressMeter: progressBegin/progress/progressText/progressEnd on stderr
//   interrupt.h    Ctrl-C sets the run's cancel flag
//   display.h      DisplayBoard: the display control (class "OrvaneDisplay"), DISPLAY_SET,
//                  curves sampled per pixel column when the dialog ends
//   person.h       Person: the scripted user (settings, presses, message boxes, save
//                  dialog, help, beeps) and everything they saw
//   block_decode.h the parameter block field by field from paramTypes
//   preset.h       raw-byte presets
//   report.h       the reports as JSON and as text
//   options.h      the command line; commands.h the commands and orvaneMain
//   system.h       what differs between systems (executable directory, terminal, the
//                  platform layer's inspection calls)
//
// Everything runs on one thread, the thread that calls the commands; one Session at a time.
#pragma once

#include "host/audio.h"
#include "host/block_decode.h"
#include "host/commands.h"
#include "host/display.h"
#include "host/errors.h"
#include "host/interrupt.h"
#include "host/json.h"
#include "host/options.h"
#include "host/output_files.h"
#include "host/person.h"
#include "host/plugin.h"
#include "host/preset.h"
#include "host/progress.h"
#include "host/report.h"
#include "host/session.h"
#include "host/system.h"

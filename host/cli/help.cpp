// The help texts of `orvane` and its commands.
#include <string>

#include "host/assess/assessment.h"
#include "host/assess/assessment_rules.h"
#include "host/cli/help.h"
#include "host/room/room_rules.h"
#include "host/system/system.h"

namespace orvane {

namespace {

// The assessment's thresholds as its help states them.
std::string ms(double v) { return fixedText(v, 0) + " ms"; }
std::string db(double v) { return fixedText(v, 0) + " dB"; }

}  // namespace

std::string mainHelp() {
  const std::string separator(1, searchPathSeparator());
  return "Usage: orvane COMMAND [OPTIONS]\n"
         "Loads .xfm transform plug-ins and drives them as the host audio editor would.\n"
         "\n"
         "Commands:\n"
         "  list                  the plug-ins found, with menu name and parameter block size\n"
         "  describe PLUGIN       a plug-in's dialogs, their controls, and its results\n"
         "  run PLUGIN AUDIOFILE...  run a plug-in on audio files and report what it did\n"
         "  validate PLUGIN       check a plug-in as a strict host would\n"
         "  summary DIR...        merge the reports of earlier runs into one summary table\n"
         "  assess RESPONSE... FILTER  judge an inverse filter against measured responses\n"
         "  impulse RECORDING     the impulse response of a sweep or noise measurement\n"
         "  room IMPULSE...       the room's parameters (ISO 3382-1) of impulse responses\n"
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
         "plug-in did not complete its run (its report is still printed; --out is left as it "
         "was).\n";
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
         "and cancels it, then looks at its results dialog as the template stands. Prints every\n"
         "control of both: id, kind, text, the option of 'orvane run' that acts on it (--set,\n"
         "--press) and state; then the results a run reports, by name, unit and channel, and\n"
         "the default parameter block field by field.\n"
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
         "closed. The report opens with the results as a table, one column per channel, the\n"
         "units in the rows' labels; 'orvane describe PLUGIN' lists the results, the controls\n"
         "--set and --press act on, and their ids.\n"
         "\n"
         "  --select FIRST:LAST     highlighted frames, inclusive (default: the whole file)\n"
         "  --set CONTROL=VALUE     settings dialog: CONTROL is an id or a control's exact\n"
         "                          text; VALUE is on/off for check boxes and radio buttons,\n"
         "                          the text for edits, an item's text or index for combo boxes;\n"
         "                          an edit that holds a number takes only a whole decimal\n"
         "                          number (94.5, -3, 1e-3), never \"abc\", \"94,5\" or \"nan\"\n"
         "  --calibrate TONE=LEVEL  a meter (levelmeter) calibrated from TONE, a steady\n"
         "                          calibrator tone of LEVEL dB: measured unweighted in Leq\n"
         "                          mode, its full scale per channel then measures AUDIOFILE\n"
         "                          in Full Scale mode\n"
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
         "                          clipboard.wav and clipboard-image.wav for a WAVE image,\n"
         "                          with its picture, clipboard.png).\n"
         "                          They are added to DIR as one set when the run\n"
         "                          completes, in place of the earlier run's set; every\n"
         "                          other file in DIR is left as it is\n"
         "  --auto                  let every dialog confirm itself (no --set/--press/--keep)\n"
         "  --json                  the report as one JSON object on stdout\n"
         "  --details               the text report goes on with the calls, the dialogs as\n"
         "                          they ended and the parameter block (report.json always\n"
         "                          holds them)\n"
         "  --quiet                 no progress on stderr\n"
         "  --clipboard-busy        another program holds the clipboard during the run, so\n"
         "                          that the plug-in's clipboard transfers fail\n"
         "\n"
         "\n"
         "With several audio files the same settings run on each (a batch): with --out DIR\n"
         "each file's outputs go into DIR/<file name>/, and DIR/summary.csv holds one row per\n"
         "file, in the order of their paths, and one column per result of the plug-in, its\n"
         "unit in its header (\"Leq Left (dB)\", \"Time of flight (ms)\"). A file that fails\n"
         "gets a row that says why under \"error\"; the others run.\n"
         "Runs made apart (on several cores or machines) merge into the same table:\n"
         "'orvane summary --help'.\n"
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
  return "Usage: orvane summary DIR... [--joblog FILE] [--json]\n"
         "Merges the report.json files of earlier runs, found under the folders given (in the\n"
         "order of their paths), into the summary table a batch run writes: one row per run,\n"
         "one column per result of the plug-in, its unit in its header. The CSV goes to stdout.\n"
         "A report that is missing or cannot be read whole is named on stderr, the others\n"
         "are tabled, and the exit status is 1. With GNU parallel a batch spreads over the\n"
         "cores of one machine or over many ({#} gives every input a folder of its own):\n"
         "\n"
         "  parallel --joblog jobs.log orvane run levelmeter {} --out out/{#}-{/.} \\\n"
         "    ::: recordings/*.wav\n"
         "  orvane summary out --joblog jobs.log > summary.csv\n"
         "\n"
         "  --joblog FILE  parallel's job log: each job that failed or was killed gets a row\n"
         "                 that says so, and the exit status is 1\n"
         "  --json         the table as one JSON object (columns and rows)\n";
}

std::string assessHelp() {
  return "Usage: orvane assess RESPONSE... FILTER [--mode mono|dual|stereo|2x2]\n"
         "                     [--band LO:HI] [--beta B] [--json] [--out DIR]\n"
         "Judges an inverse filter (as inversefilter designs it, 'clipboard.wav' of its --out)\n"
         "against the measured impulse response it is meant for; both are audio files of one\n"
         "sample rate, read at full scale 1. The layouts are inversefilter's:\n"
         "  mono    a mono filter, a mono response\n"
         "  dual    a filter per channel (left, right), a stereo response (default for a\n"
         "          stereo filter)\n"
         "  stereo  a cross-talk network LL, LR of a symmetric set-up; the response is the left\n"
         "          loudspeaker's at the left and right ears\n"
         "  2x2     LL, LR then RL, RR (2 x L frames); the response holds the left\n"
         "          loudspeaker's stereo response, then the right one's\n"
         "The filter delays by half its length L. Each channel (each ear for stereo and 2x2,\n"
         "the path from the input meant for it) is convolved with its filter over a transform\n"
         "holding the whole result (the plug-ins' FFT; a power of two, at least a second\n"
         "long, so bins lie at most 1 Hz apart), and judged; at an ear, 'before' and\n"
         "the response's own peak are those of the direct loudspeaker's path:\n"
         "  flatness     band levels in the IEC 61260-1 base-ten third-octave bands lying\n"
         "               wholly inside the pass band; a band's level is the mean of |Y(f)|^2\n"
         "               over the transform's bins in the band, in dB, so a flat response\n"
         "               reads flat; max and RMS deviation from the mean of the band levels,\n"
         "               before (the response alone) and after (response * filter)\n"
         "  timing       the main peak's offset from the response's own main peak plus the\n"
         "               filter's (ms), and the share of the energy within +-" +
         ms(kMainWindowMs) +
         " of it\n"
         "  pre-ringing  the energy arriving more than " +
         ms(kMainWindowMs) +
         " before the peak, dB of the total\n"
         "               (null in JSON when there is none); the largest pre-echo, dB below the\n"
         "               peak, and how early it comes (ms)\n"
         "  octaves      pre-echo per octave (" +
         fixedText(kFirstOctaveHz, 0) + " Hz up): the largest energy in " + ms(kEnergyWindowMs) +
         "\n"
         "               windows more than " +
         ms(kPreEchoGapMs) +
         " before the octave's main arrival, dB re\n"
         "               that arrival's window\n"
         "  regularised  the share of the pass band's bins where |H|^2 (networks: |det H|^2)\n"
         "               lies below " +
         fixedText(kDominatedRatio, 0) +
         " times B\n"
         "  gain         the filter's largest gain over 0 ... fs/2 (" +
         std::to_string(kGainOversampling) +
         "x oversampled; networks:\n"
         "               the largest singular value), each loudspeaker feed's, and at the\n"
         "               band edges; the filter's level at its ends, dB re its peak\n"
         "  separation   stereo and 2x2: per band, the wanted path's level over the other\n"
         "               input's at that ear, dB: min and median\n"
         "Warnings name the channel: a peak moved by more than " +
         ms(kPeakMoveMs) +
         ", an\n"
         "equalised response less flat than before, a pre-echo within " +
         db(kPreEchoWithinDb) +
         " of the peak,\n"
         "an octave's pre-echo within " +
         db(kOctavePreEchoWithinDb) + ", a median separation under " + db(kSeparationDb) +
         ", more than\n" + fixedText(100 * kDominatedShare, 0) +
         " % of the pass band's bins below " + fixedText(kDominatedRatio, 0) +
         " times B, and a filter whose\n"
         "ends lie above " +
         db(kTruncatedAboveDb) +
         " (truncated).\n"
         "\n"
         "Several RESPONSEs are positions (seats) of one layout, each judged alike: the JSON\n"
         "holds 'positions' (each its 'response' and 'channels') in place of 'channels', and\n"
         "'position_spread_db', per channel and band the spread of the levels after, each re\n"
         "its position's mean over the bands (max - min over the positions); warnings name the\n"
         "position; the band pictures overlay the positions' levels after, the other\n"
         "pictures are the first position's.\n"
         "\n"
         "  --mode M     the filter's layout (default: mono for a mono filter, dual for a\n"
         "               stereo one; 2x2 must be asked for)\n"
         "  --band LO:HI the pass band in Hz (default: the design's, from FILTER's record\n"
         "               <name>.design.json that a run leaves beside it; else from the lowest\n"
         "               to the highest third-octave band, 20 Hz ... 20 kHz, within 30 dB of\n"
         "               the response's loudest band whose equalised level lies within 1 dB of\n"
         "               its in-band median; for two channels their common part)\n"
         "  --beta B     the design's in-band regularisation (default: the record's, else\n"
         "               0.001)\n"
         "  --json       one JSON object: {\"assessment\": {band_hz, channels, filter_gain_db,\n"
         "               warnings}}\n"
         "  --out DIR    also writes assessment.json (as --json prints it) and, on Linux,\n"
         "               pictures (PNG and SVG) into DIR (new, empty or an earlier one's), made "
         "whole\n"
         "               or not at all (refused input leaves no DIR):\n"
         "                 assessment-bands      band levels before (grey) and after (red),\n"
         "                                       the pass band's edges marked (green)\n"
         "                 assessment-time       the equalised level around the peak, dB re\n"
         "                                       the peak over ms, -1 ms marked\n"
         "                 assessment-whole      the whole equalised response, dB re its\n"
         "                                       peak, the worst octave's pre-echo marked\n"
         "                 assessment-filter     the filter's gain over frequency, its largest\n"
         "                                       gain marked and noted\n"
         "                 assessment-separation stereo and 2x2: the separation per band\n"
         "               with '-2' for a second channel (ear; 2x2 filter: RL, RR)\n";
}

std::string impulseHelp() {
  return "Usage: orvane impulse RECORDING [--band LO:HI] [--json] [--out DIR]\n"
         "       orvane impulse EXCITATION RESPONSE [--band LO:HI] [--json] [--out DIR]\n"
         "The impulse response of a measurement: RECORDING is stereo, the excitation as it was\n"
         "played on the left and the system's response as recorded on the right (or two mono\n"
         "files of one length and sample rate), read at full scale 1. The response is\n"
         "deconvolved over the whole recording by spectral division, both zero-padded to at\n"
         "least twice the length so that nothing wraps around, and limited to the\n"
         "excitation's band: where its power (smoothed over " +
         fixedText(kBandSmoothingOctaves * 3, 0) + "/3 octave) lies within " +
         db(kExcitationBandDb) +
         "\n"
         "of its largest, fading out over " +
         fixedText(kBandTransitionOctaves * 3, 0) +
         "/3 octave beyond, the division regularised by\n" + db(kInBandRegularisationDb) +
         " re that largest power inside the band, " + db(kOutBandRegularisationDb) +
         " outside. A rising sweep's\n"
         "harmonics land before time zero and are cut away; noise and MLS work alike.\n"
         "\n"
         "  time_of_flight_ms  the direct sound: the largest |h| within " +
         ms(kDirectSoundWindowMs) +
         " of where the response\n"
         "                     first rises to within " +
         db(kOnsetBelowPeakDb) +
         " of its peak\n"
         "  band_hz            the band the response is limited to\n"
         "  peak_to_noise_db   the peak over the mean square of the response's last tenth\n"
         "  distortion_db      a rising sweep's harmonics: the energy before time zero (but\n"
         "                     the " +
         ms(kAcausalGuardMs) +
         " next to it), less the noise's share, re the linear response;\n"
         "                     null for other excitations or harmonics not " +
         db(kDistortionAboveNoiseDb) +
         " above the\n"
         "                     noise\n"
         "\n"
         "  --band LO:HI  the band in Hz instead of the excitation's\n"
         "  --json        one JSON object: {\"impulse\": {time_of_flight_ms, band_hz,\n"
         "                peak_to_noise_db, distortion_db, excitation, ...}}\n"
         "  --out DIR     also writes impulse.wav (32-bit float, the system's own gain, time\n"
         "                zero at the excitation's start, over the lags the recording holds\n"
         "                whole: its length less the excitation's last sound, or all of it\n"
         "                when the excitation sounds into its last tenth), impulse.json and,\n"
         "                on Linux, the pictures impulse-time (dB over ms) and\n"
         "                impulse-frequency (dB over Hz), PNG and SVG, made whole or not at\n"
         "                all\n"
         "Refused (exit status 2, nothing written): a mono RECORDING, a silent excitation, an\n"
         "excitation and response of different lengths or rates, a sample that is no number.\n";
}

std::string roomHelp() {
  return "Usage: orvane room IMPULSE... [--json] [--out DIR]\n"
         "The parameters of ISO 3382-1 of a mono impulse response (orvane impulse's\n"
         "impulse.wav, say) per octave band, 63 Hz ... 8 kHz (IEC 61260-1 base-ten bands,\n"
         "order-3 Butterworth band-passes), and for the whole response (broadband):\n"
         "  EDT, T20, T30  decay times, s, from least-squares lines through the decay curve\n"
         "                 over 0 ... -10, -5 ... -25 and -5 ... -35 dB, with their\n"
         "                 correlation coefficients (edt_r, t20_r, t30_r)\n"
         "  C50, C80       early (before 50 / 80 ms) over late energy, dB; D50 early over all\n"
         "  Ts             the centre time, ms\n"
         "Time zero is where the band's response first rises to within " +
         db(kOnsetBelowPeakDb) +
         " of its peak.\n"
         "The decay curve is the backward integral from where the decay meets the noise\n"
         "(Lundeby's iteration), with the energy past that point added back as the late\n"
         "decay's exponential. A decay time needs the curve to fall " +
         db(kNoiseMarginDb) +
         " below its range\n"
         "before the noise (EDT 20, T20 35, T30 45 dB): else it is null, and the band's notes\n"
         "say why.\n"
         "\n"
         "  --json     one JSON object: {\"room\": {\"bands\": [{hz, edt_s, t20_s, t30_s, c50_db,\n"
         "             c80_db, d50, ts_ms, notes, ...}], \"broadband\": {...}}}; several\n"
         "             IMPULSEs: {\"rooms\": [...], \"summary\": the table}\n"
         "  --out DIR  also writes room.json and, on Linux, the pictures room-decay-<hz> and\n"
         "             room-decay-broadband (the decay curve, the band's energy and the fitted\n"
         "             lines), PNG and SVG; several IMPULSEs: each into DIR/<name>/, and\n"
         "             DIR/summary.csv, a row per file\n"
         "Several IMPULSEs make a table, a row per file (the CSV on stdout without --json).\n"
         "Refused (exit status 2): a file that is not mono, silent, or holds a sample that is\n"
         "no number.\n";
}

}  // namespace orvane

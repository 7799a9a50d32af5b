// The table of spectral values that "Spectral Values" copies to the clipboard.
#include "crossanalyser/curve_values.h"
#include "crossanalyser/spectral_export.h"
#include "crossanalyser/transform_types.h"
#include "frame/number_text.h"
#include "frame/progress.h"

#include <math.h>

namespace {

// -(180/pi): the phase in degrees with its sign inverted, as the display shows it.
const double kPhaseToDegrees = -57.29577951308232;

enum Column { kGll, kGrr, kReGlr, kImGlr, kMag, kPhase, kReal, kImag, kAlpha, kCoherence };

const char* const kColumnNames[] = {"GLL",   "GRR",  "Re[GLR]", "Im[GLR]", "Mag",
                                    "Phase", "Real", "Imag",    "Alpha",   "Coherence"};

struct Columns {
  Column list[4];
  int count;
};

// The first curve's column and the second curve's; the raw cross-spectrum when neither curve
// shows anything.
Columns columnsOf(const AnalyserParams* p) {
  static const Column first[] = {kGll, kGll, kMag, kReal, kAlpha};
  static const Column second[] = {kGrr, kGrr, kPhase, kImag, kCoherence};
  Columns c = {{}, 0};
  const bool firstShown = p->LeftCurve >= 1 && p->LeftCurve <= 4;
  const bool secondShown = p->RightCurve >= 1 && p->RightCurve <= 4;
  if (!firstShown && !secondShown) return {{kGll, kGrr, kReGlr, kImGlr}, 4};
  if (firstShown) c.list[c.count++] = first[p->LeftCurve];
  if (secondShown) c.list[c.count++] = second[p->RightCurve];
  return c;
}

double valueOf(Column column, const RunSpectra& s, long r, double frequency) {
  const bool edge = r == 0 || r == s.n / 2;
  switch (column) {
    case kGll:
      return RealAt(s.gll, s.n, r);
    case kGrr:
      return RealAt(s.grr, s.n, r);
    case kReGlr:
      return RealAt(s.glr, s.n, r);
    case kImGlr:
      return ImagAt(s.glr, s.n, r);
    case kMag:
    case kReal:
      return RealAt(s.result, s.n, r);
    case kPhase:
      if (edge) return 0.0;
      return kPhaseToDegrees *
             atan2((double)ImagAt(s.result, s.n, r), (double)RealAt(s.result, s.n, r));
    case kImag:
      return ImagAt(s.result, s.n, r);
    case kAlpha:
      if (frequency < 24.0 || r > 0.390625 * s.n) return 0.0;
      return AbsorptionAt(s, r);
    case kCoherence:
      return edge ? 0.0 : RealAt(s.second, s.n, r);
  }
  return 0.0;
}

// The last row: N/2, or the bin of 2 kHz, never beyond N/2 (a rate below 4 kHz has no 2 kHz).
long lastRow(long n, long sampleRate, bool limitTo2k) {
  if (!limitTo2k || sampleRate <= 0) return n / 2;
  const double bin = trunc((double)n * 2000.0 / sampleRate);
  return bin < (double)(n / 2) ? (long)bin : n / 2;
}

}  // namespace

long WriteSpectralValues(TextBuffer* out, const AnalyserParams* p, const XFMINSTANCE* instance,
                         bool limitTo2k) {
  // Without the run's spectra (their blocks gone) the table has its header and no rows.
  RunSpectra s;
  const bool there = LockRunSpectra(p, &s);
  const long fs = p->SampleRate;
  const Columns columns = columnsOf(p);
  appendText(out, "Orvane - Cross Functions 4.1 - Spectral Values\t%s\r\nFreq.[Hz]",
             ExportTransformTypeText(p->ProcessingFunction));
  for (int c = 0; c < columns.count; ++c) appendText(out, "\t%s", kColumnNames[columns.list[c]]);
  appendText(out, "\r\n");

  progressBegin(instance, "Exporting spectral values to clipboard...");
  const long last = there ? lastRow(s.n, fs, limitTo2k) : -1;
  long rows = 0;
  for (long r = 0; r <= last; ++r) {
    if (!progressStepGoesOn(instance, (int)r, (int)last)) break;
    const double frequency = (double)fs * r / s.n;
    char number[40];
    formatGeneral(number, sizeof number, frequency, 10);
    appendText(out, "%s", number);
    for (int c = 0; c < columns.count; ++c) {
      formatGeneral(number, sizeof number, valueOf(columns.list[c], s, r, frequency), 12);
      appendText(out, "\t%s", number);
    }
    appendText(out, "\r\n");
    ++rows;
  }
  progressEnd(instance);
  UnlockRunSpectra(p, &s);
  appendText(out, "\r\n");
  return rows;
}

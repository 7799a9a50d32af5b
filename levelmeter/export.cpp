// "Export to File...": the results table ("Parameter Files") or the time histories
// ("Time History") as a text file the person chooses.
#include "frame/progress.h"
#include "frame/text_buffer.h"
#include "levelmeter/blocks.h"
#include "levelmeter/results_dialog.h"
#include "levelmeter/results_text.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kFilter[] = "Parameter Files (*.txt)\0*.txt\0Time History (*.txt)\0*.txt\0";
const DWORD kParameterFiles = 1;
const char kAccessCaption[] = "File Access Error";

// An open export file; a failed write is remembered and nothing more is written.
struct ExportFile {
  HANDLE handle;
  bool failed;
};

void writeText(ExportFile* file, const char* text, size_t length) {
  if (file->failed) return;
  DWORD written = 0;
  if (!WriteFile(file->handle, text, (DWORD)length, &written, nullptr) || written != length)
    file->failed = true;
}

// Remembers the person's choice for the next export: the full path, its file name, and the
// folder up to and including the last separator.
void rememberChoice(MeterParams* p, const char* path) {
  snprintf(p->exportPath, sizeof p->exportPath, "%s", path);
  const char* slash = strrchr(path, '\\');
  const char* other = strrchr(path, '/');
  if (other != nullptr && (slash == nullptr || other > slash)) slash = other;
  size_t folder = slash != nullptr ? (size_t)(slash - path) + 1 : 0;
  snprintf(p->exportFileName, sizeof p->exportFileName, "%s", path + folder);
  if (folder >= sizeof p->exportDirectory) folder = sizeof p->exportDirectory - 1;
  memcpy(p->exportDirectory, path, folder);
  p->exportDirectory[folder] = '\0';
}

void writeResultsTable(ExportFile* file, const XFMINSTANCE* instance, const MeterParams* p) {
  char text[2 * 2000];
  resultsText(text, sizeof text, p);
  size_t length = strlen(text);
  // The file ends with the last row, without its line end.
  if (length >= 2 && text[length - 2] == '\r' && text[length - 1] == '\n') length -= 2;
  writeText(file, text, length);
}

// The run's histories, locked for one export: [0] left or only, [1] right, in MeterHistory
// order; null where the block names none or its block is gone.
struct Histories {
  void* h[2][kHistoryKinds];
};

void lockHistories(const MeterParams* p, Histories* out) {
  lockBlockBuffers(p->leftHistories, kHistoryKinds, out->h[0]);
  lockBlockBuffers(p->rightHistories, kHistoryKinds, out->h[1]);
}

void unlockHistories(const MeterParams* p, const Histories* locked) {
  unlockBlockBuffers(p->leftHistories, kHistoryKinds, locked->h[0]);
  unlockBlockBuffers(p->rightHistories, kHistoryKinds, locked->h[1]);
}

// Whether the histories an export writes are all there: the left ones, and the right ones
// after a stereo run.
bool complete(const Histories* h, bool stereo) {
  for (int c = 0; c < (stereo ? 2 : 1); ++c)
    for (int k = 0; k < kHistoryKinds; ++k)
      if (h->h[c][k] == nullptr) return false;
  return true;
}

float at(const Histories* h, bool right, int kind, int block) {
  return ((const float*)h->h[right ? 1 : 0][kind])[block];
}

// The Slow level once per second (every 1000th block). The time advances by 1000 blocks per
// line, in seconds under either header.
void writeSlowHistory(ExportFile* file, const XFMINSTANCE* instance, const MeterParams* p,
                      const Histories* h, int blockCount) {
  const bool stereo = p->runChannels == 2;
  const double blockSeconds = meterBlockSeconds(p->runSampleRate);
  progressBegin(instance, "Saving Slow Time History...");
  progressStep(instance, 0, blockCount);
  const char* header = stereo ? "Time (ms)\tSlow Left\tSlow Right\r\n" : "Time (s)\tSlow\r\n";
  writeText(file, header, strlen(header));
  double t = 0.0;
  for (int i = 999; i < blockCount && !file->failed; i += 1000) {
    char line[128];
    TextBuffer out;
    initTextBuffer(&out, line, sizeof line);
    appendText(&out, "%.6f\t%.3f", t, at(h, false, kHistSlow, i) + p->fullScaleLeft);
    if (stereo) appendText(&out, "\t%.3f", at(h, true, kHistSlow, i) + p->fullScaleRight);
    appendText(&out, "\r\n");
    writeText(file, line, out.length);
    t += 1000.0 * blockSeconds;
    if (!progressStepGoesOn(instance, i, blockCount)) break;
  }
}

// Every history of every block; the time advances by one block per line, in seconds.
void writeAllHistories(ExportFile* file, const XFMINSTANCE* instance, const MeterParams* p,
                       const Histories* h, int blockCount) {
  const bool stereo = p->runChannels == 2;
  const double blockSeconds = meterBlockSeconds(p->runSampleRate);
  // Column order of the file, which is not the storage order.
  const int kinds[5] = {kHistRms, kHistItu, kHistImpulse, kHistFast, kHistSlow};
  progressBegin(instance, "Saving Time History...");
  progressStep(instance, 0, blockCount);
  const char* header =
      stereo ? "Time (ms)\tRMS (1ms) Left\tITU (30ms) Left\tImpulse Left\tFast Left\tSlow "
               "Left\tRMS (1ms) Right\tITU (30ms) Right\tImpulse Right\tFast Right\tSlow Right\r\n"
             : "Time (ms)\tRMS (1ms)\tITU (30ms)\tImpulse\tFast\tSlow\r\n";
  writeText(file, header, strlen(header));
  double t = 0.0;
  for (int i = 0; i < blockCount && !file->failed; ++i) {
    char line[256];
    TextBuffer out;
    initTextBuffer(&out, line, sizeof line);
    appendText(&out, "%.6f", t);
    for (int c = 0; c < (stereo ? 2 : 1); ++c) {
      float fullScale = c == 0 ? p->fullScaleLeft : p->fullScaleRight;
      for (int kind : kinds) appendText(&out, "\t%.3f", at(h, c == 1, kind, i) + fullScale);
    }
    appendText(&out, "\r\n");
    writeText(file, line, out.length);
    t += blockSeconds;
    if (!progressStepGoesOn(instance, i, blockCount)) break;
  }
}

}  // namespace

void exportResults(const XFMINSTANCE* instance, MeterParams* p) {
  // The stored texts are offered only up to their field's end: a block the host kept may hold
  // them without a terminating zero.
  char path[256];
  snprintf(path, sizeof path, "%.*s", (int)sizeof p->exportFileName - 1, p->exportFileName);
  char folder[256];
  snprintf(folder, sizeof folder, "%.*s", (int)sizeof p->exportDirectory - 1, p->exportDirectory);
  OPENFILENAMEA ofn;
  memset(&ofn, 0, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  const HWND owner = loadHandle<HWND>(p->HostWindow);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 2;
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.lpstrInitialDir = folder;
  ofn.lpstrTitle = "Save Results to File";
  ofn.Flags = OFN_LONGNAMES | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameA(&ofn)) return;
  rememberChoice(p, path);

  HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    char text[400];
    if (GetLastError() == ERROR_SHARING_VIOLATION) {
      // "alredy" is the system's own spelling.
      snprintf(text, sizeof text,
               "%s\nis alredy in use by another process.\n\nChoose another "
               "file, please!",
               path);
      MessageBoxA(owner, text, kAccessCaption, MB_OK | MB_ICONWARNING);
    } else {
      snprintf(text, sizeof text, "%s\ncannot be created.\n\nChoose another file, please!", path);
      MessageBoxA(owner, text, kAccessCaption, MB_OK | MB_ICONERROR);
    }
    return;
  }

  ExportFile file = {handle, false};
  // Both reports keep the system's own spelling "succesfully".
  char report[400];
  if (ofn.nFilterIndex == kParameterFiles) {
    writeResultsTable(&file, instance, p);
    snprintf(report, sizeof report, "Acoustic Levels succesfully saved to %s", path);
  } else {
    // Without the run's histories (none run yet, or their blocks gone) there are no lines.
    Histories h;
    lockHistories(p, &h);
    const int blockCount =
        complete(&h, p->runChannels == 2) ? meterBlockCount(p->runFrames, p->runSampleRate) : 0;
    if (p->displayCurve == 'S')
      writeSlowHistory(&file, instance, p, &h, blockCount);
    else
      writeAllHistories(&file, instance, p, &h, blockCount);
    unlockHistories(p, &h);
    progressEnd(instance);
    snprintf(report, sizeof report, "Time History succesfully saved to %s", path);
  }
  if (!CloseHandle(handle)) file.failed = true;
  if (file.failed) {
    // A full disk or a lost device: the file is incomplete, and the person must not read
    // that it was saved.
    snprintf(report, sizeof report,
             "%s\ncould not be written completely.\n\nThe disk may be "
             "full; choose another place, please!",
             path);
    MessageBoxA(owner, report, kAccessCaption, MB_OK | MB_ICONERROR);
    return;
  }
  MessageBoxA(nullptr, report, "File Saved", MB_OK | MB_ICONERROR);
}

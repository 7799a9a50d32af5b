// XfmDo: reads the highlighted impulse response, designs the filters of the mode, scales them
// to 16-bit full scale, puts them on the clipboard as a WAVE image and shows the results. The
// waveform in the host is not changed.
#include <stdint.h>
#include <string.h>

#include "frame/clipboard_transfer.h"
#include "frame/dialog_skeleton.h"
#include "frame/own_module.h"
#include "frame/run_buffers.h"
#include "inversefilter/design_lengths.h"
#include "inversefilter/designer_params.h"
#include "inversefilter/dipole_design.h"
#include "inversefilter/filter_image.h"
#include "inversefilter/filter_output.h"
#include "inversefilter/inverse_design.h"

namespace {

const char kRunCaption[] = "Kirkeby plus";
const char kClipboardCaption[] = "Flatten Spectrum";
const char kOutOfMemoryText[] =
    "The system cannot allocate enough memory\nto design spectrum inverse filter.\n\nRetry "
    "after closing some windows or\nwith a shorter selected area.";
const char kEmptySelectionText[] =
    "The highlighted area is empty.\n\nHighlight the impulse response to invert.";

// The buffers of a design, obtained in one numbered order. The working ones are released as
// soon as the design is done, before the image is allocated; the responses hold the filters
// until they are in the image.
struct DesignBuffers {
  RunBuffers responses;  // C, D, E, F
  RunBuffers working;    // the samples read, scratch, determinant, the two work arrays
  float *read, *C, *D, *E, *F, *scratch, *determinant, *work1, *work2;
};

bool failed(const DesignBuffers* b) {
  return b->responses.failedStep != 0 || b->working.failedStep != 0;
}

// After a failure in either record nothing more is allocated.
float* take(DesignBuffers* b, RunBuffers* from, long floats) {
  if (failed(b)) return nullptr;
  return (float*)allocRunBuffer(from, (SIZE_T)floats * sizeof(float));
}

void initBuffers(DesignBuffers* b) {
  memset(b, 0, sizeof *b);
  initRunBuffers(&b->responses);
  initRunBuffers(&b->working);
}

// The read buffer, C and the scratch buffer; for a stereo waveform D, E, F and the
// determinant; the two work arrays. Every response buffer and work array holds the working
// allocation length, which covers the longest transform any design runs on it.
bool allocateBuffers(DesignBuffers* b, const DesignerLengths* l) {
  const long length = l->allocLength;
  b->read = take(b, &b->working, (long)l->channels * length);
  b->C = take(b, &b->responses, length);
  b->scratch = take(b, &b->working, l->designLength);
  if (l->channels == 2) {
    b->D = take(b, &b->responses, length);
    b->E = take(b, &b->responses, length);
    b->F = take(b, &b->responses, length);
    b->determinant = take(b, &b->working, l->designLength);
  }
  b->work1 = take(b, &b->working, length);
  b->work2 = take(b, &b->working, length);
  return !failed(b);
}

void releaseBuffers(DesignBuffers* b) {
  releaseRunBuffers(&b->working);
  releaseRunBuffers(&b->responses);
}

// The numerical steps' messages are owned by the run's window; `notice` keeps the first
// failure, also of a step that went on after its message.
bool design(DesignBuffers* b, const DesignerLengths* l, const DesignerParams* p,
            const XFMINSTANCE* instance, DesignNotice* notice) {
  const long A = l->designPow2, N = l->designFilterLength;
  switch (l->mode) {
    case kModeMono:
      return DesignInverseFilter(b->C, b->scratch, A, N, l->nonPow2, p, instance, b->work1,
                                 b->work2, notice);
    case kModeDualMono:
      // The right channel only after the left one succeeded, so that a failure (a cancel, or
      // settings that cannot be designed) ends the run with its message shown once.
      return DesignInverseFilter(b->C, b->scratch, A, N, l->nonPow2, p, instance, b->work1,
                                 b->work2, notice) &&
             DesignInverseFilter(b->D, b->scratch, A, N, l->nonPow2, p, instance, b->work1,
                                 b->work2, notice);
    default:
      return DesignStereoDipole(b->C, b->D, b->E, b->F, b->scratch, b->determinant, A, N,
                                l->nonPow2, p, instance, b->work1, b->work2, notice);
  }
}

// The shown image's handle goes into the parameter block, so it must fit a buffer field.
HGLOBAL allocateImage(SIZE_T bytes, BYTE** image) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes);
  if (block != nullptr && blockBufferOf(block).bits == 0) {
    GlobalFree(block);
    block = nullptr;
  }
  *image = block != nullptr ? (BYTE*)GlobalLock(block) : nullptr;
  if (*image == nullptr && block != nullptr) {
    GlobalFree(block);
    block = nullptr;
  }
  return block;
}

void freeImage(HGLOBAL block) {
  GlobalUnlock(block);
  GlobalFree(block);
}

// Scales the filters and hands their image to the clipboard. The results dialog reads a
// private copy (*shown, left locked), never the clipboard's block: that belongs to the
// clipboard, and another program may empty the clipboard while the dialog is open. Every
// failure shows its message, leaves nothing allocated and returns false.
bool deliverFilters(float* const filters[4], const FilterOutput* output, DesignerParams* p,
                    const XFMINSTANCE* instance, HGLOBAL* shown, BYTE** shownImage) {
  const SIZE_T bytes = filterImageBytes(output);
  BYTE* image = nullptr;
  HGLOBAL block = allocateImage(bytes, &image);
  *shown = block != nullptr ? allocateImage(bytes, shownImage) : nullptr;
  if (*shown == nullptr) {
    if (block != nullptr) freeImage(block);
    MessageBoxA(loadHandle<HWND>(p->HostWindow), kOutOfMemoryText, kRunCaption,
                MB_OK | MB_ICONERROR);
    return false;
  }
  if (!ApplyFilterGain(filters, output, p)) {
    freeImage(block);
    freeImage(*shown);
    return false;
  }
  writeFilterImage(image, output, filters, instance->sampleRate);
  memcpy(*shownImage, image, bytes);
  GlobalUnlock(block);
  if (!transferToClipboard(loadHandle<HWND>(p->HostWindow), CF_WAVE, block, kClipboardCaption)) {
    freeImage(*shown);
    return false;
  }
  return true;
}

// Once the results dialog has closed, the image and the display the run left for it are gone.
void forgetShownFilters(const XFMINSTANCE* instance) {
  DesignerParams* p = (DesignerParams*)GlobalLock(instance->paramBlock);
  if (p == nullptr) return;
  p->FilterSamples = BlockBuffer{0};
  p->DisplayWindow = BlockHandle{0};
  GlobalUnlock(instance->paramBlock);
}

}  // namespace

// A host may run the design without a confirmed XfmSetup for the block. The run then takes
// HostWindow as the block holds it (0 in a new zeroed block: its messages and the results
// dialog have no owner) and finds the results dialog in this module itself.
extern "C" int WINAPI XfmDo(XFMINSTANCE* instance) {
  DesignerParams* p = (DesignerParams*)GlobalLock(instance->paramBlock);
  if (p == nullptr) return 1;
  const HWND owner = loadHandle<HWND>(p->HostWindow);
  const HINSTANCE module = runModule(loadHandle<HINSTANCE>(p->ModuleInstance));

  if ((int64_t)instance->selLast - (int64_t)instance->selFirst + 1 < 1) {
    GlobalUnlock(instance->paramBlock);
    MessageBoxA(owner, kEmptySelectionText, kRunCaption, MB_OK | MB_ICONERROR);
    return 1;
  }
  // A selection too long for the designs is, to the person, the same as one the system has
  // no memory for: the message asks for a shorter selected area.
  DesignerLengths lengths;
  DesignBuffers buffers;
  initBuffers(&buffers);
  if (!DesignerWorkingLengths(p, instance, &lengths) || !allocateBuffers(&buffers, &lengths)) {
    releaseBuffers(&buffers);
    GlobalUnlock(instance->paramBlock);
    MessageBoxA(owner, kOutOfMemoryText, kRunCaption, MB_OK | MB_ICONERROR);
    return 0;
  }
  const DWORD start = GetTickCount();

  instance->readSamples(instance->waveHandle, buffers.read, instance->selFirst,
                        lengths.framesToRead,
                        instance->readFormat | kXfmFloatFormat | lengths.channels);
  PrepareResponses(buffers.read, &lengths, buffers.C, buffers.D, buffers.E, buffers.F);
  DesignNotice notice = {owner, kDesignDone};
  bool done = design(&buffers, &lengths, p, instance, &notice);
  releaseRunBuffers(&buffers.working);

  // The image's channels and frames follow the output form: with the single-filter form the
  // image of a stereo mode is mono.
  const FilterOutput output = DesignerOutputLayout(p, &lengths);
  float* const filters[4] = {buffers.C, buffers.D, buffers.E, buffers.F};
  HGLOBAL shown = nullptr;
  BYTE* shownImage = nullptr;  // locked while the results dialog reads it
  if (done) done = deliverFilters(filters, &output, p, instance, &shown, &shownImage);
  releaseRunBuffers(&buffers.responses);
  if (!done) {
    GlobalUnlock(instance->paramBlock);
    return 1;
  }

  p->ElapsedMs = (int32_t)(GetTickCount() - start);
  p->FilterSamples = blockBufferOf(shown);
  p->DisplayCursor = 0;
  GlobalUnlock(instance->paramBlock);
  showResults(module, owner, instance);
  forgetShownFilters(instance);
  freeImage(shown);
  return 0;
}

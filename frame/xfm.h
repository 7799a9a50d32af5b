// The host transform interface: the two records the host shares with a plug-in, the callbacks
// it serves through the instance record, the exports every plug-in offers, and the rule for
// handles and buffers kept in parameter blocks. Little-endian throughout. Every offset is
// checked at compile time because the host and the plug-ins are built separately and meet only
// through these bytes.
//
// Two ABIs share this source. On x86 32-bit (the Windows deliverables) the records have the
// host's exact layout, addresses and handles 32 bits wide. On x86-64 (the Linux product and the
// Win64 test build) the instance record has the natural layout of its fields; a 64-bit host
// loads only 64-bit plug-ins and a 32-bit host only 32-bit ones. The info block and every
// parameter block have one byte layout on both.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#include "frame/block_fields.h"

constexpr bool kXfm32Bit = sizeof(void*) == 4;
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "x86 32-bit or x86-64");

// Answer of QueryXfm: the interface version the host expects.
constexpr short kXfmVersion = 0x489;

// Sample formats: readFormat/writeFormat | kXfmFloatFormat | channel count.
constexpr int kXfmFloatFormat = 0x20;
constexpr int kXfmMonoFormat = kXfmFloatFormat | 1;    // 33
constexpr int kXfmStereoFormat = kXfmFloatFormat | 2;  // 34

// DISPLAY_SET: configures the host's display control. wParam = attribute * 65536 + target,
// target 0 for the whole graph or 1, 2 for a curve.
constexpr UINT DISPLAY_SET = 1124;
enum DisplayAttribute : int {
  kDisplayViewMode = 1,     // integer: 8 plain linear axis, 2 frequency view
  kDisplayBackground = 2,   // COLORREF
  kDisplayCurveColour = 3,  // COLORREF
  kDisplayGridColour = 4,   // COLORREF
  kDisplayYTop = 5,         // const double*: top of the y range
  kDisplayYBottom = 6,      // const double*: bottom of the y range
  kDisplayXLeft = 7,        // const double*: left end of the x range
  kDisplayXRight = 8,       // const double*: right end of the x range
  kDisplayStyle = 9,        // integer 1300
  kDisplaySampleRate = 10,  // integer (levelmeter) or const double* (crossanalyser)
  kDisplayXLabel = 11,      // const char*: x axis label
  kDisplayYLabel = 12,      // const char*: y axis label
};
constexpr WPARAM displaySetParam(int attribute, int target) {
  return (WPARAM)(attribute * 65536 + target);
}

// Curve source of the display control: stores the curve's value at abscissa x into *y and
// returns 1; any other result means no value. `user` is the pointer given to createDisplay.
typedef int(WINAPI* XfmDisplayCallback)(double x, void* user, short curve, double* y);

// Host callbacks. All run on the host's user-interface thread and return before the plug-in
// goes on; strings are only read during the call.
typedef void(WINAPI* XfmDialogInitProc)(HWND dialog, LPARAM zero);
typedef int(WINAPI* XfmProgressProc)(int step, int steps);
typedef void(WINAPI* XfmProgressBeginProc)(LPCSTR caption, LPARAM zero);
typedef void(WINAPI* XfmProgressEndProc)(void);
typedef int(WINAPI* XfmProgressTextProc)(LPCSTR text);
typedef HWND(WINAPI* XfmCreateDisplayProc)(HWND dialog, WORD controlId, WORD zero,
                                           XfmDisplayCallback callback, void* user);
// Moves `frames` frames starting at frame `first` between the host's waveform and `buffer`:
// 32-bit floats at 16-bit scale, channels interleaved left first. Returns nonzero on success.
typedef int(WINAPI* XfmSamplesProc)(DWORD waveHandle, float* buffer, LONG first, LONG frames,
                                    LONG format);

// Transform info block: host memory, filled by QueryXfm. No addresses: one layout everywhere.
#pragma pack(push, 1)
struct XFMINFO {
  char name[80];         // 0: menu path, e.g. "Orvane\Cross Functions"
  char notice[80];       // 80: the maker's notice line
  char description[80];  // 160
  WORD infoWord;         // 240
  BYTE unused242[2];     // 242: never written by a plug-in
  DWORD flags;           // 244
  DWORD paramSize;       // 248: bytes of the parameter block
  char paramTypes[96];   // 252: one letter per field (c i l f d h b s)
  char paramFlags[96];   // 348: one "y" per letter of paramTypes
};
static_assert(offsetof(XFMINFO, notice) == 80);
static_assert(offsetof(XFMINFO, description) == 160);
static_assert(offsetof(XFMINFO, infoWord) == 240);
static_assert(offsetof(XFMINFO, flags) == 244);
static_assert(offsetof(XFMINFO, paramSize) == 248);
static_assert(offsetof(XFMINFO, paramTypes) == 252);
static_assert(offsetof(XFMINFO, paramFlags) == 348);
static_assert(sizeof(XFMINFO) == 444);
#pragma pack(pop)

// Transform instance record: host memory, passed to every export and as the creation
// parameter of every dialog. The host owns it for the life of the instance; plug-ins read it
// and never keep its address beyond a call (dialogs recover it from their state holder).
// Offsets are the 32-bit host's; on x86-64 the addresses are 8 bytes at their natural
// alignment (the second column of offsets below), the reserved areas keeping their sizes.
struct XFMINSTANCE {
  WORD channels;                       // 0: 1 or 2
  BYTE reserved2[6];                   // 2
  LONG sampleRate;                     // 8: Hz
  HGLOBAL paramBlock;                  // 12: movable block of paramSize bytes, host-owned
  LONG selFirst;                       // 16: first selected frame
  LONG selLast;                        // 20: last selected frame, inclusive
  BYTE reserved24[4];                  // 24
  LPCSTR title;                        // 28: caption of levelmeter's out-of-memory box
  XfmDialogInitProc dialogInit;        // 32: always called
  BYTE reserved36[8];                  // 36
  int* cancelFlag;                     // 44: nonzero once the user has cancelled
  XfmProgressProc progress;            // 48: may be null
  XfmProgressBeginProc progressBegin;  // 52: may be null
  XfmProgressEndProc progressEnd;      // 56: may be null
  BYTE reserved60[84];                 // 60
  SHORT autoPreset;                    // 144: -1 when no preset run is going on
  SHORT autoShowDialogs;               // 146: 0 lets dialogs confirm themselves
  BYTE reserved148[160];               // 148
  XfmCreateDisplayProc createDisplay;  // 308: always called
  BYTE reserved312[16];                // 312
  XfmSamplesProc readSamples;          // 328: always called
  XfmSamplesProc writeSamples;         // 332: always called
  WORD readFormat;                     // 336
  WORD writeFormat;                    // 338
  DWORD waveHandle;                    // 340: the host's token for the waveform
  BYTE reserved344[32];                // 344
  XfmProgressTextProc progressText;    // 376: may be null
};
// Offsets of the fields the plug-ins use: {32-bit, x86-64}.
constexpr size_t xfmOffset(size_t offset32, size_t offset64) {
  return kXfm32Bit ? offset32 : offset64;
}
static_assert(offsetof(XFMINSTANCE, sampleRate) == xfmOffset(8, 8));
static_assert(offsetof(XFMINSTANCE, paramBlock) == xfmOffset(12, 16));
static_assert(offsetof(XFMINSTANCE, selFirst) == xfmOffset(16, 24));
static_assert(offsetof(XFMINSTANCE, selLast) == xfmOffset(20, 28));
static_assert(offsetof(XFMINSTANCE, title) == xfmOffset(28, 40));
static_assert(offsetof(XFMINSTANCE, dialogInit) == xfmOffset(32, 48));
static_assert(offsetof(XFMINSTANCE, cancelFlag) == xfmOffset(44, 64));
static_assert(offsetof(XFMINSTANCE, progress) == xfmOffset(48, 72));
static_assert(offsetof(XFMINSTANCE, progressBegin) == xfmOffset(52, 80));
static_assert(offsetof(XFMINSTANCE, progressEnd) == xfmOffset(56, 88));
static_assert(offsetof(XFMINSTANCE, autoPreset) == xfmOffset(144, 180));
static_assert(offsetof(XFMINSTANCE, autoShowDialogs) == xfmOffset(146, 182));
static_assert(offsetof(XFMINSTANCE, createDisplay) == xfmOffset(308, 344));
static_assert(offsetof(XFMINSTANCE, readSamples) == xfmOffset(328, 368));
static_assert(offsetof(XFMINSTANCE, writeSamples) == xfmOffset(332, 376));
static_assert(offsetof(XFMINSTANCE, readFormat) == xfmOffset(336, 384));
static_assert(offsetof(XFMINSTANCE, writeFormat) == xfmOffset(338, 386));
static_assert(offsetof(XFMINSTANCE, waveHandle) == xfmOffset(340, 388));
static_assert(offsetof(XFMINSTANCE, progressText) == xfmOffset(376, 424));
static_assert(sizeof(XFMINSTANCE) == xfmOffset(380, 432));

// The exports, by the names and ordinals of each plug-in's export table.
extern "C" {
short WINAPI QueryXfm(XFMINFO* info);                                           // ordinal 2
int WINAPI XfmInit(XFMINSTANCE* instance);                                      // ordinal 3
int WINAPI XfmSetup(HWND hostWindow, HINSTANCE module, XFMINSTANCE* instance);  // ordinal 4
int WINAPI XfmDo(XFMINSTANCE* instance);                                        // ordinal 5
int WINAPI XfmDestroy(XFMINSTANCE* instance);                                   // ordinal 6
int WINAPI DisplayCallback(double x, void* user, short curve, double* y);       // ordinal 7
INT_PTR CALLBACK DIALOGMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);   // 100
INT_PTR CALLBACK DIALOGMsgProc2(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);  // 101
// The plug-in's table of results (frame/results_table.h), for hosts that collect them as
// numbers; a plug-in without one does not export it.
const struct ResultsTable* WINAPI XfmResults(void);  // ordinal 8
}

// Export ordinals, as the .def files give them.
enum XfmOrdinal : int {
  kOrdQueryXfm = 2,
  kOrdXfmInit = 3,
  kOrdXfmSetup = 4,
  kOrdXfmDo = 5,
  kOrdXfmDestroy = 6,
  kOrdDisplayCallback = 7,
  kOrdResults = 8,
  kOrdSettingsDialog = 100,
  kOrdResultsDialog = 101,
};

// Dialog resources every plug-in carries.
constexpr int kSettingsDialogResource = 100;
constexpr int kResultsDialogResource = 107;

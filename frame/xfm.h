// The host transform interface: the two records the host shares with a plug-in, the callbacks
// it serves through the instance record, and the exports every plug-in offers. All layouts are
// x86 32-bit, little-endian and packed; every offset is checked at compile time because the
// host and the plug-ins are built separately and meet only through these bytes.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

static_assert(sizeof(void*) == 4, "the host records hold 32-bit addresses and handles");

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

#pragma pack(push, 1)

// Transform info block: host memory, filled by QueryXfm.
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

// Transform instance record: host memory, passed to every export and as the creation
// parameter of every dialog. The host owns it for the life of the instance; plug-ins read it
// and never keep its address beyond a call (dialogs recover it from their state holder).
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
static_assert(offsetof(XFMINSTANCE, sampleRate) == 8);
static_assert(offsetof(XFMINSTANCE, paramBlock) == 12);
static_assert(offsetof(XFMINSTANCE, selFirst) == 16);
static_assert(offsetof(XFMINSTANCE, selLast) == 20);
static_assert(offsetof(XFMINSTANCE, title) == 28);
static_assert(offsetof(XFMINSTANCE, dialogInit) == 32);
static_assert(offsetof(XFMINSTANCE, cancelFlag) == 44);
static_assert(offsetof(XFMINSTANCE, progress) == 48);
static_assert(offsetof(XFMINSTANCE, progressBegin) == 52);
static_assert(offsetof(XFMINSTANCE, progressEnd) == 56);
static_assert(offsetof(XFMINSTANCE, autoPreset) == 144);
static_assert(offsetof(XFMINSTANCE, autoShowDialogs) == 146);
static_assert(offsetof(XFMINSTANCE, createDisplay) == 308);
static_assert(offsetof(XFMINSTANCE, readSamples) == 328);
static_assert(offsetof(XFMINSTANCE, writeSamples) == 332);
static_assert(offsetof(XFMINSTANCE, readFormat) == 336);
static_assert(offsetof(XFMINSTANCE, writeFormat) == 338);
static_assert(offsetof(XFMINSTANCE, waveHandle) == 340);
static_assert(offsetof(XFMINSTANCE, progressText) == 376);
static_assert(sizeof(XFMINSTANCE) == 380);

#pragma pack(pop)

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
}

// Export ordinals, as the .def files give them.
enum XfmOrdinal : int {
  kOrdQueryXfm = 2,
  kOrdXfmInit = 3,
  kOrdXfmSetup = 4,
  kOrdXfmDo = 5,
  kOrdXfmDestroy = 6,
  kOrdDisplayCallback = 7,
  kOrdSettingsDialog = 100,
  kOrdResultsDialog = 101,
};

// Dialog resources every plug-in carries.
constexpr int kSettingsDialogResource = 100;
constexpr int kResultsDialogResource = 107;

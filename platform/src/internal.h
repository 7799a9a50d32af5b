// Shared between the parts of the platform layer; never seen by plug-ins or the host.
#pragma once

#include <orvane_platform.h>

// The person the host installed (never null: defaults when none was installed).
const OrvaneUser* platformUser();

// ---- Base services: memory, files, clipboard, modules, the person ----

// The functions of orvane_platform.h are declared without a visibility of their own; their
// definitions carry this so they leave the library while everything else stays hidden.
#define ORVANE_EXPORT __attribute__((visibility("default")))

// Win32 error codes the layer reports that windows.h has no name for.
constexpr DWORD kErrorTooManyOpenFiles = 4;      // ERROR_TOO_MANY_OPEN_FILES
constexpr DWORD kErrorGenFailure = 31;           // ERROR_GEN_FAILURE
constexpr DWORD kErrorFileExists = 80;           // ERROR_FILE_EXISTS
constexpr DWORD kErrorInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER
constexpr DWORD kErrorDiscarded = 157;           // ERROR_DISCARDED
constexpr DWORD kErrorNotLocked = 158;           // ERROR_NOT_LOCKED
constexpr DWORD kErrorAlreadyExists = 183;       // ERROR_ALREADY_EXISTS
constexpr DWORD kErrorFilenameExcedRange = 206;  // ERROR_FILENAME_EXCED_RANGE
constexpr DWORD kErrorClipboardNotOpen = 1418;   // ERROR_CLIPBOARD_NOT_OPEN

// Handle values: each kind of object takes its handles from its own part of an address range
// that the layer reserves and never maps, so a handle is never the address of anything and
// code that dereferences one faults at once. The ranges lie below 2 GiB on every build: a
// window, module or memory handle fits the 32-bit handle fields of the hosts' records and
// parameter blocks, whatever the width of an address.
enum PlatformHandleKind { kHandleMemory = 0, kHandleFile = 1, kHandleModule = 2, kHandleKinds = 3 };
// Reserves `bytes` of addresses below 2 GiB that are never mapped; 0 when it cannot.
uintptr_t reserveHandleRange(uintptr_t bytes);
// A handle of `kind` for which `taken` is false; null only when every value is taken.
HANDLE handleNew(PlatformHandleKind kind, bool (*taken)(HANDLE));

// Memory blocks that SetClipboardData takes over: from then on they belong to the clipboard,
// are not counted as live, and only the clipboard frees them.
// Returns 0, or the error: ERROR_INVALID_HANDLE for a handle that is not a live block of the
// caller, ERROR_INVALID_PARAMETER for a block still locked.
DWORD memoryGiveToClipboard(HGLOBAL block);
void memoryFreeClipboardBlock(HGLOBAL block);
// Bytes and size of a live block, without locking it; null for a discarded or unknown block.
const void* memoryBlockBytes(HGLOBAL block, size_t* size);
// Clears every injected memory fault (one-shot and per-block) and zeroes the call counters.
void memoryResetFaults();

// The resource script of a module that LoadLibraryA loaded, null when it has none or when
// `module` is not a loaded module.
const char* moduleResourceScript(HINSTANCE module);
// Forgets the text of the last module failure.
void moduleResetError();

// Each returns its part of the layer to the state of a fresh process (blocks aside).
void clipboardReset();
void filesReset();
void userReset();

// True when `path` names a file that orvane_file_hold marked as held by another process.
bool fileIsHeld(const char* path);
void saveFileDialogReset();

// ---- Windows and dialogs ----

// Back to no windows: every window record and posted message is dropped without a message
// being sent; registered window classes stay, as a host registers its classes once.
ORVANE_EXPORT void platformResetWindows();
// DialogBoxParamA's work on a resource script given as text (no module): the platform's own
// tests run dialogs through it.
ORVANE_EXPORT INT_PTR dialogBoxFromScript(const char* script, int resource, HWND owner,
                                          DLGPROC proc, LPARAM param);
// Why the last dialog could not be opened ("line N: ..." of a faulty resource script, a missing
// template); empty after a dialog opened.
ORVANE_EXPORT const char* platformDialogError();

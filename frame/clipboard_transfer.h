// Handing a block to the clipboard, with the message every plug-in shows when another
// program holds the clipboard. A block handed over belongs to the clipboard; one that could
// not be handed over is freed here, so the caller never frees it.
#pragma once

#include "frame/xfm.h"

// "Can not access Clipboard Data.\nAnother application or window\nhas the Clipboard opened."
extern const char kClipboardBusyText[];

// Opens the clipboard for `owner`, empties it, sets the (unlocked) `block` as `format` and
// closes it. On failure shows the busy message with `caption` and the error icon. Returns
// true when the clipboard took the block.
bool transferToClipboard(HWND owner, UINT format, HGLOBAL block, LPCSTR caption);

// A text for the clipboard: a movable, shareable block of `size` bytes, locked and zeroed.
// Returns the text address and the block in *block, or null (and *block null) without memory.
char* beginClipboardText(SIZE_T size, HGLOBAL* block);

// Unlocks the text block, hands it over as CF_TEXT and sounds the default beep, whether the
// transfer succeeded or not.
bool finishClipboardText(HWND owner, HGLOBAL block, LPCSTR caption);

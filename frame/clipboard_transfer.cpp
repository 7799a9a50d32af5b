#include "frame/clipboard_transfer.h"

const char kClipboardBusyText[] =
    "Can not access Clipboard Data.\nAnother application or window\nhas the Clipboard opened.";

bool transferToClipboard(HWND owner, UINT format, HGLOBAL block, LPCSTR caption) {
  bool handedOver = false;
  bool ok = OpenClipboard(owner) != FALSE;
  if (ok) {
    EmptyClipboard();
    handedOver = SetClipboardData(format, block) != nullptr;
    // Closing can fail even after the clipboard took the block; the block is then still the
    // clipboard's, but the person must know the transfer did not go through cleanly.
    ok = (CloseClipboard() != FALSE) && handedOver;
  }
  if (!ok) MessageBoxA(owner, kClipboardBusyText, caption, MB_OK | MB_ICONERROR);
  if (!handedOver) GlobalFree(block);
  return handedOver && ok;
}

char* beginClipboardText(SIZE_T size, HGLOBAL* block) {
  *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, size);
  if (*block == nullptr) return nullptr;
  char* text = (char*)GlobalLock(*block);
  if (text == nullptr) {
    GlobalFree(*block);
    *block = nullptr;
  }
  return text;
}

bool finishClipboardText(HWND owner, HGLOBAL block, LPCSTR caption) {
  GlobalUnlock(block);
  bool done = transferToClipboard(owner, CF_TEXT, block, caption);
  MessageBeep(0);
  return done;
}

#include "frame/dialog_state.h"

#include <stdio.h>
#include <stdlib.h>

// Addresses go through intptr_t and long long so that the text keeps the full value whatever
// the width of an address; on 32-bit platforms the text is exactly the "%ld,%d,%ld" form.
void formatDialogState(char* text, size_t size, const DialogState& state) {
  snprintf(text, size, "%lld,%lld,%lld", (long long)(intptr_t)state.block,
           (long long)(intptr_t)state.blockHandle, (long long)(intptr_t)state.instance);
}

DialogState parseDialogState(const char* text) {
  long long values[3] = {0, 0, 0};
  const char* p = text;
  for (int i = 0; i < 3 && *p != '\0'; ++i) {
    char* end = nullptr;
    values[i] = strtoll(p, &end, 10);
    if (end == p) break;
    p = end;
    if (*p != ',') break;
    ++p;
  }
  DialogState state;
  state.block = (void*)(intptr_t)values[0];
  state.blockHandle = (HGLOBAL)(intptr_t)values[1];
  state.instance = (XFMINSTANCE*)(intptr_t)values[2];
  return state;
}

void writeDialogState(HWND dialog, int holderId, const DialogState& state) {
  char text[80];
  formatDialogState(text, sizeof text, state);
  SetDlgItemTextA(dialog, holderId, text);
}

DialogState readDialogState(HWND dialog, int holderId) {
  char text[80] = "";
  GetDlgItemTextA(dialog, holderId, text, sizeof text);
  return parseDialogState(text);
}

// The common save-file dialog: the person picks a file name, or cancels.
#include "internal.h"

#include <cstddef>

namespace {

constexpr DWORD kErrorStructSize = 0x0001;  // CDERR_STRUCTSIZE
// Older callers pass the size of the record without its last three members.
constexpr DWORD kSizeVersion400 = offsetof(OPENFILENAMEA, pvReserved);

DWORD lastDialogError = 0;

}  // namespace

WINBASEAPI BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA lpofn) {
  lastDialogError = 0;
  if (!lpofn ||
      (lpofn->lStructSize != sizeof(OPENFILENAMEA) && lpofn->lStructSize != kSizeVersion400)) {
    lastDialogError = kErrorStructSize;
    return FALSE;
  }
  const OrvaneUser* u = platformUser();
  // Without a person to ask, the dialog is cancelled: FALSE with no extended error.
  if (!u->saveFileName) return FALSE;
  return u->saveFileName(u->context, lpofn) ? TRUE : FALSE;
}

WINBASEAPI DWORD WINAPI CommDlgExtendedError(void) { return lastDialogError; }

void saveFileDialogReset() { lastDialogError = 0; }

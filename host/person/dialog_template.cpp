// A plug-in's dialog template shown as it stands before the plug-in fills it.
#include "host/person/dialog_box.h"
#include "host/person/person.h"

namespace orvane {

namespace {

// Nothing in the dialog does anything; closing it ends it.
INT_PTR CALLBACK templateProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_COMMAND:
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool showDialogTemplate(HMODULE module, int resource) {
  return personDialogBox(module, resource, templateProcedure) != -1;
}

}  // namespace orvane

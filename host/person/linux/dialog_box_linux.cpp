#include "host/person/dialog_box.h"

namespace orvane {

// The platform layer hands every dialog box to the installed person.
INT_PTR personDialogBox(HINSTANCE module, int resource, DLGPROC proc) {
  return DialogBoxParamA(module, MAKEINTRESOURCEA(resource), nullptr, proc, 0);
}

}  // namespace orvane

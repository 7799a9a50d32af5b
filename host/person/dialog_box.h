// A modal dialog box the host itself shows for the installed person (person.h) to act in: on
// Linux the platform layer's own, on Windows through the hooks that route plug-in dialogs to
// the person (win32/user_hooks_win32.h).
#pragma once

#include <windows.h>

namespace orvane {

// DialogBoxParamA of template `resource` of `module`, without owner, with `proc` and no
// creation parameter; -1 when the module has no such template.
INT_PTR personDialogBox(HINSTANCE module, int resource, DLGPROC proc);

}  // namespace orvane

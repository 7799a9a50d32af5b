// The plug-in's own module. A run normally takes its module from the parameter block, where a
// confirmed settings dialog left it; a host may call XfmDo without that (ModuleInstance still
// 0), and the results dialog's template and procedure must still be found.
#pragma once

#include "frame/xfm.h"

// The module that holds this code (the plug-in library), or null when the system cannot say.
HINSTANCE ownModule();

// `stored` when it is set, else ownModule().
HINSTANCE runModule(HINSTANCE stored);

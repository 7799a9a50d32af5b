// How inversefilter describes itself to the host, and the settings a new parameter block gets.
#include "frame/plugin.h"
#include "inversefilter/designer_params.h"

// The menu name and the description end in a blank: the host shows them as they are.
const PluginDescription kPluginDescription = {
    "Orvane\\Invert Kirkeby 4 ",
    "Orvane 4.0 acoustic measurement plug-ins",
    "Design Kirkeby smoothed inverse filter ",
    60,
    0x0001101D,
    sizeof(DesignerParams),
    kDesignerParamTypes,
    offsetof(DesignerParams, HostWindow),
    offsetof(DesignerParams, ModuleInstance),
    false,
    nullptr,
    nullptr,
};

// Only the settings get defaults; the handles, the run's hand-over fields and the two flags
// without a default keep what the host's new block holds.
void writeDefaults(void* paramBlock) { SetDesignerDefaults((DesignerParams*)paramBlock); }

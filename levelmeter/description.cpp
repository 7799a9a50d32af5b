// How levelmeter describes itself to the host, and the settings a new parameter block gets.
#include "frame/plugin.h"
#include "levelmeter/meter_params.h"

#include <string.h>

const PluginDescription kPluginDescription = {
    "Orvane\\levelmeter Time History Analysis",
    "Orvane 4.0 acoustic measurement plug-ins",
    "ITU-T P56 / Time History Analysis",
    60,
    0x8001101D,
    sizeof(MeterParams),
    kMeterParamTypes,
    offsetof(MeterParams, HostWindow),
    offsetof(MeterParams, ModuleInstance),
    false,
    nullptr,
    nullptr,
};

void writeDefaults(void* paramBlock) {
  MeterParams* p = (MeterParams*)paramBlock;
  p->HostWindow = BlockHandle{0};
  p->ModuleInstance = BlockHandle{0};
  p->displayWindow = BlockHandle{0};
  p->filterLeft = kFilterWideBand;
  p->filterRight = kFilterWideBand;
  p->fullScaleLeft = 120.0f;
  p->fullScaleRight = 120.0f;
  p->leqCalLeft = 94.0f;
  p->leqCalRight = 94.0f;
  p->calMode = kCalFullScale;
  p->displayCurve = '1';
  strcpy(p->exportDirectory, "C:\\");
  strcpy(p->exportFileName, "*.txt");
}

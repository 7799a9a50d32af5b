#include "support/plugin_harness.h"
#include "support/plugin_harness.inc"

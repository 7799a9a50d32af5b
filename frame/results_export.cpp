// XfmResults: the plug-in's table of results, for a host that collects them as numbers.
#include "frame/plugin.h"

extern "C" const ResultsTable* WINAPI XfmResults(void) { return &kResultsTable; }

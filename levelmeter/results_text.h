// The results table as text: the clipboard's "Copy to Clipboard" and the "Parameter Files"
// export. Lines end with CR LF, cells are separated by TAB.
#pragma once

#include "levelmeter/meter_params.h"

#include <stddef.h>

// Writes the table for the last run into `buffer` (zero-terminated, at most size - 1
// characters). Returns false when the table did not fit and was cut.
bool resultsText(char* buffer, size_t size, const MeterParams* p);

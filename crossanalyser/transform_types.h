// The names of the processing functions, as the results dialog shows them and as the spectral
// export heads its table with them.
#pragma once

// "Transform type: Cross-Correlation", ... for codes 0 ... 9; any other code is processed as the
// cross-correlation and named so.
const char* TransformTypeText(int function);
// The export's wording: "Transform type: PU probe calibration in a SW tube", ...
const char* ExportTransformTypeText(int function);

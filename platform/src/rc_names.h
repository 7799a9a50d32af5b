// Values of the symbolic names that resource scripts use without defining them.
#pragma once

// True with the value when `name` (case-sensitive, as the C preprocessor) is a window, dialog
// or control style constant, a standard button id (IDOK...) or IDC_STATIC (-1).
bool rcNameValue(const char* name, long* value);

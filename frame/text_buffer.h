// Bounded text building: formatted pieces appended to a caller's buffer of fixed size. The
// text is always zero-terminated; what does not fit is cut off and remembered, never written
// past the end.
#pragma once

#include <stddef.h>

struct TextBuffer {
  char* text;      // caller's buffer
  size_t size;     // its size in bytes, at least 1
  size_t length;   // characters written so far
  bool truncated;  // something did not fit
};

void initTextBuffer(TextBuffer* buffer, char* text, size_t size);
void appendText(TextBuffer* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));

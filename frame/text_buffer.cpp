#include "frame/text_buffer.h"

#include <stdarg.h>
#include <stdio.h>

void initTextBuffer(TextBuffer* buffer, char* text, size_t size) {
  buffer->text = text;
  buffer->size = size;
  buffer->length = 0;
  buffer->truncated = false;
  if (size > 0) text[0] = '\0';
}

void appendText(TextBuffer* buffer, const char* format, ...) {
  if (buffer->size == 0) {
    buffer->truncated = true;
    return;
  }
  size_t room = buffer->size - buffer->length;
  va_list args;
  va_start(args, format);
  int wanted = vsnprintf(buffer->text + buffer->length, room, format, args);
  va_end(args);
  if (wanted < 0) {
    buffer->truncated = true;
    return;
  }
  if ((size_t)wanted >= room) {
    buffer->truncated = true;
    buffer->length = buffer->size - 1;
  } else {
    buffer->length += (size_t)wanted;
  }
}

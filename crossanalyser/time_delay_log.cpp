#include "crossanalyser/time_delay_log.h"

#include <stdio.h>
#include <string.h>

void FormatTimeDelayLine(char* line, size_t size, const struct tm* when, float triggerTimeMs,
                         float timeOfFlightMs) {
  char stamp[128] = "";
  if (strftime(stamp, sizeof stamp, "%d/%m/%Y %X", when) == 0) stamp[0] = '\0';
  snprintf(line, size, "%s %.3f %.3f\r\n", stamp, triggerTimeMs, timeOfFlightMs);
}

bool AppendTimeDelay(float triggerTimeMs, float timeOfFlightMs) {
  const time_t now = time(nullptr);
  struct tm local;
  const struct tm* t = localtime(&now);
  if (t == nullptr) return false;
  local = *t;
  char line[200];
  FormatTimeDelayLine(line, sizeof line, &local, triggerTimeMs, timeOfFlightMs);
  // Binary, with the line end written out, so that the file's bytes are the same everywhere.
  FILE* file = fopen(kTimeDelayFile, "ab");
  if (file == nullptr) return false;
  const size_t length = strlen(line);
  const bool written = fwrite(line, 1, length, file) == length;
  return fclose(file) == 0 && written;
}

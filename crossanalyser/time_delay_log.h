// "timedelay.txt": one line per completed run, appended in the current directory, so that a
// series of measurements keeps its trigger times and times of flight. Lines end with carriage
// return and line feed on every system.
#pragma once

#include <time.h>

constexpr char kTimeDelayFile[] = "timedelay.txt";

// The line of a run at local time `when`: "%d/%m/%Y %X" of the time, then the trigger time and
// the time of flight as "%.3f", separated by blanks, e.g. "08/03/2026 14:05:09 12.500 -0.250".
// `line` takes at least 200 characters.
void FormatTimeDelayLine(char* line, size_t size, const struct tm* when, float triggerTimeMs,
                         float timeOfFlightMs);

// Appends the line of a run now (creating the file when missing). False when the file cannot be
// opened or the line not written completely.
bool AppendTimeDelay(float triggerTimeMs, float timeOfFlightMs);

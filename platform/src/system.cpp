// The calling thread's last error and the tick count.
#include "internal.h"

#include <time.h>

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

WINBASEAPI DWORD WINAPI GetLastError(void) { return lastError; }

WINBASEAPI void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

// Milliseconds of the monotonic clock, wrapping at 2^32 like the Windows count (every 49.7
// days): callers only ever take differences.
WINBASEAPI DWORD WINAPI GetTickCount(void) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
  return DWORD(ms);
}

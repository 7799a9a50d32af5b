// The calling thread's last error and the tick count.
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(System, LastErrorIsWhatWasSet) {
  SetLastError(ERROR_DISK_FULL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  SetLastError(0);
  EXPECT_EQ(GetLastError(), 0u);
}

TEST(System, TickCountCountsMilliseconds) {
  const DWORD a = GetTickCount();
  usleep(20000);
  const DWORD b = GetTickCount();
  // At least the 20 ms slept (less 1 for truncation), and not seconds or microseconds.
  EXPECT_GE(b - a, 19u);
  EXPECT_LT(b - a, 5000u);
}

}  // namespace

// Ctrl-C during a run sets the cancel flag instead of ending the host.
#include <gtest/gtest.h>

#include <csignal>

#include "host/session/interrupt.h"

using orvane::CancelOnInterrupt;

TEST(Interrupt, FirstCtrlCSetsTheCancelFlagOnlyWhileTheGuardStands) {
  auto before = std::signal(SIGINT, SIG_IGN);
  int flag = 0;
  {
    CancelOnInterrupt guard(&flag);
    std::raise(SIGINT);
    EXPECT_EQ(flag, 1);
  }
  // Afterwards SIGINT is handled as it was before the guard.
  EXPECT_EQ(std::signal(SIGINT, before), SIG_IGN);
}

TEST(Interrupt, SecondCtrlCEndsTheProcess) {
  EXPECT_EXIT(
      {
        int flag = 0;
        CancelOnInterrupt guard(&flag);
        std::raise(SIGINT);
        std::raise(SIGINT);
        std::exit(0);
      },
      ::testing::KilledBySignal(SIGINT), "");
}

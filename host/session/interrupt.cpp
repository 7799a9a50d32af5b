#include "host/session/interrupt.h"

#include <csignal>

namespace orvane {

namespace {

int* volatile cancelTarget = nullptr;

extern "C" void onInterrupt(int signal) {
  int* flag = cancelTarget;
  if (flag && *flag == 0) {
    *flag = 1;
    std::signal(signal, onInterrupt);
    return;
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

CancelOnInterrupt::CancelOnInterrupt(int* flag) {
  cancelTarget = flag;
  previous_ = std::signal(SIGINT, onInterrupt);
  if (previous_ == SIG_ERR) previous_ = SIG_DFL;
}

CancelOnInterrupt::~CancelOnInterrupt() {
  std::signal(SIGINT, previous_);
  cancelTarget = nullptr;
}

}  // namespace orvane

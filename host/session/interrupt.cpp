#include "host/session/interrupt.h"

#include <csignal>

namespace orvane {

namespace {

int* volatile cancelTarget = nullptr;
volatile std::sig_atomic_t interruptCame = 0;
volatile std::sig_atomic_t interruptNoted = 0;

// The first is noted; a second ends the host as it normally would.
extern "C" void noteInterrupt(int signal) {
  if (interruptNoted) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  interruptNoted = 1;
  std::signal(signal, noteInterrupt);
}

extern "C" void onInterrupt(int signal) {
  int* flag = cancelTarget;
  if (flag) interruptCame = 1;
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
  interruptCame = 0;
  previous_ = std::signal(SIGINT, onInterrupt);
  if (previous_ == SIG_ERR) previous_ = SIG_DFL;
}

CancelOnInterrupt::~CancelOnInterrupt() {
  std::signal(SIGINT, previous_);
  cancelTarget = nullptr;
}

bool CancelOnInterrupt::interrupted() const { return interruptCame != 0; }

InterruptsNoted::InterruptsNoted() {
  interruptNoted = 0;
  previousInterrupt_ = std::signal(SIGINT, noteInterrupt);
  if (previousInterrupt_ == SIG_ERR) previousInterrupt_ = SIG_DFL;
  previousTerminate_ = std::signal(SIGTERM, noteInterrupt);
  if (previousTerminate_ == SIG_ERR) previousTerminate_ = SIG_DFL;
}

InterruptsNoted::~InterruptsNoted() {
  std::signal(SIGINT, previousInterrupt_);
  std::signal(SIGTERM, previousTerminate_);
}

bool InterruptsNoted::came() const { return interruptNoted != 0; }

}  // namespace orvane

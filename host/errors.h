// How a command of the host fails: one line for the person and an exit status. Thrown only by
// host code that the plug-ins never call back into; callbacks record failures instead.
#pragma once

#include <stdexcept>
#include <string>

namespace orvane {

// Exit statuses of the `orvane` command.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;       // the host could not do its part (writing outputs, memory)
constexpr int kExitBadInput = 2;      // bad input or usage: nothing was written for it
constexpr int kExitNotCompleted = 3;  // the plug-in did not complete its run; outputs written

class HostError : public std::runtime_error {
 public:
  // `message` is the line shown after "orvane: ", without a final newline.
  HostError(int status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

inline HostError badInput(const std::string& message) { return HostError(kExitBadInput, message); }
inline HostError failure(const std::string& message) { return HostError(kExitFailure, message); }

}  // namespace orvane

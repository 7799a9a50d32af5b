// orvane validate on Windows: the validator injects allocation, lock and clipboard faults and
// isolates each check in a child process through the Linux platform layer, which the real
// system does not offer; the command says so instead of checking less than it promises.
#include "host/cli/commands.h"
#include "host/errors.h"

namespace orvane {

int validateCommand(const ValidateOptions&, std::ostream&) {
  throw badInput(
      "validate runs on Linux only: it injects faults through the Linux platform layer "
      "(run the Linux orvane validate on the same plug-in source)");
}

}  // namespace orvane

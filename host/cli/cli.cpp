#include <exception>

#include "host/cli/commands.h"
#include "host/errors.h"

namespace orvane {

int orvaneMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  try {
    Command command = parseCommandLine(argc, argv);
    switch (command.kind) {
      case CommandKind::Help:
        out << command.helpText;
        out.flush();
        return kExitOk;
      case CommandKind::List:
        return listCommand(command.list, out);
      case CommandKind::Describe:
        return describeCommand(command.describe, out);
      case CommandKind::Run:
        return runCommand(command.run, out);
      case CommandKind::Validate:
        return validateCommand(command.validate, out);
      case CommandKind::Summary:
        return summaryCommand(command.summary, out);
      case CommandKind::Assess:
        return assessCommand(command.assess, out);
      case CommandKind::Impulse:
        return impulseCommand(command.impulse, out);
      case CommandKind::Room:
        return roomCommand(command.room, out);
    }
    return kExitOk;
  } catch (const HostError& e) {
    out.flush();
    err << "orvane: " << e.what() << std::endl;
    return e.status();
  } catch (const std::bad_alloc&) {
    out.flush();
    err << "orvane: out of memory" << std::endl;
    return kExitFailure;
  } catch (const std::exception& e) {
    out.flush();
    err << "orvane: " << e.what() << std::endl;
    return kExitFailure;
  }
}

}  // namespace orvane

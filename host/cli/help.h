// The help texts of `orvane` (mainHelp) and of each command, as --help prints them.
#pragma once

#include <string>

namespace orvane {

std::string mainHelp();
std::string listHelp();
std::string describeHelp();
std::string runHelp();
std::string validateHelp();
std::string summaryHelp();
std::string assessHelp();
std::string impulseHelp();
std::string roomHelp();

}  // namespace orvane

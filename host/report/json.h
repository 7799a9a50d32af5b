// The JSON type of the host's reports: keys keep the order in which they were written, so
// the report reads in the order of the run.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace orvane {

using Json = nlohmann::ordered_json;

// Texts from plug-ins are 8-bit and need not be UTF-8: bytes that are not are replaced
// rather than refused.
inline std::string dumpJson(const Json& j, int indent = 2) {
  return j.dump(indent, ' ', false, Json::error_handler_t::replace);
}

}  // namespace orvane

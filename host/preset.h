// Presets: a parameter block saved as its raw bytes, exactly paramSize of them.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// Reads a preset for a block of `paramSize` bytes. Throws HostError (kExitBadInput) when the
// file cannot be read or has another size (a malformed preset).
std::vector<unsigned char> readPreset(const std::string& path, unsigned long paramSize);
// Writes the block's bytes. Throws HostError (kExitFailure) when the file cannot be written.
void writePreset(const std::string& path, const std::vector<unsigned char>& block);

}  // namespace orvane

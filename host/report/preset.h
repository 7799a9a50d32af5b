// Presets: a parameter block kept in a file, in one of two forms.
//  - Raw: exactly the block's paramSize bytes.
//  - JSON (a file name ending in ".json"), for a person to read and edit:
//      {"plugin": menu name, "paramSize": N, "paramTypes": letters,
//       "fields": [{"offset": 0, "type": "h", "value": 0}, ...],   in block order
//       "rest": ["00ab...", ...]}   the bytes beyond the typed fields, 32 per hex string
//    A field whose value cannot carry its bytes exactly (a NaN float, text with bytes after
//    its end) also has "hex", which wins over "value" when read back.
// Reading accepts either form whatever the file is called.
#pragma once

#include <string>
#include <vector>

#include "host/report/json.h"
#include "host/session/plugin.h"

namespace orvane {

// Reads a raw preset for a block of `paramSize` bytes. Throws HostError (kExitBadInput) when
// the file cannot be read or has another size (a malformed preset).
std::vector<unsigned char> readPreset(const std::string& path, unsigned long paramSize);
// Writes the block's raw bytes, whole or not at all (system/file_writing.h).
void writePreset(const std::string& path, const std::vector<unsigned char>& block);

// Reads a preset in either form for the plug-in `info` describes. Throws HostError
// (kExitBadInput) naming the problem for a malformed one.
std::vector<unsigned char> loadPreset(const std::string& path, const PluginInfo& info);
// Writes JSON when `path` ends in ".json", else the raw bytes.
void savePreset(const std::string& path, const std::vector<unsigned char>& block,
                const PluginInfo& info);

// The JSON form and back; blockFromPresetJson throws HostError (kExitBadInput) with the
// problem, prefixed by nothing (callers add the file name).
Json presetJson(const std::vector<unsigned char>& block, const PluginInfo& info);
std::vector<unsigned char> blockFromPresetJson(const Json& preset, const PluginInfo& info);

}  // namespace orvane

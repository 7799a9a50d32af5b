// What a RIFF WAVE file's header says of its length, to tell a file whose data chunk was cut
// (a copy that stopped short) from a whole one: libsndfile serves the frames that are there.
#pragma once

#include <string>

namespace orvane {

// The frames the data chunk's size gives (its bytes over the block size of "fmt "); -1 for a
// file that is no RIFF WAVE or whose header cannot be read.
long long wavHeaderFrames(const std::string& path);

// "data cut: N of M frames" when the header promises more than the `frames` there are; "".
std::string dataCutWarning(const std::string& path, long long frames);

}  // namespace orvane

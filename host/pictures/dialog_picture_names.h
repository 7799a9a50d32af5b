// Where the pictures of a run's dialogs go, on both systems: dialog-<resource>.png, and
// dialog-<resource>-<k>.png for the k-th (k >= 2) dialog of one resource, in the order the
// dialogs ended.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/person/person.h"

namespace orvane {

// The dialogs `pictured` accepts with their file names (no directory). The records belong to
// `dialogs`.
std::vector<std::pair<const DialogRecord*, std::string>> dialogPictureNames(
    const std::vector<DialogRecord>& dialogs, bool (*pictured)(const DialogRecord&));

// `name` inside `dir`.
std::string pictureInDirectory(const std::string& dir, const std::string& name);

}  // namespace orvane

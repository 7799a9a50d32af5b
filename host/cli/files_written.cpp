#include "host/cli/files_written.h"

#include "host/pictures/pictures.h"

namespace orvane {

void writeFilesWritten(std::ostream& out, const std::string& folder,
                       const std::vector<std::string>& written, bool pictureNote) {
  if (pictureNote && kPicturesAbsent) out << "Pictures: " << kPicturesAbsent << "\n";
  out << "\nFiles written to " << folder << ":\n";
  for (const std::string& path : written) out << "  " << path << "\n";
}

}  // namespace orvane

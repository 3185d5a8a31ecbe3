// Offline entries of the project: bringing them back when their files open again, and pointing
// them at files found in a folder.

#include "project/VideoProject.h"

namespace rw {

bool VideoProject::ReviveOffline() {
  return false;
}

bool VideoProject::Relink(const std::filesystem::path& /*folder*/, RelinkResult& result) {
  result = RelinkResult{};
  return false;
}

} // namespace rw

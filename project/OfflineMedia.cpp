#include "project/OfflineMedia.h"

#include "project/VideoClipList.h"

namespace rw {

std::vector<OfflineFile> OfflineMedia::List(const pVideoClipList& /*list*/) {
  return {};
}

std::string OfflineMedia::Message(const std::vector<OfflineFile>& /*files*/) {
  return {};
}

} // namespace rw

#pragma once

#include "media/ClipKindTable.h"
#include "media/VideoClip.h"

#include <span>
#include <string_view>

namespace rw {

using VideoClipKind = ClipKind<VideoClip>;

// The kinds of cut (AVI, picture, colour mat, in this order) and the operations over all of
// them (see ClipKindTable).
class VideoClipKinds : public ClipKindTable<VideoClip, VideoClipKinds> {
public:
  static constexpr std::string_view kUnknownKind = "不明なクリップの種類です: ";
  static std::span<const VideoClipKind> Table();
};

} // namespace rw

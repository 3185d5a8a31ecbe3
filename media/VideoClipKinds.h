#pragma once

#include "media/ClipKindTable.h"
#include "media/VideoClip.h"

namespace rw {

// The kinds of cut: AVI, picture and colour mat, in this order (see ClipKindTable).
using VideoClipKind = ClipKind<VideoClip>;
using VideoClipKinds = ClipKindTable<VideoClip>;

} // namespace rw

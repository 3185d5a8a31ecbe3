#pragma once

#include "media/AudioClip.h"
#include "media/ClipKindTable.h"

namespace rw {

// The kinds of audio clip: WAV, AVI audio and the sound of other movie and sound files, in this
// order (see ClipKindTable).
using AudioClipKind = ClipKind<AudioClip>;
using AudioClipKinds = ClipKindTable<AudioClip>;

} // namespace rw

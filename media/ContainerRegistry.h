#pragma once

#include "media/ContainerFrame.h"
#include "media/ContainerStream.h"
#include "media/MovieRegistry.h"

namespace rw {

// The open movie files in MP4, MOV, MKV and WebM of one program run and their frame decoders (see
// MovieRegistry).
class ContainerRegistry
    : public MovieRegistry<pContainerStream, pContainerFrame, ContainerStream, ContainerFrame> {
public:
  using MovieRegistry::MovieRegistry;
};

} // namespace rw

#pragma once

#include "media/AviFrame.h"
#include "media/AviStream.h"
#include "media/MovieRegistry.h"

namespace rw {

// The open AVI files of one program run and their frame decoders (see MovieRegistry).
class AviRegistry : public MovieRegistry<pAviStream, pAviFrame, AviStream, AviFrame> {
public:
  using MovieRegistry::MovieRegistry;
};

} // namespace rw

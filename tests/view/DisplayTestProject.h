#pragma once

// A project of numbered cuts for the tests of the window's display: every frame of cut `id` is
// one solid colour naming the cut and the frame (tests/support/TimelineTestMedia.h).

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "project/VideoProject.h"
#include "render/TransitionKinds.h"
#include "tests/support/TimelineTestMedia.h"

#include <gtest/gtest.h>

#include <string_view>

namespace rw::view::test {

class DisplayTestProject {
public:
  DisplayTestProject() { project.SetViewSize(160, 120); }

  // Appends a cut of `length` frames numbered `id`.
  void Cut(std::int32_t id, std::int32_t length) {
    ASSERT_TRUE(project.AppendClip(VideoClip::Make<rw::test::NumberedCut>(id, length)));
  }
  // A transition of the given kind and length into entry i.
  bool Transition(std::int32_t i, std::int32_t length, std::string_view keyword = "Overlap") {
    VideoTransition trans = TransitionKinds::MakeByKeyword(keyword);
    return trans.SetLength(length) && project.SetTransition(trans, i);
  }

  MessageText messages;
  FixedPrompt prompt{UserPrompt::Answer::No};
  MediaContext context{messages, prompt};
  VideoProject project{context};
};

// The colour of a picture's top-left pixel.
inline rw::test::FrameColor ColorOf(const DIB& picture) {
  const std::uint8_t* p =
      picture.Bits() + static_cast<std::ptrdiff_t>(picture.Height() - 1) * picture.Stride();
  return {p[2], p[1], p[0]};
}

} // namespace rw::view::test

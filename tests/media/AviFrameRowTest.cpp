// Pictures converted to sizes whose rows do not fill whole machine words: the converter must
// write each row's pixels and nothing beyond them, so the padding at the end of every row stays
// zero (and nothing past the buffer is touched).
#include "base/MessageText.h"
#include "media/AviRegistry.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

TEST(AviFrameRowTest, RowPaddingStaysZeroAtEveryWidth) {
  test::QuietMediaLibraries();
  test::TempDir dir;
  for (const test::TestAviCodec codec : {test::TestAviCodec::Mjpeg, test::TestAviCodec::RawBgr24}) {
    test::TestAviOptions o;
    o.codec = codec;
    o.width = 32;
    o.height = 32;
    o.frames = 2;
    o.texture = true;
    const auto file = dir / "texture.avi";
    ASSERT_TRUE(test::WriteTestAvi(file, o));
    AviRegistry registry;
    MessageText messages;
    AviStream stream = registry.OpenStream(file, messages);
    ASSERT_TRUE(stream) << messages.Get();
    for (int w = 27; w <= 37; ++w)
      for (const int h : {32, 17}) {
        AviFrame d = registry.OpenDecoder(stream, w, h);
        ASSERT_TRUE(d);
        const std::uint8_t* p = d->GetFrame(1);
        ASSERT_NE(p, nullptr);
        const int stride = (w * 3 + 3) & ~3;
        for (int row = 0; row < h; ++row)
          for (int x = w * 3; x < stride; ++x)
            ASSERT_EQ(p[row * stride + x], 0) << w << "x" << h << " row " << row << " byte " << x;
      }
  }
}

} // namespace
} // namespace rw

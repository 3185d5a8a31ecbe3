// Colour mats: the swatch and the sized mat, the length limits, the colour picker and the
// colour keys of the record.
#include "media/ColormatClip.h"

#include "base/ColorChooser.h"
#include "base/RecordWriter.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

// Every pixel of the picture is (r, g, b) and every padding byte is 0.
::testing::AssertionResult IsFilledWith(const BitmapInfoHeader* header, const std::uint8_t* bits, int r,
                                        int g, int b) {
  if (!header || !bits)
    return ::testing::AssertionFailure() << "no picture";
  const int stride = DIB::StrideOf(header->biWidth);
  for (int y = 0; y < header->biHeight; ++y) {
    const std::uint8_t* row = bits + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < header->biWidth; ++x) {
      if (row[3 * x] != b || row[3 * x + 1] != g || row[3 * x + 2] != r)
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << int(row[3 * x + 2])
                                             << "," << int(row[3 * x + 1]) << "," << int(row[3 * x]);
    }
    for (int p = header->biWidth * 3; p < stride; ++p) {
      if (row[p] != 0)
        return ::testing::AssertionFailure() << "padding byte " << p << " of row " << y;
    }
  }
  return ::testing::AssertionSuccess();
}

class AnswerChooser : public ColorChooser {
public:
  explicit AnswerChooser(bool confirm) : confirm_(confirm) {}
  bool Choose(std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) override {
    red = 12;
    green = 34;
    blue = 56;
    return confirm_;
  }

private:
  bool confirm_;
};

TEST(ColormatClip, NewMatsAreWhiteOrTheGivenColour) {
  ColormatClip blank;
  EXPECT_TRUE(blank.IsValid());
  EXPECT_EQ(blank.Length(), -1);
  EXPECT_EQ(blank.GetWidth(), 1);
  EXPECT_EQ(blank.GetHeight(), 1);
  EXPECT_TRUE(IsFilledWith(blank.GetFormat(), blank.GetFrame(0), 255, 255, 255));

  ColormatClip blue(0, 0, 255);
  EXPECT_EQ(blue.Length(), 30);
  EXPECT_EQ(blue.GetEndFrame(), 29);
  EXPECT_TRUE(IsFilledWith(blue.GetFormat(), blue.GetFirstFrame(), 0, 0, 255));
  EXPECT_EQ(blue.GetLastFrame(), blue.GetFirstFrame());
  EXPECT_TRUE(blue.IsKeyFrame(0));
  EXPECT_FALSE(blue.IsKeyFrame(1));
  EXPECT_TRUE(blue.IsNewFrame(0));
  EXPECT_FALSE(blue.IsNewFrame(5));
}

TEST(ColormatClip, SizingMakesAMatOnceAndKeepsIt) {
  ColormatClip mat(10, 200, 30);

  EXPECT_TRUE(mat.SetSize(1, 1));
  EXPECT_FALSE(mat.Mat().IsPresent());
  EXPECT_EQ(mat.GetFrame(0), mat.Swatch().Bits());

  EXPECT_TRUE(mat.SetSize(320, 240));
  EXPECT_EQ(mat.GetWidth(), 320);
  EXPECT_EQ(mat.GetHeight(), 240);
  EXPECT_EQ(mat.GetFormat()->biWidth, 320);
  EXPECT_TRUE(IsFilledWith(mat.GetFormat(), mat.GetFrame(7), 10, 200, 30));
  // The source picture stays the swatch.
  EXPECT_EQ(mat.GetSourceFormat()->biWidth, 1);
  EXPECT_TRUE(IsFilledWith(mat.GetSourceFormat(), mat.GetSourceFrame(0), 10, 200, 30));

  // The swatch's size leaves the mat in place; so does asking for its own size again.
  const std::uint8_t* pixels = mat.GetFrame(0);
  EXPECT_TRUE(mat.SetSize(1, 1));
  EXPECT_TRUE(mat.SetSize(320, 240));
  EXPECT_EQ(mat.GetWidth(), 320);
  EXPECT_EQ(mat.GetFrame(0), pixels);

  mat.SetColor(1, 2, 3);
  EXPECT_TRUE(IsFilledWith(mat.GetFormat(), mat.GetFrame(0), 1, 2, 3));
  EXPECT_TRUE(IsFilledWith(mat.GetSourceFormat(), mat.GetSourceFrame(0), 1, 2, 3));

  // Odd widths have row padding, which must stay 0.
  EXPECT_TRUE(mat.SetSize(81, 37));
  EXPECT_TRUE(IsFilledWith(mat.GetFormat(), mat.GetFrame(0), 1, 2, 3));
}

TEST(ColormatClip, RefusesImpossibleSizesAndStaysAsItWas) {
  ColormatClip mat(5, 5, 5);
  ASSERT_TRUE(mat.SetSize(16, 8));
  EXPECT_FALSE(mat.SetSize(0, 10));
  EXPECT_FALSE(mat.SetSize(10, -1));
  EXPECT_FALSE(mat.SetSize(1 << 30, 1 << 30));
  EXPECT_EQ(mat.GetWidth(), 16);
  EXPECT_EQ(mat.GetHeight(), 8);
  EXPECT_TRUE(IsFilledWith(mat.GetFormat(), mat.GetFrame(0), 5, 5, 5));
}

TEST(ColormatClip, LengthLimits) {
  ColormatClip mat(0, 0, 0);
  EXPECT_FALSE(mat.SetLength(32768));
  EXPECT_EQ(mat.Length(), 30);
  EXPECT_FALSE(mat.SetLength(-1));
  EXPECT_TRUE(mat.SetLength(32767));
  EXPECT_EQ(mat.Length(), 32767);
  EXPECT_TRUE(mat.SetLength(0));
  EXPECT_EQ(mat.Length(), 0);
  EXPECT_EQ(mat.GetEndFrame(), -1);
  EXPECT_EQ(mat.GetSourceLength(), 32767);
  // A mat has no trimming of its own.
  EXPECT_FALSE(mat.SetBeginFrame(3));
  EXPECT_FALSE(mat.SetEndFrame(3));
  EXPECT_FALSE(mat.HasBeginEnd());
}

TEST(ColormatClip, ConfigureTakesTheChosenColourOnlyWhenConfirmed) {
  ColormatClip mat(100, 100, 100);
  mat.SetSize(4, 4);
  AnswerChooser cancel(false);
  EXPECT_FALSE(mat.Configure(cancel));
  EXPECT_EQ(mat.Red(), 100u);
  EXPECT_TRUE(IsFilledWith(mat.GetFormat(), mat.GetFrame(0), 100, 100, 100));

  AnswerChooser ok(true);
  EXPECT_TRUE(mat.Configure(ok));
  EXPECT_EQ(mat.Green(), 34u);
  EXPECT_TRUE(IsFilledWith(mat.GetFormat(), mat.GetFrame(0), 12, 34, 56));
  EXPECT_TRUE(IsFilledWith(mat.GetSourceFormat(), mat.GetSourceFrame(0), 12, 34, 56));
}

TEST(ColormatClip, CloneOwnsItsPictures) {
  ColormatClip original(9, 8, 7);
  original.SetSize(20, 10);
  VideoClip copy = VideoClip::Adopt(original.Clone());
  auto& mat = static_cast<ColormatClip&>(*copy);
  EXPECT_EQ(copy.UseCount(), 1);
  EXPECT_EQ(mat.Length(), 30);
  EXPECT_EQ(mat.GetWidth(), 20);
  EXPECT_NE(mat.GetFrame(0), original.GetFrame(0));
  mat.SetColor(1, 1, 1);
  EXPECT_TRUE(IsFilledWith(original.GetFormat(), original.GetFrame(0), 9, 8, 7));
  EXPECT_TRUE(IsFilledWith(original.GetSourceFormat(), original.GetSourceFrame(0), 9, 8, 7));
  EXPECT_TRUE(IsFilledWith(mat.GetFormat(), mat.GetFrame(0), 1, 1, 1));
}

TEST(ColormatClip, ColourKeysAreKeptAsReadAndPaintedClamped) {
  VideoClip blank = VideoClip::Make<ColormatClip>();
  EXPECT_TRUE(blank->LoadExtra("colorred", "300"));
  EXPECT_TRUE(blank->LoadExtra("COLORGREEN", "-4"));
  EXPECT_FALSE(blank->LoadExtra("ColorAlpha", "1"));
  EXPECT_FALSE(blank->LoadExtra("TotalFrame", "1"));
  const VideoClip rebuilt = blank->Rebuild();
  EXPECT_EQ(rebuilt, blank);
  const auto& mat = static_cast<const ColormatClip&>(*rebuilt);
  EXPECT_EQ(mat.Red(), 300u);
  EXPECT_EQ(mat.Blue(), 255u);
  EXPECT_TRUE(IsFilledWith(rebuilt->GetFormat(), rebuilt->GetFrame(0), 255, 0, 255));

  RecordWriter writer;
  EXPECT_TRUE(mat.SaveExtra(writer, 2));
  EXPECT_EQ(writer.Text(), "    ColorRed: 300\n    ColorGreen: -4\n    ColorBlue: 255\n");
}

TEST(ColormatClip, RebuildKeepsALengthItCannotTake) {
  VideoClip blank = VideoClip::Make<ColormatClip>();
  EXPECT_TRUE(blank->LoadExtra("ColorBlue", "0"));
  const VideoClip rebuilt = blank->Rebuild();
  EXPECT_EQ(rebuilt->Length(), -1);
  EXPECT_TRUE(IsFilledWith(rebuilt->GetFormat(), rebuilt->GetFrame(0), 255, 255, 0));
}

} // namespace
} // namespace rw

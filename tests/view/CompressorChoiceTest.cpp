#include "view/CompressorChoice.h"

#include "output/CompressorCatalogue.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

std::uint32_t Code(const char* text) {
  return *CompressorCatalogue::ParseCode(text);
}

// Every compressor the program knows, as if all of them worked here.
std::vector<const CompressorInfo*> AllKnown() {
  std::vector<const CompressorInfo*> entries;
  for (const CompressorInfo& info : CompressorCatalogue::Known())
    entries.push_back(&info);
  return entries;
}

std::int32_t RowOf(const CompressorChoice& choice, const char* code) {
  for (std::size_t i = 0; i < choice.Rows().size(); ++i)
    if (choice.Rows()[i].code == Code(code))
      return static_cast<std::int32_t>(i);
  return -1;
}

TEST(CompressorChoice, ListsTheEntriesWithTheirDescriptions) {
  const CompressorInfo* mjpg = CompressorCatalogue::FindKnown(Code("MJPG"));
  const CompressorInfo* ffv1 = CompressorCatalogue::FindKnown(Code("FFV1"));
  const CompressorChoice choice({mjpg, ffv1});
  ASSERT_EQ(choice.Rows().size(), 2u);
  EXPECT_EQ(choice.Rows()[0].text, "Motion JPEG (MJPG)");
  EXPECT_EQ(choice.Rows()[1].text, std::string(ffv1->description) + " (FFV1)");
  EXPECT_EQ(choice.Selected(), 0);
  // Codes are shown without trailing spaces, unprintable bytes in the stored form.
  EXPECT_EQ(CompressorChoice::CodeLabel(Code("DIB ")), "DIB");
  EXPECT_EQ(CompressorChoice::CodeLabel(Code("cvid")), "cvid");
  EXPECT_EQ(CompressorChoice::CodeLabel(Code("A\\001BC")), "A\\001BC");
  EXPECT_EQ(CompressorChoice::CodeLabel(Code(" ")), "\\040\\040\\040\\040");
}

TEST(CompressorChoice, LoadSelectsTheStoredCode) {
  CompressorChoice choice(AllKnown());
  CompressOptions stored;
  stored.fccHandler = Code("mjpg");
  choice.Load(stored);
  EXPECT_EQ(choice.Selected(), RowOf(choice, "MJPG"));
  EXPECT_EQ(choice.Notice(), "");
  // No code yet: the first row, no notice.
  choice.Load(CompressOptions{});
  EXPECT_EQ(choice.Selected(), 0);
  EXPECT_EQ(choice.Notice(), "");
  // A code that does not work here: the first row, and the user is told.
  stored.fccHandler = Code("XVID");
  choice.Load(stored);
  EXPECT_EQ(choice.Selected(), 0);
  EXPECT_NE(choice.Notice().find("'XVID'"), std::string::npos) << choice.Notice();
  // Nothing to list: nothing selected.
  CompressorChoice empty({});
  empty.Load(stored);
  EXPECT_EQ(empty.Selected(), -1);
  EXPECT_FALSE(empty.QualityEnabled());
  EXPECT_EQ(empty.Apply(stored), stored);
}

TEST(CompressorChoice, ControlsAreUsableWhereTheEncoderHonoursThem) {
  CompressorChoice choice(AllKnown());
  for (std::size_t i = 0; i < choice.Rows().size(); ++i) {
    choice.Select(static_cast<std::int32_t>(i));
    const CompressorInfo* info = CompressorCatalogue::FindKnown(choice.Rows()[i].code);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(choice.QualityEnabled(), info->quality) << info->CodeText();
    EXPECT_EQ(choice.KeyFramesEnabled(), info->keyFrames) << info->CodeText();
    EXPECT_EQ(choice.DataRateEnabled(), info->dataRate) << info->CodeText();
  }
  choice.Select(99);
  EXPECT_EQ(choice.Selected(), static_cast<std::int32_t>(choice.Rows().size()) - 1);
}

TEST(CompressorChoice, LoadShowsTheStoredValues) {
  CompressorChoice choice(AllKnown());
  CompressOptions stored;
  stored.fccHandler = Code("MJPG");
  stored.dwQuality = 0xFFFFFFFFu; // the compressor's default
  stored.dwKeyFrameEvery = 0;
  stored.dwBytesPerSecond = 1023; // less than a kilobyte: not shown
  choice.Load(stored);
  EXPECT_EQ(choice.Values(), CompressorChoice::Controls{});
  stored.dwQuality = 5049;
  stored.dwKeyFrameEvery = 12;
  stored.dwBytesPerSecond = 300 * 1024 + 5;
  stored.dwFlags = CompressorChoice::kFlagKeyFrames | CompressorChoice::kFlagDataRate;
  choice.Load(stored);
  EXPECT_EQ(choice.Values(), (CompressorChoice::Controls{50, true, 12, true, 300}));
}

TEST(CompressorChoice, ApplyWritesTheCodeAndTheHonouredValues) {
  CompressorChoice choice(AllKnown());
  CompressOptions stored;
  stored.fccHandler = Code("MJPG");
  stored.dwQuality = 0xFFFFFFFFu;
  stored.dwKeyFrameEvery = 7;
  stored.dwBytesPerSecond = 1500;
  stored.dwFlags = CompressorChoice::kFlagDataRate;
  stored.dwInterleaveEvery = 3;
  choice.Load(stored);

  // Nothing touched: only the code, its type and the valid mark change.
  choice.Select(RowOf(choice, "FMP4"));
  CompressOptions out = choice.Apply(stored);
  EXPECT_EQ(out.fccType, CompressorChoice::kVideoType);
  EXPECT_EQ(out.fccHandler, Code("FMP4"));
  EXPECT_EQ(out.dwQuality, 0xFFFFFFFFu);
  EXPECT_EQ(out.dwKeyFrameEvery, 7u);
  EXPECT_EQ(out.dwBytesPerSecond, 1500u);
  EXPECT_EQ(out.dwFlags, CompressorChoice::kFlagDataRate | CompressorChoice::kFlagValid);
  EXPECT_EQ(out.dwInterleaveEvery, 3u);

  // Changed values of an encoder that honours them.
  choice.Values().quality = 40;
  choice.Values().keyFramesOn = true;
  choice.Values().keyFrameEvery = 15;
  choice.Values().dataRateOn = false;
  out = choice.Apply(stored);
  EXPECT_EQ(out.dwQuality, 4000u);
  EXPECT_EQ(out.dwKeyFrameEvery, 15u);
  EXPECT_EQ(out.dwBytesPerSecond, 1500u);
  EXPECT_EQ(out.dwFlags, CompressorChoice::kFlagKeyFrames | CompressorChoice::kFlagValid);
  choice.Values().dataRateOn = true;
  choice.Values().kilobytesPerSecond = 500;
  EXPECT_EQ(choice.Apply(stored).dwBytesPerSecond, 500u * 1024);

  // The same values for a lossless encoder that honours none of them: all stay as stored.
  choice.Select(RowOf(choice, "HFYU"));
  out = choice.Apply(stored);
  EXPECT_EQ(out.fccHandler, Code("HFYU"));
  EXPECT_EQ(out.dwQuality, 0xFFFFFFFFu);
  EXPECT_EQ(out.dwKeyFrameEvery, 7u);
  EXPECT_EQ(out.dwBytesPerSecond, 1500u);
  EXPECT_EQ(out.dwFlags, CompressorChoice::kFlagDataRate | CompressorChoice::kFlagValid);

  // Nothing selected: the stored choice as it was.
  choice.Select(-1);
  EXPECT_EQ(choice.Apply(stored), stored);
}

TEST(CompressorChoice, FirstChoiceStartsFromTheDefaults) {
  // Settings never chosen are all zero: a quality of 0 there means nothing, the defaults are shown
  // and written.
  CompressorChoice choice(AllKnown());
  choice.Load(CompressOptions{});
  EXPECT_EQ(choice.Values(), CompressorChoice::Controls{});
  choice.Select(RowOf(choice, "MJPG"));
  CompressOptions out = choice.Apply(CompressOptions{});
  EXPECT_EQ(out.dwQuality, 7500u);
  EXPECT_EQ(out.dwFlags, CompressorChoice::kFlagValid);
  EXPECT_EQ(out.dwBytesPerSecond, 0u);
  choice.Values().dataRateOn = true;
  out = choice.Apply(CompressOptions{});
  EXPECT_EQ(out.dwBytesPerSecond,
            static_cast<std::uint32_t>(CompressorChoice::kDefaultKilobytesPerSecond) * 1024);
  EXPECT_EQ(out.dwFlags, CompressorChoice::kFlagDataRate | CompressorChoice::kFlagValid);
  // Chosen once, a stored quality of 0 is the lowest quality.
  CompressOptions stored = out;
  stored.dwQuality = 0;
  choice.Load(stored);
  EXPECT_EQ(choice.Values().quality, 0);
  EXPECT_EQ(choice.Apply(stored).dwQuality, 0u);
}

} // namespace
} // namespace rw::view

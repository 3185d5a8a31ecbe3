// The kind table's operations over all kinds: opening a file, the joined filter and the check
// for outside changes.
#include "media/VideoClipKinds.h"
#include "media/MediaContext.h"
#include "tests/support/VideoClipTestKinds.h"

#include "base/MessageText.h"
#include "base/UserPrompt.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace rw {
namespace {

using test::KindCounters;
using test::TestVideoClip;

KindCounters gCounters;
int gChecks = 0;

VideoClip OpenNothing(const std::filesystem::path&, MediaContext&) {
  return VideoClip();
}
VideoClip OpenInvalid(const std::filesystem::path&, MediaContext&) {
  auto* clip = new TestVideoClip(&gCounters);
  clip->SetValid(false);
  return VideoClip::Adopt(clip);
}
VideoClip OpenValid(const std::filesystem::path& file, MediaContext&) {
  auto* clip = new TestVideoClip(&gCounters);
  clip->SetFileName(file);
  return VideoClip::Adopt(clip);
}
bool CheckChanged(MediaContext&) {
  ++gChecks;
  return true;
}
bool CheckUnchanged(MediaContext&) {
  ++gChecks;
  return false;
}

class VideoClipKindsTest : public ::testing::Test {
protected:
  void SetUp() override {
    gCounters = {};
    gChecks = 0;
  }
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
};

TEST_F(VideoClipKindsTest, OpenFileTakesTheFirstValidClip) {
  const std::array<VideoClipKind, 4> kinds = {{
      {&OpenNothing, nullptr, "A", "", nullptr},
      {&OpenInvalid, nullptr, "B", "", nullptr},
      {nullptr, nullptr, "C", "", nullptr},
      {&OpenValid, nullptr, "D", "", nullptr},
  }};
  const VideoClip clip = VideoClipKinds::OpenFile(kinds, "/x/movie.avi", context);
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->FileName(), "/x/movie.avi");
  EXPECT_EQ(gCounters.destroyed, 1); // the invalid one was released

  const std::array<VideoClipKind, 2> refusing = {{
      {&OpenInvalid, nullptr, "B", "", nullptr},
      {&OpenNothing, nullptr, "A", "", nullptr},
  }};
  EXPECT_FALSE(VideoClipKinds::OpenFile(refusing, "/x/movie.avi", context));
  EXPECT_EQ(gCounters.destroyed, 2);

  // The program's own table: a file that no kind opens gives nothing.
  EXPECT_FALSE(VideoClipKinds::OpenFile("/nowhere/none.xyz", context));
}

TEST_F(VideoClipKindsTest, JoinedFilterEndsWithTheMatsSeparator) {
  const std::string filter = VideoClipKinds::FileFilter();
  // AVI first, the picture row before the mat's empty filter.
  EXPECT_EQ(filter.rfind("Video for Windows(*.AVI)|*.AVI|", 0), 0u);
  const std::string pictures = "Windows Bitmap(*.BMP)|*.BMP|Truevision Targa(*.TGA)|*.TGA|PNG(*.PNG)|*.PNG|"
                               "JPEG(*.JPG;*.JPEG)|*.JPG;*.JPEG|";
  ASSERT_GE(filter.size(), pictures.size());
  EXPECT_EQ(filter.substr(filter.size() - pictures.size()), pictures);
  EXPECT_EQ(filter.back(), '|');
  // A buffer of exactly the right size takes everything.
  EXPECT_EQ(VideoClipKinds::FileFilter(filter.size() + 1), filter);
}

TEST_F(VideoClipKindsTest, JoinedFilterFitsTheCallersBuffer) {
  const std::array<VideoClipKind, 3> kinds = {{
      {nullptr, nullptr, "A", "abc", nullptr},
      {nullptr, nullptr, "B", "defg", nullptr},
      {nullptr, nullptr, "C", "", nullptr},
  }};
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 100), "abc|defg|");
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 0), "");
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 1), "");
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 3), "ab");
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 4), "abc"); // 1 byte of room left: nothing more
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 5), "abc|");
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 7), "abc|de");
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 9), "abc|defg");
  EXPECT_EQ(VideoClipKinds::FileFilter(kinds, 10), "abc|defg|");

  // Cutting never splits a character.
  const std::array<VideoClipKind, 1> wide = {{{nullptr, nullptr, "W", "サウンド", nullptr}}};
  EXPECT_EQ(VideoClipKinds::FileFilter(wide, 6), "サ");
  EXPECT_EQ(VideoClipKinds::FileFilter(wide, 3), "");
}

TEST_F(VideoClipKindsTest, CheckFilesAsksEveryKind) {
  const std::array<VideoClipKind, 4> kinds = {{
      {nullptr, nullptr, "A", "", &CheckUnchanged},
      {nullptr, nullptr, "B", "", &CheckChanged},
      {nullptr, nullptr, "C", "", nullptr},
      {nullptr, nullptr, "D", "", &CheckUnchanged},
  }};
  EXPECT_TRUE(VideoClipKinds::CheckFiles(kinds, context));
  EXPECT_EQ(gChecks, 3);

  const std::array<VideoClipKind, 2> quiet = {{
      {nullptr, nullptr, "A", "", &CheckUnchanged},
      {nullptr, nullptr, "D", "", &CheckUnchanged},
  }};
  EXPECT_FALSE(VideoClipKinds::CheckFiles(quiet, context));
}

TEST_F(VideoClipKindsTest, KeywordsDispatchInTableOrder) {
  const auto table = VideoClipKinds::Table();
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(table[0].keyword, "AVI");
  EXPECT_EQ(table[1].keyword, "Movie");
  EXPECT_EQ(table[2].keyword, "PIC");
  EXPECT_EQ(table[3].keyword, "Mat");
  // A colour mat comes from a record or the editor's command, never from a file.
  EXPECT_EQ(table[3].openFile, nullptr);
}

} // namespace
} // namespace rw

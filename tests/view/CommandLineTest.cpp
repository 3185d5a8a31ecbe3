#include "view/CommandLine.h"
#include "project/MediaFiles.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

TEST(CommandLineKinds, EveryMovieAndSoundExtensionInEitherCase) {
  for (const char* name : {"a.mp4", "b.M4V", "c.Mov", "d.mkv", "e.WEBM", "f.avi"}) {
    EXPECT_EQ(CommandLine::KindOf(name), CommandLine::Kind::Movie) << name;
    EXPECT_EQ(MediaFiles::KindOf(name), MediaFiles::Kind::Movie) << name;
  }
  for (const char* name : {"a.mp3", "b.M4A", "c.Flac", "d.ogg", "e.OPUS", "f.wav"}) {
    EXPECT_EQ(CommandLine::KindOf(name), CommandLine::Kind::Sound) << name;
    EXPECT_EQ(MediaFiles::KindOf(name), MediaFiles::Kind::Sound) << name;
  }
  // Pictures are cuts for the command-line tool, but the window takes none from its command line
  // or a drop.
  for (const char* name : {"a.png", "b.JPG", "c.jpeg", "d.Bmp", "e.tga"}) {
    EXPECT_EQ(MediaFiles::KindOf(name), MediaFiles::Kind::Picture) << name;
    EXPECT_EQ(CommandLine::KindOf(name), CommandLine::Kind::Other) << name;
  }
  for (const char* name : {"a.mp4.txt", "mp4", "/x.mkv/clip", "a.webm~", "a.m4"})
    EXPECT_EQ(MediaFiles::KindOf(name), MediaFiles::Kind::Other) << name;
}

TEST(CommandLineKinds, NewKindsKeepTheirOrderBesideTheOldOnes) {
  const CommandLine line = CommandLine::Parse({"a.MP4", "b.opus", "c.png", "d.avi", "e.Flac", "f.mkv"});
  ASSERT_EQ(line.Media().size(), 5u);
  const CommandLine::Kind kinds[] = {CommandLine::Kind::Movie, CommandLine::Kind::Sound,
                                     CommandLine::Kind::Movie, CommandLine::Kind::Sound,
                                     CommandLine::Kind::Movie};
  for (std::size_t i = 0; i < 5; ++i)
    EXPECT_EQ(line.Media()[i].kind, kinds[i]) << i;
  EXPECT_EQ(line.Media()[2].file, "d.avi");
}

} // namespace
} // namespace rw::view

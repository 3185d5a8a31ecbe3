// The cut record: what is written, round trips through the reader, and the reader's failures.
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "media/VideoClipKinds.h"
#include "media/VideoClipRecord.h"
#include "tests/support/TempDir.h"
#include "tests/support/VideoClipTestKinds.h"

#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/UserPrompt.h"

#include <gtest/gtest.h>

#include <string>

namespace rw {
namespace {

using test::TestAudioClip;
using test::TestVideoClip;

class ClipRecord : public ::testing::Test {
protected:
  // Reads a colour-mat record through the keyword dispatch.
  VideoClip LoadMat(const std::string& text) {
    RecordReader reader(text);
    return VideoClipKinds::LoadRecord("Mat", reader, context);
  }
  const ColormatClip& AsMat(const VideoClip& clip) { return static_cast<const ColormatClip&>(*clip); }

  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
};

TEST_F(ClipRecord, ColourMatIsWrittenAsTheProjectFileHoldsIt) {
  ColormatClip mat(0, 0, 255);
  mat.SetLength(90);
  RecordWriter writer;
  EXPECT_TRUE(VideoClipRecord::Write(mat, writer, 1));
  EXPECT_EQ(writer.Text(), "  begin\n"
                           "    TotalFrame: 90\n"
                           "    ColorRed: 0\n"
                           "    ColorGreen: 0\n"
                           "    ColorBlue: 255\n"
                           "  end\n");
}

TEST_F(ClipRecord, ColourMatRoundTrip) {
  ColormatClip mat(17, 0, 254);
  mat.SetLength(32767);
  RecordWriter writer;
  ASSERT_TRUE(VideoClipRecord::Write(mat, writer, 1));

  const VideoClip loaded = LoadMat(writer.Text());
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(loaded->IsValid());
  EXPECT_EQ(loaded->GetKindName(), "Mat");
  EXPECT_EQ(loaded->Length(), 32767);
  EXPECT_EQ(AsMat(loaded).Red(), 17u);
  EXPECT_EQ(AsMat(loaded).Green(), 0u);
  EXPECT_EQ(AsMat(loaded).Blue(), 254u);
  EXPECT_EQ(loaded.UseCount(), 1); // the blank it was read into is gone
  EXPECT_TRUE(messages.Empty());
}

TEST_F(ClipRecord, ColourMatWithOnlyRedKeepsTheValueAsRead) {
  const VideoClip loaded = LoadMat("begin\n  ColorRed: 300\nend\n");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(AsMat(loaded).Red(), 300u);
  EXPECT_EQ(AsMat(loaded).Green(), 255u);
  EXPECT_EQ(AsMat(loaded).Blue(), 255u);
  EXPECT_EQ(loaded->Length(), -1);

  // Written back unchanged.
  RecordWriter writer;
  VideoClipRecord::Write(*loaded, writer, 0);
  EXPECT_NE(writer.Text().find("ColorRed: 300\n"), std::string::npos);
  EXPECT_NE(writer.Text().find("TotalFrame: -1\n"), std::string::npos);
}

TEST_F(ClipRecord, ReaderToleratesCommentsCaseAndUnknownKeys) {
  const VideoClip loaded = LoadMat("// a comment\n"
                                   "\n"
                                   "stray\n"
                                   "BEGIN\n"
                                   "  totalframe: 40000\n"
                                   "  // ColorRed: 1\n"
                                   "  Shade: 12\n"
                                   "  interlude\n"
                                   "  colorgreen:7\r\n"
                                   "  ColorBlue   :   12abc  \n"
                                   "End\n"
                                   "  ColorRed: 3\n");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Length(), 40000); // a length the mat cannot take stays as read
  EXPECT_EQ(AsMat(loaded).Red(), 255u);
  EXPECT_EQ(AsMat(loaded).Green(), 7u);
  EXPECT_EQ(AsMat(loaded).Blue(), 12u);
}

TEST_F(ClipRecord, ReaderStopsAtTheEndOfItsBlock) {
  const std::string text = "begin\nTotalFrame: 5\nend\nnext: line\n";
  RecordReader reader(text);
  ASSERT_TRUE(VideoClipKinds::LoadRecord("mAT", reader, context));
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "next: line");
}

TEST_F(ClipRecord, ReaderFailures) {
  struct Case {
    const char* name;
    const char* text;
  } const cases[] = {
      {"empty input", ""},
      {"only comments", "// nothing\n\n"},
      {"key line before begin", "TotalFrame: 5\nbegin\nend\n"},
      {"key named begin", "begin: 1\nend\n"},
      {"no end", "begin\n  TotalFrame: 5\n  ColorRed: 1\n"},
      {"cut off inside a line", "begin\n  TotalFrame: 5\n  ColorRe"},
      {"end as a key", "begin\n  end: now\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.Clear();
    EXPECT_FALSE(LoadMat(c.text));
    EXPECT_FALSE(messages.Empty());
  }
}

TEST_F(ClipRecord, UnknownKeywordLeavesTheRecordUnread) {
  const std::string text = "begin\n  TotalFrame: 5\nend\n";
  RecordReader reader(text);
  EXPECT_FALSE(VideoClipKinds::LoadRecord("Matte", reader, context));
  EXPECT_FALSE(VideoClipKinds::LoadRecord("", reader, context));
  EXPECT_NE(messages.Get().find("Matte"), std::string::npos);
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "begin");
}

TEST_F(ClipRecord, MovieClipKeysAndFileNamesRoundTrip) {
  test::TempDir dir;
  const auto folder = dir.Path() / "project folder";
  const char* names[] = {"clip.avi", "with space.avi", "sub dir/\"quoted\" name.avi", "日本語 の.avi"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    TestVideoClip clip;
    clip.SetFileName(folder / std::filesystem::path(reinterpret_cast<const char8_t*>(name)));
    clip.SetBeginFrame(12);
    clip.SetEndFrame(345);
    auto audio = AudioClip::Make<TestAudioClip>();
    audio->SetVolumeMember(100);
    clip.SetAudio(audio);

    RecordWriter writer(folder);
    ASSERT_TRUE(VideoClipRecord::Write(clip, writer, 1));
    const std::string& text = writer.Text();
    EXPECT_EQ(text.find("TotalFrame"), std::string::npos);
    EXPECT_NE(text.find("    StartFrame: 12\n    EndFrame: 345\n    Volume: 100\n"), std::string::npos);
    EXPECT_EQ(text.find(folder.string()), std::string::npos) << "stored relative: " << text;

    TestVideoClip blank;
    RecordReader reader(text, folder);
    ASSERT_TRUE(VideoClipRecord::Read(blank, reader, &messages)) << messages.Get();
    EXPECT_EQ(blank.FileName(), clip.FileName());
    EXPECT_EQ(blank.GetBeginFrame(), 12);
    EXPECT_EQ(blank.GetEndFrame(), 345);
    EXPECT_EQ(blank.LoadedVolume(), 100);
  }
}

TEST_F(ClipRecord, OptionalKeysAreLeftOut) {
  TestVideoClip still(nullptr, /*hasBeginEnd=*/false);
  still.SetLength(75);
  still.SetAudio(AudioClip::Make<TestAudioClip>(nullptr, /*valid=*/false));
  RecordWriter writer;
  ASSERT_TRUE(VideoClipRecord::Write(still, writer, 0));
  EXPECT_EQ(writer.Text(), "begin\n  TotalFrame: 75\nend\n");
}

// A kind whose own keys include one of the common ones: the kind is asked first.
class VolumeTakingClip : public TestVideoClip {
public:
  bool LoadExtra(std::string_view key, std::string_view value) override {
    if (key != "Volume")
      return false;
    taken = std::string(value);
    return true;
  }
  std::string taken;
};

TEST_F(ClipRecord, KindKeysAreOfferedBeforeCommonKeys) {
  VolumeTakingClip blank;
  RecordReader reader("begin\nVolume: 99\nvolume: 7\nend\n");
  ASSERT_TRUE(VideoClipRecord::Read(blank, reader));
  EXPECT_EQ(blank.taken, "99");
  EXPECT_EQ(blank.LoadedVolume(), 7); // other spelling: not the kind's, so the common key
}

} // namespace
} // namespace rw

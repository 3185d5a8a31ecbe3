#include "media/AudioClipRecord.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/UserPrompt.h"
#include "media/AudioClipKinds.h"
#include "media/MediaContext.h"
#include "media/WavClip.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

// A kind without a file whose Rebuild answers the record as read.
class PlainClip : public pAudioClip {
public:
  pAudioClip* Clone() const override { return new PlainClip(*this); }
  std::int32_t GetBeginSample() const override { return 7; }
  std::string_view GetKindName() const override { return "Plain"; }
  bool LoadExtra(std::string_view key, std::string_view value) override {
    if (key != "Extra")
      return false;
    extra = std::string(value);
    return true;
  }
  bool SaveExtra(RecordWriter& writer, int level) const override {
    writer.Key(level, "Extra", "x y");
    return true;
  }
  std::string extra;
};

class AudioClipRecordTest : public ::testing::Test {
protected:
  AudioClipRecordTest() { test::WriteToneWav(dir / "sound" / "theme music.wav", 88200, 2, 16, 44100); }

  AudioClip Load(const std::string& text, std::string_view keyword = "WAV") {
    RecordReader reader(text, dir.Path());
    return AudioClipKinds::LoadRecord(keyword, reader, context);
  }

  test::TempDir dir;
  bool made = std::filesystem::create_directory(dir / "sound");
  std::filesystem::path music = dir / "sound" / "theme music.wav";
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
};

TEST_F(AudioClipRecordTest, WritesTheBlock) {
  AudioClip clip = WavClip::OpenFile(music, context);
  ASSERT_TRUE(clip);
  clip.SetPlayFrame(5);
  clip->SetOverClipMember(false);
  RecordWriter writer(dir.Path());
  ASSERT_TRUE(AudioClipRecord::Write(*clip, writer, 1));
  EXPECT_EQ(writer.Text(), "  begin\n"
                           "    FileName: \"sound/theme music.wav\"\n"
                           "    StartSample: 0\n"
                           "    TotalSample: 88200\n"
                           "    PlayFrame: 5\n"
                           "    OverClip: OFF\n"
                           "    Volume: 256\n"
                           "  end\n");
}

TEST_F(AudioClipRecordTest, RoundTrip) {
  AudioClip clip = WavClip::OpenFile(music, context);
  ASSERT_TRUE(clip.SetBeginSample(1000));
  ASSERT_TRUE(clip.SetLength(5000));
  ASSERT_TRUE(clip.SetPlayFrame(-12));
  ASSERT_TRUE(clip.SetVolume(100));
  RecordWriter writer(dir.Path());
  ASSERT_TRUE(AudioClipRecord::Write(*clip, writer, 0));

  AudioClip back = Load(writer.Text());
  ASSERT_TRUE(back) << messages.Get();
  EXPECT_NE(back, clip);
  EXPECT_EQ(back->FileName(), music);
  EXPECT_EQ(back->GetBeginSample(), 1000);
  EXPECT_EQ(back->GetEndSample(), 5999);
  EXPECT_EQ(back->Length(), 5000);
  EXPECT_EQ(back->PlayFrame(), -12);
  EXPECT_EQ(back->Volume(), 100);
  EXPECT_TRUE(back->OverClip());
}

TEST_F(AudioClipRecordTest, ReadingRules) {
  PlainClip blank;
  const std::string text = "// a comment\n"
                           "begin\n"
                           "  overclip: On\n"
                           "  unknown: 3\n"
                           "  Extra: kept\n"
                           "  VOLUME:  100  \n"
                           "  StartSample: 12abc\n"
                           "  TotalSample: many\n"
                           "end\n"
                           "after\n";
  RecordReader reader(text, dir.Path());
  ASSERT_TRUE(AudioClipRecord::Read(blank, reader));
  EXPECT_TRUE(blank.OverClip());
  EXPECT_EQ(blank.Volume(), 100);
  EXPECT_EQ(blank.extra, "kept");
  EXPECT_EQ(blank.Length(), 0);
  EXPECT_TRUE(blank.FileName().empty());
  std::string rest;
  ASSERT_TRUE(reader.ReadLine(rest));
  EXPECT_EQ(rest, "after");

  for (const char* value : {"OFF", "of", "O", "", "xON"}) {
    PlainClip clip;
    RecordReader r("begin\nOverClip: " + std::string(value) + "\nend\n");
    ASSERT_TRUE(AudioClipRecord::Read(clip, r));
    EXPECT_FALSE(clip.OverClip()) << value;
  }
  PlainClip clip;
  RecordReader r("begin\nOverClip: ONWARDS\nend\n");
  ASSERT_TRUE(AudioClipRecord::Read(clip, r));
  EXPECT_TRUE(clip.OverClip());
}

TEST_F(AudioClipRecordTest, VolumeAndExtraSurviveAnyKind) {
  PlainClip clip;
  clip.SetVolumeMember(100);
  RecordWriter writer;
  ASSERT_TRUE(AudioClipRecord::Write(clip, writer, 0));
  EXPECT_NE(writer.Text().find("StartSample: 7\n"), std::string::npos);
  EXPECT_EQ(writer.Text().find("FileName"), std::string::npos);
  PlainClip back;
  RecordReader reader(writer.Text());
  ASSERT_TRUE(AudioClipRecord::Read(back, reader));
  EXPECT_EQ(back.Volume(), 100);
  EXPECT_EQ(back.extra, "x y");
}

TEST_F(AudioClipRecordTest, BrokenRecordsGiveNull) {
  messages.Clear();
  EXPECT_FALSE(Load("FileName: a.wav\nbegin\nend\n"));
  EXPECT_FALSE(messages.Empty());
  messages.Clear();
  EXPECT_FALSE(Load("begin\n  StartSample: 0\n"));
  EXPECT_FALSE(messages.Empty());
  EXPECT_FALSE(Load(""));
  // The file is gone.
  messages.Clear();
  EXPECT_FALSE(Load("begin\n  FileName: gone.wav\nend\n"));
  EXPECT_NE(messages.Get().find("gone.wav"), std::string::npos);
  // No kind of that name; the record is left unread.
  RecordReader reader("begin\nend\n");
  EXPECT_FALSE(AudioClipKinds::LoadRecord("MP3", reader, context));
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "begin");
}

TEST_F(AudioClipRecordTest, KeywordIgnoresLetterCase) {
  EXPECT_TRUE(Load("begin\n  FileName: \"sound/theme music.wav\"\nend\n", "wav"));
}

TEST_F(AudioClipRecordTest, RecordThatNoLongerFitsAShorterFile) {
  const std::string text = "begin\n"
                           "  FileName: \"sound/theme music.wav\"\n"
                           "  StartSample: 80000\n"
                           "  TotalSample: 8000\n"
                           "  PlayFrame: 3\n"
                           "  Volume: 64\n"
                           "end\n";
  // Fits: taken as written.
  AudioClip clip = Load(text);
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->GetBeginSample(), 80000);
  EXPECT_EQ(clip->Length(), 8000);
  clip.Reset();

  // The file became shorter: the begin sample is refused (0 stays) and so is a length that no
  // longer fits, so the clip covers the whole file; anchor and volume are kept.
  test::WriteToneWav(music, 50000, 2, 16, 44100);
  clip = Load(text);
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->GetBeginSample(), 0);
  EXPECT_EQ(clip->Length(), 8000);
  test::WriteToneWav(music, 5000, 2, 16, 44100);
  clip.Reset();
  clip = Load(text);
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->GetBeginSample(), 0);
  EXPECT_EQ(clip->GetEndSample(), 4999);
  EXPECT_EQ(clip->Length(), 5000);
  EXPECT_EQ(clip->PlayFrame(), 3);
  EXPECT_EQ(clip->Volume(), 64);
}

TEST(AudioClipKindsTest, TableAndFilters) {
  const auto table = AudioClipKinds::Table();
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].keyword, "WAV");
  EXPECT_EQ(table[1].keyword, "AVIAudio");
  EXPECT_EQ(table[2].keyword, "Sound");
  EXPECT_EQ(AudioClipKinds::FileFilter(),
            "サウンド(*.WAV)|*.WAV|Video for Windows Audio(*.AVI)|*.AVI|"
            "サウンド(*.MP3;*.M4A;*.FLAC;*.OGG;*.OPUS;*.MP4;*.M4V;*.MOV;*.MKV;*.WEBM)|"
            "*.MP3;*.M4A;*.FLAC;*.OGG;*.OPUS;*.MP4;*.M4V;*.MOV;*.MKV;*.WEBM");
  // Room for the first filter only, then cut to the room left.
  const std::string first = "サウンド(*.WAV)|*.WAV";
  EXPECT_EQ(AudioClipKinds::FileFilter(first.size() + 1), first);
  EXPECT_EQ(AudioClipKinds::FileFilter(first.size() + 3), first + "|V");
  EXPECT_EQ(AudioClipKinds::FileFilter(1), "");
  // A cut never splits a UTF-8 sequence.
  EXPECT_EQ(AudioClipKinds::FileFilter(4), "サ");
}

} // namespace
} // namespace rw

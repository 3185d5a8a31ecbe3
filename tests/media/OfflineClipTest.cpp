// Offline cuts and audio clips: the kept record and how it is written back, the length an
// offline cut holds, its placeholder picture, the reasons given for files that do not open, and
// coming back to life.

#include "media/OfflineClip.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "media/OfflineAudioClip.h"
#include "media/OfflineCause.h"
#include "media/OfflinePicture.h"
#include "media/VideoClipRecord.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/VideoClipTestKinds.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <utility>

namespace rw {
namespace {

namespace fs = std::filesystem;

class OfflineClipTest : public ::testing::Test {
protected:
  // Reads the block after a "Clip: <keyword>" line in the temporary folder.
  VideoClip ReadCut(std::string_view keyword, const std::string& block) {
    RecordReader reader(block, dir.Path());
    return OfflineClip::Read(keyword, reader, context);
  }
  AudioClip ReadAudio(std::string_view keyword, const std::string& block) {
    RecordReader reader(block, dir.Path());
    return OfflineAudioClip::Read(keyword, reader, context);
  }
  // The record text of a cut written at level 1 into a project of `folder`.
  static std::string Written(const pVideoClip& clip, const fs::path& folder) {
    RecordWriter writer(folder);
    EXPECT_TRUE(VideoClipRecord::Write(clip, writer, 1));
    return writer.Take();
  }

  test::TempDir dir;
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
};

TEST_F(OfflineClipTest, RecordIsWrittenBackAsRead) {
  // An unknown kind with a nested block, comments and stray words (which are dropped).
  const std::string unknown = "  begin\n    FileName: \"deep/a b.holo\"\n    Frames: 12\n    // note\n"
                              "    Layers:\n    begin\n      Depth: 3\n      Inner:\n      begin\n"
                              "        X: 1\n      end\n    end\n    Tail: x\n  end\n";
  const VideoClip holo = ReadCut("Hologram", "// c\n" + unknown + "  After: 1\n");
  ASSERT_TRUE(holo && holo->IsOffline());
  EXPECT_EQ(holo->GetKindName(), "Hologram");
  EXPECT_EQ(holo->FileName(), dir / "deep" / "a b.holo");
  std::string expected = unknown;
  expected.erase(expected.find("    // note\n"), 12);
  EXPECT_EQ(Written(*holo, dir.Path()), expected);
  // Saved into another folder, the name still reaches the file.
  EXPECT_NE(Written(*holo, dir / "sub").find("FileName: \"../deep/a b.holo\"\n"), std::string::npos);

  // A known kind: the first "end" closes the block, as its own reader has it.
  const std::string pic = "  begin\n    FileName: gone.bmp\n    TotalFrame: 45\n    Extra: kept\n  end\n";
  const VideoClip still = ReadCut("PIC", pic + "    Stray: 1\n");
  ASSERT_TRUE(still && still->IsOffline());
  EXPECT_EQ(Written(*still, dir.Path()), pic);
  EXPECT_EQ(still->Length(), 45);
  EXPECT_TRUE(messages.Empty()) << messages.Get();

  // A broken block is not kept: it fails as the kind's reader fails.
  EXPECT_FALSE(ReadCut("PIC", "  begin\n    FileName: gone.bmp\n"));
  EXPECT_FALSE(ReadCut("Hologram", "  Key: 1\n  begin\n  end\n"));
  EXPECT_NE(messages.Get().find("end がありません"), std::string::npos) << messages.Get();
  EXPECT_NE(messages.Get().find("begin の前に Key があります"), std::string::npos) << messages.Get();
}

TEST_F(OfflineClipTest, RecordEditsKeepTheRest) {
  RecordReader reader("begin\n  FileName: a.wav\n  PlayFrame: 3\n  Sub:\n  begin\n  end\nend\n", dir.Path());
  OfflineRecord record;
  ASSERT_TRUE(OfflineRecord::Capture(reader, true, &messages, "x", record));
  EXPECT_EQ(record.Number("playframe"), 3);
  EXPECT_FALSE(record.Number("Volume"));
  record.SetValue("Volume", "9");
  record.SetValue("PlayFrame", "7");
  record.SetFile(dir / "moved" / "b.wav");
  EXPECT_EQ(record.File(), dir / "moved" / "b.wav");
  EXPECT_EQ(record.Text(),
            "begin\nFileName: moved/b.wav\nPlayFrame: 7\nVolume: 9\n  Sub:\n  begin\n  end\nend\n");
  RecordWriter writer(dir / "other");
  ASSERT_TRUE(record.Write(writer, 0));
  EXPECT_EQ(writer.Text(),
            "begin\n  FileName: ../moved/b.wav\n  PlayFrame: 7\n  Volume: 9\n  Sub:\n  begin\n  end\nend\n");
}

TEST_F(OfflineClipTest, OfflineCutHoldsTheLengthItsRecordGives) {
  struct Case {
    std::string keyword;
    std::string keys;
    std::int32_t begin;
    std::int32_t length;
    bool beginEnd;
  };
  const Case cases[] = {
      {"AVI", "StartFrame: 5\n EndFrame: 44\n", 5, 40, true},
      {"AVI", "EndFrame: 9\n", 0, 10, true},
      {"AVI", "StartFrame: 50\n EndFrame: 10\n", 50, OfflineClip::kUnknownLength, true},
      {"PIC", "TotalFrame: 90\n", 0, 90, false},
      {"Hologram", "Frames: 12\n", 0, 12, false},
      {"Hologram", "", 0, OfflineClip::kUnknownLength, false},
      {"PIC", "TotalFrame: -4\n", 0, OfflineClip::kUnknownLength, false},
  };
  for (const Case& c : cases) {
    const VideoClip clip = ReadCut(c.keyword, "begin\n FileName: none.x\n " + c.keys + "end\n");
    ASSERT_TRUE(clip && clip->IsOffline()) << c.keys;
    EXPECT_EQ(clip->Length(), c.length) << c.keys;
    EXPECT_EQ(clip->GetBeginFrame(), c.begin) << c.keys;
    EXPECT_EQ(clip->GetEndFrame(), c.begin + c.length - 1) << c.keys;
    EXPECT_EQ(clip->HasBeginEnd(), c.beginEnd) << c.keys;
  }
}

TEST_F(OfflineClipTest, OfflineCutIsCopiedButNeverTrimmed) {
  VideoClip clip = ReadCut("AVI", "begin\n FileName: gone.avi\n StartFrame: 2\n EndFrame: 11\nend\n");
  ASSERT_TRUE(clip);
  EXPECT_FALSE(clip->SetBeginFrame(3));
  EXPECT_FALSE(clip->SetEndFrame(5));
  EXPECT_FALSE(clip->SetLength(4));
  clip.SetLength(4);
  EXPECT_EQ(clip->Length(), 10);
  EXPECT_EQ(clip->GetBeginFrame(), 2);
  EXPECT_EQ(clip->GetStream(), nullptr);
  EXPECT_TRUE(clip->Audio().IsNull());
  VideoClip copy = clip;
  ASSERT_TRUE(copy.SetSize(80, 60)); // the copy is made private first
  EXPECT_EQ(copy->GetWidth(), 80);
  EXPECT_EQ(clip->GetWidth(), OfflineClip::kSourceWidth);
  EXPECT_TRUE(copy->IsOffline());
  EXPECT_EQ(copy->OfflineReason(), "見つかりません");
  EXPECT_EQ(Written(*copy, dir.Path()), Written(*clip, dir.Path()));
}

TEST_F(OfflineClipTest, PlaceholderSaysMissingWithTheFileName) {
  VideoClip clip = ReadCut("PIC", "begin\n FileName: \"stills/title card.bmp\"\n TotalFrame: 3\nend\n");
  ASSERT_TRUE(clip.SetSize(160, 120));
  const BitmapInfoHeader* format = clip->GetFormat();
  ASSERT_NE(format, nullptr);
  EXPECT_EQ(format->biWidth, 160);
  EXPECT_EQ(format->biHeight, 120);
  DIB expected;
  ASSERT_TRUE(OfflinePicture::Draw(expected, 160, 120, "title card.bmp"));
  EXPECT_EQ(clip->FileName().filename(), "title card.bmp");
  EXPECT_EQ(std::memcmp(clip->GetFrame(2), expected.Bits(), expected.SizeImage()), 0);
  EXPECT_EQ(clip->GetSourceFormat()->biWidth, OfflineClip::kSourceWidth);
  ASSERT_NE(clip->GetSourceFrame(0), nullptr);

  // The word's colour is there, and much of the picture is neither black nor one colour.
  std::size_t word = 0;
  std::size_t black = 0;
  for (std::int32_t y = 0; y < 120; ++y)
    for (std::int32_t x = 0; x < 160; ++x) {
      const std::uint8_t* p = expected.Bits() + y * expected.Stride() + x * 3;
      word += p[0] == 0 && p[1] == 208 && p[2] == 255;
      black += p[0] < 20 && p[1] < 20 && p[2] < 20;
    }
  EXPECT_GT(word, 200u);
  EXPECT_LT(black, 160u * 120u / 3);
  // Every size draws, down to one pixel; sizes no picture has are refused.
  const std::pair<int, int> sizes[] = {{1, 1}, {7, 300}, {640, 4}, {1920, 1080}};
  for (const auto& [w, h] : sizes) {
    DIB dib;
    EXPECT_TRUE(OfflinePicture::Draw(dib, w, h, "a.avi")) << w << "x" << h;
  }
  DIB none;
  EXPECT_FALSE(OfflinePicture::Draw(none, 0, 10, "a.avi"));
  EXPECT_FALSE(clip->SetSize(-1, 10));

  EXPECT_EQ(OfflinePicture::Printable("title.bmp", 20), "title.bmp");
  EXPECT_EQ(OfflinePicture::Printable("夏の海.avi", 20), "???.avi");
  EXPECT_EQ(OfflinePicture::Printable("abcdefghijklmnopqrstuvwxyz.avi", 12), "abcd...z.avi");
  EXPECT_EQ(OfflinePicture::Printable("abcdef", 3), "abc");
}

TEST_F(OfflineClipTest, ReasonsSayWhyAFileDidNotOpen) {
  EXPECT_EQ(OfflineCause::Of({}, "PIC", ""), "ファイル名がありません");
  EXPECT_EQ(OfflineCause::Of(dir / "none.avi", "AVI", "x"), "見つかりません");
  fs::create_directories(dir / "folder.avi");
  EXPECT_EQ(OfflineCause::Of(dir / "folder.avi", "AVI", ""), "読めません");
  std::ofstream(dir / "empty.wav").flush();
  EXPECT_EQ(OfflineCause::Of(dir / "empty.wav", "WAV", ""), "壊れています: 空のファイルです");
  test::WriteToneWav(dir / "tone.wav", 100, 1, 16, 8000);
  // A WAV file named in an AVI record is not a movie; named in a WAV record, it is damaged.
  EXPECT_EQ(OfflineCause::Of(dir / "tone.wav", "AVI", ""), "対応していない形式です");
  // Appended in pieces: GCC 12 at -O3 warns falsely (-Wrestrict) on "'" + std::string.
  std::string said = "'";
  said += (dir / "tone.wav").string();
  said += "'のdataチャンクがありません\n二行目\n";
  EXPECT_EQ(OfflineCause::Of(dir / "tone.wav", "WAV", said),
            "壊れています: 'tone.wav'のdataチャンクがありません / 二行目");
  test::WriteBytes(dir / "t.tga", {1, 2, 3});
  EXPECT_EQ(OfflineCause::Of(dir / "t.tga", "PIC", ""), "壊れています: 読めません");
  test::WriteBytes(dir / "t.bmp", {1, 2, 3});
  EXPECT_EQ(OfflineCause::Of(dir / "t.bmp", "PIC", ""), "対応していない形式です");
  // Movies, sound and pictures of the other kinds are told by their first bytes.
  test::WriteBytes(dir / "cut.mp4", {0, 0, 0, 0x20, 'f', 't', 'y', 'p', 'i', 's', 'o', 'm'});
  test::WriteBytes(dir / "cut.mkv", {0x1A, 0x45, 0xDF, 0xA3, 1, 2});
  test::WriteBytes(dir / "tune.ogg", {'O', 'g', 'g', 'S', 0, 2});
  test::WriteBytes(dir / "still.png", {0x89, 'P', 'N', 'G', 13, 10});
  EXPECT_EQ(OfflineCause::Of(dir / "cut.mp4", "Movie", "x"), "壊れています: x");
  EXPECT_EQ(OfflineCause::Of(dir / "cut.mkv", "Movie", "x"), "壊れています: x");
  EXPECT_EQ(OfflineCause::Of(dir / "cut.mkv", "Sound", "x"), "壊れています: x");
  EXPECT_EQ(OfflineCause::Of(dir / "tune.ogg", "Sound", "x"), "壊れています: x");
  EXPECT_EQ(OfflineCause::Of(dir / "tune.ogg", "Movie", "x"), "対応していない形式です");
  EXPECT_EQ(OfflineCause::Of(dir / "still.png", "PIC", "x"), "壊れています: x");
  EXPECT_EQ(OfflineCause::Of(dir / "tone.wav", "Movie", "x"), "対応していない形式です");
}

TEST_F(OfflineClipTest, KindWithoutLengthInItsRecordWritesFrames) {
  class NoLengthKind : public test::TestVideoClip {
  public:
    NoLengthKind() : TestVideoClip(nullptr, false) {}
    bool RecordsLength() const override { return false; }
  };
  NoLengthKind clip;
  const std::string text = Written(clip, dir.Path());
  EXPECT_NE(text.find("    Frames: 100\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("TotalFrame"), std::string::npos) << text;
  EXPECT_EQ(Written(test::TestVideoClip(nullptr, false), dir.Path()).find("Frames"), std::string::npos);
}

TEST_F(OfflineClipTest, OfflineAudioClipIsSilentAndKeepsItsPlace) {
  const std::string block = "begin\n  FileName: gone.wav\n  StartSample: 10\n  TotalSample: 500\n"
                            "  PlayFrame: 4\n  OverClip: OFF\n  Volume: 300\nend\n";
  AudioClip clip = ReadAudio("WAV", block);
  ASSERT_TRUE(clip && clip->IsOffline());
  EXPECT_FALSE(clip->IsValid());
  EXPECT_EQ(clip->GetBeginSample(), 10);
  EXPECT_EQ(clip->GetEndSample(), 509);
  EXPECT_EQ(clip->Length(), 500);
  EXPECT_EQ(clip->PlayFrame(), 4);
  EXPECT_EQ(clip->Volume(), 300);
  EXPECT_FALSE(clip->OverClip());
  std::int16_t sample = 0;
  EXPECT_FALSE(clip->ReadSamples(&sample, 0, 1));
  EXPECT_FALSE(clip->SetLength(10));
  EXPECT_FALSE(clip->SetBeginSample(0));
  const auto record = [&](const AudioClip& c) {
    return static_cast<const OfflineAudioClip&>(*c).Record().Text();
  };
  EXPECT_EQ(record(clip), block);
  // A move or a new volume is written; the rest stays as read.
  AudioClip moved = clip;
  ASSERT_TRUE(moved.SetPlayFrame(9));
  ASSERT_TRUE(moved.SetVolume(256));
  EXPECT_EQ(record(moved), "begin\n  FileName: gone.wav\n  StartSample: 10\n  TotalSample: 500\n"
                           "PlayFrame: 9\n  OverClip: OFF\nVolume: 256\nend\n");
  EXPECT_EQ(record(clip), block);

  // Back to life with the moved anchor once the file is there.
  const auto& offline = static_cast<const OfflineAudioClip&>(*moved);
  EXPECT_FALSE(offline.Revive(context));
  test::WriteToneWav(dir / "gone.wav", 1000, 2, 16, 44100);
  const AudioClip live = offline.Revive(context);
  ASSERT_TRUE(live && live->IsValid());
  EXPECT_EQ(live->PlayFrame(), 9);
  EXPECT_EQ(live->GetBeginSample(), 10);
  EXPECT_EQ(live->Length(), 500);
  EXPECT_FALSE(live->OverClip());

  // A damaged file comes alive once it has been mended.
  test::WriteBytes(dir / "bad.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  const AudioClip bad = ReadAudio("WAV", "begin\n  FileName: bad.wav\nend\n");
  ASSERT_TRUE(bad && bad->IsOffline());
  EXPECT_EQ(bad->OfflineReason().rfind("壊れています: ", 0), 0u) << bad->OfflineReason();
  EXPECT_FALSE(static_cast<const OfflineAudioClip&>(*bad).Revive(context));
  test::WriteToneWav(dir / "bad.wav", 100, 1, 16, 8000);
  EXPECT_TRUE(static_cast<const OfflineAudioClip&>(*bad).Revive(context));

  // Unknown kinds are kept too, and never come alive.
  const AudioClip midi = ReadAudio("MIDI", "begin\n  FileName: gone.wav\nend\n");
  ASSERT_TRUE(midi && midi->IsOffline());
  EXPECT_EQ(midi->OfflineReason(), "不明な音声クリップの種類です: MIDI");
  EXPECT_FALSE(static_cast<const OfflineAudioClip&>(*midi).Revive(context));
}

} // namespace
} // namespace rw

#include "media/PictureClip.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "media/VideoClipKinds.h"
#include "media/VideoClipRecord.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rw {
namespace {

using test::BmpVariant;
using test::TestPicture;

class PictureClipTest : public ::testing::Test {
protected:
  PictureClipTest() { Save(file, TestPicture::Pattern(3, 2)); }

  static void Save(const std::filesystem::path& f, const TestPicture& p) {
    test::WriteBytes(f, test::BmpBytes(p, BmpVariant::Bgr24));
  }
  VideoClip Load(const std::string& text) {
    RecordReader reader(text, dir.Path());
    return PictureClip::LoadRecord(reader, context);
  }

  test::TempDir dir;
  std::filesystem::path file = dir / "p.bmp";
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
};

TEST_F(PictureClipTest, StoresThePictureBottomUpWithZeroPadding) {
  VideoClip clip = PictureClip::OpenFile(file, context);
  ASSERT_TRUE(clip) << messages.Get();
  const BitmapInfoHeader* header = clip->GetFormat();
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->biWidth, 3);
  EXPECT_EQ(header->biHeight, 2);
  EXPECT_EQ(header->biBitCount, 24);
  EXPECT_EQ(header->biSizeImage, 24u); // two rows of 12 bytes
  const std::uint8_t* bits = clip->GetFrame(5);
  const TestPicture p = TestPicture::Pattern(3, 2);
  for (std::int32_t row = 0; row < 2; ++row) { // row 0 is the bottom of the picture
    const std::uint8_t* r = bits + 12 * row;
    for (std::int32_t x = 0; x < 3; ++x) {
      const std::uint32_t c = p.At(x, 1 - row);
      EXPECT_EQ(r[3 * x], c & 0xFF);
      EXPECT_EQ(r[3 * x + 1], c >> 8 & 0xFF);
      EXPECT_EQ(r[3 * x + 2], c >> 16 & 0xFF);
    }
    EXPECT_EQ(r[9], 0);
    EXPECT_EQ(r[10], 0);
    EXPECT_EQ(r[11], 0);
  }
  EXPECT_EQ(clip->GetFirstFrame(), bits);
  EXPECT_EQ(clip->GetLastFrame(), bits);
  EXPECT_EQ(clip->GetSourceFrame(0), bits);
}

TEST_F(PictureClipTest, ClipBehaviour) {
  VideoClip clip = PictureClip::OpenFile(file, context);
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->GetKindName(), "PIC");
  EXPECT_EQ(clip->FileName(), file);
  EXPECT_EQ(clip->Length(), 30);
  EXPECT_EQ(clip->GetBeginFrame(), 0);
  EXPECT_EQ(clip->GetEndFrame(), 29);
  EXPECT_TRUE(clip->IsKeyFrame(0));
  EXPECT_FALSE(clip->IsKeyFrame(1));
  EXPECT_TRUE(clip->IsNewFrame(0));
  EXPECT_FALSE(clip->IsNewFrame(3));
  EXPECT_FALSE(clip->HasBeginEnd());

  EXPECT_FALSE(clip->SetLength(32768));
  EXPECT_FALSE(clip->SetLength(-1));
  EXPECT_TRUE(clip->SetLength(32767));
  EXPECT_TRUE(clip->SetLength(0));
  EXPECT_EQ(clip->GetEndFrame(), -1);

  // Files that do not decode give no clip; a clip made directly answers as having no picture.
  test::WriteBytes(dir / "bad.bmp", {'B', 'M', 1, 2, 3});
  EXPECT_FALSE(PictureClip::OpenFile(dir / "bad.bmp", context));
  EXPECT_FALSE(PictureClip::OpenFile(dir / "missing.tga", context));
  PictureClip none(context, dir / "missing.tga");
  EXPECT_FALSE(none.IsValid());
  EXPECT_EQ(none.GetWidth(), -1);
  EXPECT_EQ(none.GetHeight(), -1);
  EXPECT_EQ(none.GetFormat(), nullptr);
  EXPECT_EQ(none.GetFrame(0), nullptr);
  EXPECT_EQ(none.GetSourceFormat(), nullptr);
  EXPECT_FALSE(none.SetSize(2, 2));
}

TEST_F(PictureClipTest, CutsOfOneFileShareThePictureAndItsSize) {
  std::filesystem::create_directory(dir / "sub");
  VideoClip a = PictureClip::OpenFile(file, context);
  VideoClip b = PictureClip::OpenFile(dir / "sub" / ".." / "p.bmp", context);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(static_cast<PictureClip*>(a.Get())->Data(), static_cast<PictureClip*>(b.Get())->Data());
  EXPECT_EQ(context.Pictures().Size(), 1u);

  // A name differing in letter case is another file here.
  Save(dir / "P.bmp", TestPicture::Pattern(5, 5));
  VideoClip upper = PictureClip::OpenFile(dir / "P.bmp", context);
  ASSERT_TRUE(upper);
  EXPECT_EQ(upper->GetWidth(), 5);
  EXPECT_EQ(context.Pictures().Size(), 2u);

  // Another size: every cut of the file delivers the resampled copy; the source stays.
  ASSERT_TRUE(a->SetSize(6, 4));
  EXPECT_EQ(b->GetWidth(), 6);
  EXPECT_EQ(b->GetHeight(), 4);
  EXPECT_EQ(b->GetFormat()->biWidth, 6);
  EXPECT_EQ(b->GetSourceFormat()->biWidth, 3);
  EXPECT_NE(b->GetFrame(0), b->GetSourceFrame(0));
  const std::uint8_t* scaled = b->GetFrame(0);
  ASSERT_TRUE(b->SetSize(6, 4)); // the same size again keeps the copy
  EXPECT_EQ(b->GetFrame(0), scaled);
  // Its own size: the picture itself again.
  ASSERT_TRUE(b->SetSize(3, 2));
  EXPECT_EQ(a->GetFrame(0), a->GetSourceFrame(0));
  EXPECT_EQ(a->GetWidth(), 3);
  EXPECT_FALSE(a->SetSize(0, 4));
  EXPECT_FALSE(a->SetSize(4, -1));

  // Destroying one cut keeps the picture for the other.
  const std::uint8_t* pixels = b->GetFrame(0);
  a.Reset();
  EXPECT_EQ(context.Pictures().Size(), 2u);
  EXPECT_EQ(b->GetFrame(0), pixels);
  EXPECT_TRUE(b->IsValid());
  b.Reset();
  EXPECT_EQ(context.Pictures().Size(), 1u);
}

TEST_F(PictureClipTest, UniformPictureScalesToTheSameColour) {
  TestPicture grey{7, 5, std::vector<std::uint32_t>(35, 0x336699)};
  Save(file, grey);
  VideoClip clip = PictureClip::OpenFile(file, context);
  ASSERT_TRUE(clip);
  ASSERT_TRUE(clip->SetSize(20, 9));
  const std::uint8_t* bits = clip->GetFrame(0);
  const std::int32_t stride = DIB::StrideOf(20);
  for (std::int32_t y = 0; y < 9; ++y)
    for (std::int32_t x = 0; x < 20; ++x) {
      const std::uint8_t* px = bits + y * stride + 3 * x;
      ASSERT_EQ(px[0], 0x99);
      ASSERT_EQ(px[1], 0x66);
      ASSERT_EQ(px[2], 0x33);
    }
}

TEST_F(PictureClipTest, CloneAndCopyOnWrite) {
  VideoClip a = PictureClip::OpenFile(file, context);
  VideoClip shared = a;
  ASSERT_TRUE(shared.SetLength(45));
  EXPECT_NE(shared, a);
  EXPECT_EQ(a->Length(), 30);
  EXPECT_EQ(shared->Length(), 45);
  EXPECT_EQ(shared->FileName(), file);
  EXPECT_EQ(static_cast<PictureClip*>(shared.Get())->Data(), static_cast<PictureClip*>(a.Get())->Data());
  EXPECT_EQ(static_cast<PictureClip*>(a.Get())->Data().UseCount(), 2);
}

TEST_F(PictureClipTest, RecordRoundTripAndLengthRules) {
  VideoClip clip = PictureClip::OpenFile(file, context);
  ASSERT_TRUE(clip.SetLength(45));
  RecordWriter writer(dir.Path());
  ASSERT_TRUE(VideoClipRecord::Write(*clip, writer, 1));
  EXPECT_EQ(writer.Text(), "  begin\n    FileName: p.bmp\n    TotalFrame: 45\n  end\n");
  VideoClip back = Load(writer.Text());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Length(), 45);
  EXPECT_EQ(back->FileName(), file);

  // Lengths the cut refuses leave 30.
  VideoClip tooLong = Load("begin\n  FileName: p.bmp\n  TotalFrame: 40000\nend\n");
  ASSERT_TRUE(tooLong);
  EXPECT_EQ(tooLong->Length(), 30);
  VideoClip noLength = Load("begin\n  FileName: p.bmp\nend\n");
  ASSERT_TRUE(noLength);
  EXPECT_EQ(noLength->Length(), 30);

  messages.Clear();
  EXPECT_FALSE(Load("begin\n  FileName: gone.bmp\n  TotalFrame: 10\nend\n"));
  EXPECT_NE(messages.Get().find("gone.bmp"), std::string::npos);
  EXPECT_FALSE(Load("begin\n  FileName: p.bmp\n"));
}

class ScriptedPrompt : public UserPrompt {
public:
  Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
    asked.push_back(text + "|" + caption);
    return answer;
  }
  Answer answer = Answer::Ok;
  std::vector<std::string> asked;
};

TEST_F(PictureClipTest, ChangedFilesAreReadAgainWhenAccepted) {
  VideoClip clip = PictureClip::OpenFile(file, context);
  ASSERT_TRUE(clip->SetSize(6, 4));
  ScriptedPrompt ask;
  context.SetPrompt(ask);
  EXPECT_FALSE(VideoClipKinds::CheckFiles(context));

  // Declined: the old picture stays and the question comes again.
  Save(file, TestPicture::Pattern(4, 4));
  ask.answer = UserPrompt::Answer::Cancel;
  EXPECT_TRUE(PictureClip::CheckFiles(context));
  EXPECT_EQ(clip->GetSourceFormat()->biWidth, 3);
  EXPECT_EQ(clip->GetWidth(), 6);
  ask.answer = UserPrompt::Answer::Ok;
  EXPECT_TRUE(PictureClip::CheckFiles(context));
  ASSERT_EQ(ask.asked.size(), 2u);
  EXPECT_EQ(ask.asked[0],
            "ファイル'" + file.string() + "'に変更が加えられましたので読込なおします|ムービー読込");
  // Accepted: the new picture, at its own size until a cut asks for another.
  EXPECT_EQ(clip->GetWidth(), 4);
  EXPECT_EQ(clip->GetSourceFormat()->biWidth, 4);
  EXPECT_FALSE(PictureClip::CheckFiles(context));

  // A reload that fails keeps the picture in use and asks again next time.
  test::WriteBytes(file, {'B', 'M', 0, 0});
  messages.Clear();
  EXPECT_TRUE(PictureClip::CheckFiles(context));
  EXPECT_FALSE(messages.Empty());
  EXPECT_TRUE(clip->IsValid());
  EXPECT_EQ(clip->GetWidth(), 4);
  EXPECT_TRUE(PictureClip::CheckFiles(context));
  EXPECT_EQ(ask.asked.size(), 4u);
}

TEST_F(PictureClipTest, KindTableRow) {
  const auto table = VideoClipKinds::Table();
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(table[2].keyword, "PIC");
  ASSERT_NE(table[2].openFile, nullptr);
  ASSERT_NE(table[2].loadRecord, nullptr);
  ASSERT_NE(table[2].checkFiles, nullptr);
  test::WriteBytes(dir / "t.tga", test::TgaBytes(TestPicture::Pattern(2, 3), test::TgaVariant::Bgr24));
  VideoClip clip = VideoClipKinds::OpenFile(dir / "t.tga", context);
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->GetKindName(), "PIC");
  EXPECT_EQ(clip->GetHeight(), 3);
  RecordReader reader("begin\n  FileName: t.tga\n  TotalFrame: 12\nend\n", dir.Path());
  VideoClip loaded = VideoClipKinds::LoadRecord("pic", reader, context);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Length(), 12);
}

} // namespace
} // namespace rw

// OpenDML files: pictures found through the super index and its standard indexes across RIFF
// parts, and indexes whose counts claim more than their chunks hold, which are set aside so the
// file is read through rather than taken apart at wrong places.
#include "base/MessageText.h"
#include "media/AviFile.h"
#include "media/AviOdmlIndexCheck.h"
#include "media/AviRegistry.h"
#include "tests/media/AviOdmlTestFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rw {
namespace {

using test::OdmlAviOptions;

class AviOdmlIndexTest : public ::testing::Test {
protected:
  void SetUp() override { test::QuietMediaLibraries(); }

  std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const auto file = dir_ / name;
    test::WriteFileBytes(file, bytes);
    return file;
  }

  static bool Sound(const std::filesystem::path& file) {
    AviFile f;
    EXPECT_TRUE(f.Open(file));
    return AviOdmlIndexCheck::IsSound(f);
  }

  // Opens `file` and answers the flat grey value of each frame's picture (-1 where a picture
  // is missing or not flat); empty when the file was refused.
  std::vector<int> Pictures(const std::filesystem::path& file) {
    AviRegistry registry;
    MessageText messages;
    AviStream s = registry.OpenStream(file, messages);
    if (!s)
      return {};
    AviFrame d = registry.OpenDecoder(s, 0, 0);
    EXPECT_TRUE(d);
    std::vector<int> values;
    for (int n = 0; d && n < s->FrameCount(); ++n) {
      const std::uint8_t* p = d->GetFrame(n);
      const std::uint32_t size = d->Format()->biSizeImage;
      const bool flat = p && size > 0 && p[0] == p[size / 2] && p[0] == p[size - 1];
      values.push_back(flat ? p[0] : -1);
    }
    return values;
  }

  static std::vector<int> Expected(int frames) {
    std::vector<int> values;
    for (int n = 0; n < frames; ++n)
      values.push_back(test::OdmlPictureByte(n));
    return values;
  }

  test::TempDir dir_;
};

TEST_F(AviOdmlIndexTest, PicturesOfEveryPartComeThroughTheIndexes) {
  for (const bool legacy : {false, true}) {
    OdmlAviOptions o;
    o.legacyIndex = legacy;
    const auto file = Write("sound.avi", test::MakeOdmlAvi(o));
    EXPECT_TRUE(Sound(file));
    EXPECT_EQ(Pictures(file), Expected(o.frames)) << "idx1 " << legacy;
  }
  OdmlAviOptions single;
  single.firstPartFrames = single.frames;
  const auto file = Write("single.avi", test::MakeOdmlAvi(single));
  EXPECT_TRUE(Sound(file));
  EXPECT_EQ(Pictures(file), Expected(single.frames));
}

// Counts of 0x7fffffff in the index of indexes or in a standard index, and an index of indexes
// that points outside the file: the indexes are set aside and every picture is still found.
TEST_F(AviOdmlIndexTest, CountsBeyondTheirChunksAreSetAsideAndTheFileReadThrough) {
  std::vector<OdmlAviOptions> cases(3);
  cases[0].superCount = 0x7fffffff;
  cases[1].standardCount = 0x7fffffff;
  cases[2].standardOffset = 0xFFFFFFFF0ULL;
  for (std::size_t i = 0; i < cases.size(); ++i)
    for (const bool legacy : {false, true}) {
      cases[i].legacyIndex = legacy;
      const auto file = Write("hostile.avi", test::MakeOdmlAvi(cases[i]));
      EXPECT_FALSE(Sound(file)) << "case " << i;
      EXPECT_EQ(Pictures(file), Expected(cases[i].frames)) << "case " << i << ", idx1 " << legacy;
    }
  // One entry more than the chunk has room for is already too many.
  OdmlAviOptions full;
  full.superCount = static_cast<std::uint32_t>(full.superSlots + 1);
  EXPECT_FALSE(Sound(Write("full.avi", test::MakeOdmlAvi(full))));
  full.superCount = static_cast<std::uint32_t>(full.superSlots);
  EXPECT_FALSE(Sound(Write("zero.avi", test::MakeOdmlAvi(full)))) << "unused entries point at offset 0";
}

// A file cut short inside its second part has lost that part's index: what is left is read.
TEST_F(AviOdmlIndexTest, FileCutInItsSecondPartIsReadAsFarAsItGoes) {
  OdmlAviOptions o;
  std::vector<std::uint8_t> bytes = test::MakeOdmlAvi(o);
  const std::size_t frameChunk = 8 + 16 * 8 * 3;
  bytes.resize(bytes.size() - (24 + 8 * 5 + 8) - frameChunk); // the index and the last picture
  const auto file = Write("cut.avi", bytes);
  EXPECT_FALSE(Sound(file));
  const std::vector<int> pictures = Pictures(file);
  ASSERT_GE(pictures.size(), 11u);
  EXPECT_EQ(std::vector<int>(pictures.begin(), pictures.begin() + 11), Expected(11));
}

TEST_F(AviOdmlIndexTest, FilesWithoutOpenDmlIndexesAreSound) {
  test::TestAviOptions o;
  o.frames = 3;
  const auto file = dir_ / "plain.avi";
  ASSERT_TRUE(test::WriteTestAvi(file, o));
  EXPECT_TRUE(Sound(file));
  EXPECT_TRUE(Sound(Write("riff.avi", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '})));
  // An "indx" chunk too short for its own header.
  EXPECT_FALSE(Sound(Write("short.avi", {'R', 'I', 'F', 'F', 20, 0, 0, 0, 'A', 'V', 'I', ' ',
                                         'i', 'n', 'd', 'x', 4,  0, 0, 0, 4,   0,   0,   0})));
}

} // namespace
} // namespace rw

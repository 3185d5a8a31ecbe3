// Damaged variants of every kind of media file (cut short at several lengths, bytes flipped):
// whatever the damage, the project keeps every entry, nothing crashes, and every file that does
// not open is named in the one message.

#include "project/OfflineMedia.h"
#include "tests/project/ProjectFileFixture.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/WavTestFiles.h"

#include <set>

namespace rw::test {
namespace {

struct Medium {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

// The damaged forms of `good`: cut to lengths from nothing to one byte short, and single bytes
// flipped in the headers and the body.
std::vector<std::vector<std::uint8_t>> Variants(const std::vector<std::uint8_t>& good) {
  std::vector<std::vector<std::uint8_t>> variants;
  const std::size_t n = good.size();
  std::set<std::size_t> cuts = {0, 1, 2, 8, 12, 17, 18, 40, 44, 54, 60, 100, n / 3, n / 2, n - 1};
  for (const std::size_t cut : cuts) {
    if (cut < n)
      variants.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
  }
  const std::set<std::size_t> flips = {0,  2,  4,  8,  12, 16, 20,  22,    24,   28,
                                       32, 34, 36, 40, 44, 60, 100, n / 2, n - 1};
  for (const std::size_t at : flips) {
    if (at >= n)
      continue;
    variants.push_back(good);
    variants.back()[at] ^= 0xFF;
  }
  return variants;
}

std::string ProjectText() {
  return "ClipInfo: \nbegin\n"
         "  Clip: AVI\n  begin\n    FileName: m.avi\n    StartFrame: 0\n    EndFrame: 9\n  end\n"
         "  Audio: WAV\n  begin\n    FileName: m.wav\n    TotalSample: 4000\n  end\n"
         "  Clip: PIC\n  begin\n    FileName: m.bmp\n    TotalFrame: 7\n  end\n"
         "  Clip: PIC\n  begin\n    FileName: m.tga\n    TotalFrame: 8\n  end\n"
         "end\n";
}

class OfflineSweepTest : public ProjectFileTest {};

TEST_F(OfflineSweepTest, NoDamagedFileMakesAnEntryVanish) {
  TestAviOptions options;
  options.frames = 10;
  options.width = 32;
  options.height = 24;
  options.audioRate = 8000;
  ASSERT_TRUE(WriteTestAvi(dir / "good.avi", options));
  WriteToneWav(dir / "good.wav", 4000, 1, 16, 8000);
  const std::vector<Medium> media = {
      {"m.avi", ReadFileBytes(dir / "good.avi")},
      {"m.wav", ReadFileBytes(dir / "good.wav")},
      {"m.bmp", BmpBytes(TestPicture::Pattern(16, 12), BmpVariant::Bgr24)},
      {"m.tga", TgaBytes(TestPicture::Pattern(16, 12), TgaVariant::Rle24)},
  };
  WriteText(dir / "p.rwe", ProjectText());
  std::size_t offline = 0;
  std::size_t variants = 0;
  for (const Medium& damaged : media) {
    for (const std::vector<std::uint8_t>& bytes : Variants(damaged.bytes)) {
      for (const Medium& m : media)
        WriteFileBytes(dir / m.name, &m == &damaged ? bytes : m.bytes);
      ++variants;
      // A fresh context each time: the registries would share the reader of the file before.
      MessageText text;
      MediaContext fresh(text, prompt);
      VideoProject p(fresh);
      ASSERT_TRUE(ProjectFile::Open(p, dir / "p.rwe", 160, 120)) << damaged.name << text.Get();
      const pVideoClipList& list = p.List();
      ASSERT_EQ(list.Count(), 3) << damaged.name << bytes.size();
      ASSERT_EQ(list.EntryAt(1).audio.Count(), 1) << damaged.name << bytes.size();
      const std::string message = OfflineMedia::Message(OfflineMedia::List(list));
      const auto check = [&](const auto& clip) {
        EXPECT_TRUE(clip->IsValid() != clip->IsOffline()) << damaged.name;
        if (clip->IsOffline()) {
          ++offline;
          EXPECT_NE(message.find(clip->FileName().string() + ": "), std::string::npos) << message;
          EXPECT_FALSE(clip->OfflineReason().empty());
        }
      };
      for (std::int32_t i = 0; i < list.Count(); ++i)
        check(list.EntryAt(i).clip);
      check(list.EntryAt(1).audio.At(0));
      // The undamaged files all open.
      for (const Medium& m : media) {
        if (&m != &damaged) {
          EXPECT_EQ(message.find(m.name), std::string::npos) << damaged.name << message;
        }
      }
    }
  }
  EXPECT_GT(variants, 100u);
  EXPECT_GT(offline, variants / 4);
}

} // namespace
} // namespace rw::test

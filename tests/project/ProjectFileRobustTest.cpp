// Damaged and hostile project files: every answer is a clean success or failure, never a crash
// or a hang, and a failure leaves the project as it was.

#include "base/RecordReader.h"
#include "media/ColormatClip.h"
#include "project/ProjectFileReader.h"
#include "tests/project/ProjectFileFixture.h"
#include "tests/support/ProjectTestMedia.h"

#include <random>

namespace rw::test {
namespace {

class ProjectFileRobustTest : public ProjectFileTest {
protected:
  ProjectFileRobustTest() : media(WriteProjectMedia(dir.Path())) {}

  // The sample project with a picture, more mats and transitions of several kinds.
  std::string RichText() const {
    std::string text = SampleProjectText("// rich");
    text.resize(text.size() - 4); // without the list's "end"
    text += "  Trans: WipeI2E\n  begin\n    TransFrame: 20\n  end\n"
            "  Audio: AVIAudio\n  begin\n    FileName: media/opening.avi\n    StartSample: 10\n"
            "    TotalSample: 3000\n    PlayFrame: 1\n    OverClip: ON\n    Volume: 100\n  end\n"
            "  Clip: PIC\n  begin\n    FileName: stills/title.bmp\n    TotalFrame: 45\n  end\n"
            "  Trans: WipeD2U\n  begin\n    TransFrame: 7\n  end\n"
            "  Clip: Mat\n  begin\n    TotalFrame: 12\n    ColorRed: 200\n    ColorGreen: 100\n    "
            "ColorBlue: 50\n"
            "  end\nend\n";
    return text;
  }

  // Reads `text` as the open does (no file), into a fresh project.
  bool ReadFresh(std::string_view text) {
    VideoProject fresh(context);
    RecordReader reader(text, dir.Path());
    return ProjectFileReader::Read(reader, fresh, 160, 120);
  }

  ProjectMedia media;
};

TEST_F(ProjectFileRobustTest, RichProjectOpens) {
  ASSERT_TRUE(OpenText(RichText())) << messages.Get();
  EXPECT_EQ(project.List().Count(), 4);
  EXPECT_EQ(project.List().TotalFrames(), 135 - 20 + 45 - 7 + 12);
}

TEST_F(ProjectFileRobustTest, TruncatedAtEveryByte) {
  const std::string text = RichText();
  const std::size_t listKey = text.find("ClipInfo:");
  const std::size_t listEnd = text.rfind("end\n");
  ASSERT_TRUE(OpenText(text));
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    const std::string_view part = std::string_view(text).substr(0, cut);
    // Complete exactly when the list's "end" is in, or the clip list never started.
    const bool complete = cut >= listEnd + 3 || cut < listKey + 9;
    ASSERT_EQ(ReadFresh(part), complete) << "cut at " << cut;
  }
  // Through files too, for a sample of the cuts: a failed open keeps the open project.
  for (std::size_t cut = 0; cut <= text.size(); cut += 37) {
    ASSERT_TRUE(OpenText(text));
    const VideoClipList before = project.Current().list;
    if (!OpenText(text.substr(0, cut), "cut.rwe")) {
      EXPECT_EQ(project.Current().list, before);
    }
  }
}

TEST_F(ProjectFileRobustTest, RandomMutations) {
  const std::string text = RichText();
  std::mt19937 random(1234);
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  for (int round = 0; round < 3000; ++round) {
    std::string mutated = text;
    const int edits = 1 + static_cast<int>(pick(8));
    for (int e = 0; e < edits && !mutated.empty(); ++e) {
      const std::size_t at = pick(mutated.size());
      switch (pick(5)) {
      case 0: // change a byte
        mutated[at] = static_cast<char>(pick(256));
        break;
      case 1: // insert bytes
        mutated.insert(at, std::string(1 + pick(4), static_cast<char>(pick(256))));
        break;
      case 2: // delete a run
        mutated.erase(at, 1 + pick(40));
        break;
      case 3: { // repeat a line elsewhere
        const std::size_t start = mutated.rfind('\n', at);
        const std::size_t stop = mutated.find('\n', at);
        const std::string line = mutated.substr(start == std::string::npos ? 0 : start + 1,
                                                stop == std::string::npos ? std::string::npos : stop - start);
        mutated.insert(pick(mutated.size()), line + "\n");
        break;
      }
      default: // a digit becomes a large or negative number
        mutated.insert(at, pick(2) ? "-2147483648" : "99999999999");
      }
    }
    ReadFresh(mutated);
  }
}

TEST_F(ProjectFileRobustTest, OverlongLinesAndBinaryGarbage) {
  const std::string longName(10 << 20, 'a');
  EXPECT_TRUE(ReadFresh("ClipInfo: \nbegin\n  Clip: PIC\n  begin\n    FileName: " + longName +
                        "\n    TotalFrame: 3\n  end\nend\n"));
  EXPECT_TRUE(
      ReadFresh(std::string(4 << 20, 'K') + ": 1\nCurrentFrame: " + std::string(1 << 20, '9') + "\n"));
  EXPECT_TRUE(ReadFresh("ClipInfo: \nbegin\n" + std::string(3 << 20, ' ') + "end\n"));
  // A long run of non-UTF-8 bytes in a line (read as CP932) and bytes of every value.
  EXPECT_TRUE(ReadFresh(std::string(1 << 20, '\x82') + "\n"));
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  for (int k = 0; k < 64; ++k)
    ReadFresh(all + all.substr(static_cast<std::size_t>(k)) + "\nClipInfo:\n" + all);
  std::mt19937 random(99);
  for (int round = 0; round < 40; ++round) {
    std::string garbage(static_cast<std::size_t>(1 << (round % 16)), '\0');
    for (char& c : garbage)
      c = static_cast<char>(random());
    ReadFresh(garbage);
    ReadFresh("ClipInfo: \nbegin\n" + garbage + "\nend\n");
  }
}

TEST_F(ProjectFileRobustTest, UnknownBlocksNestedDeeplyOrNeverClosed) {
  std::string deep = "ClipInfo: \nbegin\n  Clip: Other\n";
  for (int k = 0; k < 100000; ++k)
    deep += "begin\n";
  EXPECT_FALSE(ReadFresh(deep));
  for (int k = 0; k < 100000; ++k)
    deep += "end\n";
  EXPECT_FALSE(ReadFresh(deep)); // the last "end" closes the unknown block, not the list
  EXPECT_TRUE(ReadFresh(deep + "end\n"));
}

TEST_F(ProjectFileRobustTest, AMillionEntries) {
  std::string text = "CurrentFrame: 999999\nClipInfo: \nbegin\n";
  const std::string mat = "  Clip: Mat\n  begin\n    TotalFrame: 2\n  end\n  Trans: Overlap\n  begin\n"
                          "    TransFrame: 1\n  end\n";
  text.reserve(mat.size() * 1000000 + 64);
  for (int k = 0; k < 1000000; ++k)
    text += mat;
  text += "end\n";
  WriteText(dir / "million.rwe", text);
  // Without a display size: a million mats of the preview's size would not fit in memory.
  ASSERT_TRUE(ProjectFile::Open(project, dir / "million.rwe", 0, 0)) << messages.Get();
  EXPECT_EQ(project.List().Count(), 1000000);
  EXPECT_EQ(project.List().TotalFrames(), 1000001);
  EXPECT_EQ(project.CurrentFrame(), 999999);
  EXPECT_EQ(project.CurrentPos().index, 999999); // inside a transition: the later cut

  // A million records that are all left out, and a million sounds for one cut that is not there.
  std::string skipped = "ClipInfo: \nbegin\n";
  for (int k = 0; k < 1000000; ++k)
    skipped +=
        k % 2 ? "  Clip: Gone\n  begin\n  end\n" : "  Audio: WAV\n  begin\n    FileName: none.wav\n  end\n";
  skipped += "end\n";
  messages.Clear();
  EXPECT_TRUE(ReadFresh(skipped));
  EXPECT_LE(messages.Get().size(), MessageText::kCapacity);
}

TEST_F(ProjectFileRobustTest, TimelineLongerThanTheListTakesIsCutShort) {
  std::string text = "ClipInfo: \nbegin\n";
  // 32770 mats of 32767 frames: more than 2^30 frames in all.
  for (int k = 0; k < 32770; ++k)
    text += "  Clip: Mat\n  begin\n    TotalFrame: 32767\n  end\n";
  text += "end\n";
  WriteText(dir / "long.rwe", text);
  ASSERT_TRUE(ProjectFile::Open(project, dir / "long.rwe", 0, 0));
  EXPECT_EQ(project.List().Count(), static_cast<std::int32_t>(pVideoClipList::kMaxTotalFrames / 32767));
  EXPECT_LE(project.List().TotalFrames(), pVideoClipList::kMaxTotalFrames);
  EXPECT_NE(messages.Get().find("タイムラインが長すぎる"), std::string::npos);
}

} // namespace
} // namespace rw::test

// Random projects made through the edits survive saving, opening and saving again byte for byte.

#include "media/AviAudioClip.h"
#include "media/AviClip.h"
#include "media/ColormatClip.h"
#include "media/PictureClip.h"
#include "media/WavClip.h"
#include "render/TransitionKinds.h"
#include "tests/project/ProjectFileFixture.h"
#include "tests/support/ProjectTestMedia.h"

#include <random>

namespace rw::test {
namespace {

class ProjectFileRoundTripTest : public ProjectFileTest {
protected:
  ProjectFileRoundTripTest() : media(WriteProjectMedia(dir.Path())) {}

  std::int32_t Pick(std::int32_t low, std::int32_t high) {
    return std::uniform_int_distribution<std::int32_t>(low, high)(random);
  }

  void AddCut() {
    const std::int32_t i = project.List().Count();
    switch (Pick(0, 2)) {
    case 0: {
      ASSERT_TRUE(project.AppendClip(AviClip::OpenFile(media.avi, context))) << messages.Get();
      project.SetEndFrame(Pick(20, 59), i);
      project.SetBeginFrame(Pick(0, 19), i);
      if (Pick(0, 1))
        project.SetAudioVolume(AudioRef{i, -1}, Pick(0, 1024));
      break;
    }
    case 1:
      ASSERT_TRUE(project.AppendClip(PictureClip::OpenFile(media.bmp, context))) << messages.Get();
      project.SetLength(Pick(1, 200), i);
      break;
    default: {
      VideoClip mat = VideoClip::Make<ColormatClip>(static_cast<std::uint32_t>(Pick(0, 255)),
                                                    static_cast<std::uint32_t>(Pick(0, 255)),
                                                    static_cast<std::uint32_t>(Pick(0, 255)));
      mat.SetLength(Pick(0, 300));
      ASSERT_TRUE(project.AppendClip(mat));
    }
    }
  }

  void AddSound() {
    const std::int32_t total = project.List().TotalFrames();
    if (total < 2)
      return;
    AudioClip clip =
        Pick(0, 1) ? WavClip::OpenFile(media.wav, context) : AviAudioClip::OpenFile(media.avi, context);
    ASSERT_TRUE(clip && clip->IsValid()) << messages.Get();
    clip.Detach();
    clip->SetOverClipMember(Pick(0, 1) == 1);
    const ClipPos pos = project.List().PosAt(Pick(0, total - 1));
    if (!project.AddAudioClip(clip, pos))
      return;
    const AudioRef ref{pos.index, project.List().EntryAt(pos.index).audio.Count() - 1};
    project.SetAudioVolume(ref, Pick(0, 600));
    project.SetAudioLength(ref, Pick(1, total - 1));
  }

  void BuildRandom() {
    const int cuts = Pick(0, 12);
    for (int k = 0; k < cuts; ++k)
      AddCut();
    for (std::int32_t i = 1; i < project.List().Count(); ++i) {
      if (Pick(0, 1) == 0)
        continue;
      VideoTransition trans = TransitionKinds::MakeByIndex(Pick(0, TransitionKinds::kCount - 1));
      trans.SetLength(Pick(1, 40));
      project.SetTransition(trans, i);
    }
    const int sounds = Pick(0, 6);
    for (int k = 0; k < sounds; ++k)
      AddSound();

    OutputInfo output;
    output.SetVideoWidth(Pick(1, 4096));
    output.SetVideoHeight(Pick(1, 4096));
    const std::int32_t rates[] = {11025, 22050, 32000, 44100, 48000};
    output.SetAudioRate(rates[Pick(0, 4)]);
    output.SetAudioBits(Pick(0, 1) ? 8 : 16);
    output.SetAudioChannels(Pick(1, 2));
    output.SetAudioOut(Pick(0, 1) == 1);
    CompressOptions compress;
    if (Pick(0, 3) > 0) {
      for (int b = 0; b < 4; ++b)
        compress.fccHandler |= static_cast<std::uint32_t>(Pick(1, 255)) << (8 * b);
    }
    compress.dwKeyFrameEvery = static_cast<std::uint32_t>(Pick(0, 100));
    compress.dwQuality = static_cast<std::uint32_t>(Pick(0, 10000));
    compress.dwBytesPerSecond = static_cast<std::uint32_t>(Pick(0, 1 << 30));
    compress.dwFlags = static_cast<std::uint32_t>(Pick(0, 255));
    output.SetCompress(compress);
    FixedDialogs dialogs(output);
    project.SetOutputFormat(dialogs);
    project.ChooseCompressor(dialogs);

    const std::int32_t total = project.List().TotalFrames();
    project.SetCurrentFrame(Pick(0, total));
    if (Pick(0, 2) > 0) {
      project.StartSelection(Pick(0, 1) ? SelMode::Frames : SelMode::Cuts, Pick(0, std::max(0, total - 1)));
      if (Pick(0, 1))
        project.SetSelectionEnd(Pick(0, std::max(0, total - 1)));
    }
  }

  ProjectMedia media;
  std::mt19937 random;
};

TEST_F(ProjectFileRoundTripTest, SaveOpenSaveGivesTheSameBytes) {
  for (unsigned seed = 1; seed <= 25; ++seed) {
    SCOPED_TRACE(seed);
    random.seed(seed);
    project = VideoProject(context);
    BuildRandom();
    const std::string first = SaveText("first.rwe");
    ASSERT_FALSE(first.empty()) << messages.Get();

    VideoProject opened(context);
    ASSERT_TRUE(ProjectFile::Open(opened, dir / "first.rwe", 160, 120)) << messages.Get();
    EXPECT_EQ(opened.List().Count(), project.List().Count()) << messages.Get();
    EXPECT_EQ(opened.List().TotalFrames(), project.List().TotalFrames());
    EXPECT_EQ(opened.List().AudioCount(), project.List().AudioCount());
    EXPECT_EQ(opened.CurrentFrame(), project.CurrentFrame());
    const std::string second = SaveText(opened, "second.rwe");
    ASSERT_EQ(second, first);
  }
}

} // namespace
} // namespace rw::test

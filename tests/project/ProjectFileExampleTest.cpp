// The sample project built through the model, its text, and the same project as the Windows
// version stores it.

#include "media/AviClip.h"
#include "media/ColormatClip.h"
#include "media/WavClip.h"
#include "render/TransitionKinds.h"
#include "tests/project/ProjectFileFixture.h"
#include "tests/support/ProjectTestMedia.h"

namespace rw::test {
namespace {

class ProjectFileExampleTest : public ProjectFileTest {
protected:
  ProjectFileExampleTest() : media(WriteProjectMedia(dir.Path())) {}

  // The sample project made by the edits a user would make.
  void BuildSample() {
    const VideoClip avi = AviClip::OpenFile(media.avi, context);
    ASSERT_TRUE(avi && avi->IsValid()) << messages.Get();
    ASSERT_TRUE(project.AppendClip(avi));
    VideoClip mat = VideoClip::Make<ColormatClip>(0u, 0u, 255u);
    ASSERT_TRUE(mat.SetLength(90));
    ASSERT_TRUE(project.AppendClip(mat));
    VideoTransition overlap = TransitionKinds::MakeByIndex(TransitionKinds::kOverlap);
    overlap.SetLength(15);
    ASSERT_TRUE(project.SetTransition(overlap, 1)) << messages.Get();

    AudioClip wav = WavClip::OpenFile(media.wav, context);
    ASSERT_TRUE(wav && wav->IsValid()) << messages.Get();
    wav.Detach();
    wav->SetOverClipMember(false);
    const ClipPos matFrame5 = project.List().PosAt(project.List().StartOf(1) + 5);
    ASSERT_TRUE(project.AddAudioClip(wav, matFrame5));

    OutputInfo output;
    ASSERT_TRUE(output.SetVideoWidth(320) && output.SetVideoHeight(240));
    FixedDialogs dialogs(output);
    ASSERT_TRUE(project.SetOutputFormat(dialogs));
    ASSERT_TRUE(project.SetCurrentFrame(25));
    project.StartSelection(SelMode::Frames, 10);
    project.SetSelectionEnd(40);
  }

  // The model of the sample project, as the file describes it.
  void ExpectSample(VideoProject& p) {
    const pVideoClipList& list = p.List();
    EXPECT_EQ(list.TotalFrames(), 135);
    EXPECT_EQ(p.CurrentFrame(), 25);
    EXPECT_EQ(p.CurrentPos().index, 0);
    EXPECT_EQ(p.CurrentPos().frame, 25);
    EXPECT_EQ(p.Current().selMode, SelMode::Frames);
    EXPECT_EQ(p.Current().selStart, 10);
    EXPECT_EQ(p.Current().selEnd, 40);
    EXPECT_FALSE(p.Modified());
    ASSERT_EQ(list.Count(), 2);

    const ClipInfo& first = list.EntryAt(0);
    EXPECT_EQ(first.clip->GetKindName(), "AVI");
    EXPECT_EQ(first.clip->FileName(), media.avi);
    EXPECT_EQ(first.clip->GetBeginFrame(), 0);
    EXPECT_EQ(first.clip->GetEndFrame(), 59);
    EXPECT_EQ(first.clip->Length(), 60);
    ASSERT_TRUE(first.clip->Audio() && first.clip->Audio()->IsValid());
    EXPECT_EQ(first.clip->Audio()->Volume(), 256);
    EXPECT_FALSE(first.trans.IsPresent());
    EXPECT_EQ(first.audio.Count(), 0);

    const ClipInfo& second = list.EntryAt(1);
    EXPECT_EQ(second.clip->GetKindName(), "Mat");
    EXPECT_EQ(second.clip->Length(), 90);
    const auto& mat = static_cast<const ColormatClip&>(*second.clip);
    EXPECT_EQ(mat.Red(), 0u);
    EXPECT_EQ(mat.Green(), 0u);
    EXPECT_EQ(mat.Blue(), 255u);
    EXPECT_EQ(second.trans.Keyword(), "Overlap");
    EXPECT_EQ(second.trans.Length(), 15);
    ASSERT_EQ(second.audio.Count(), 1);
    const AudioClip wav = second.audio.At(0);
    EXPECT_EQ(wav->GetKindName(), "WAV");
    EXPECT_EQ(wav->FileName(), media.wav);
    EXPECT_EQ(wav->GetBeginSample(), 0);
    EXPECT_EQ(wav->Length(), 88200);
    EXPECT_EQ(wav->PlayFrame(), 5);
    EXPECT_FALSE(wav->OverClip());
    EXPECT_EQ(wav->Volume(), 256);

    const OutputInfo& output = list.Output();
    EXPECT_EQ(output.VideoWidth(), 320);
    EXPECT_EQ(output.VideoHeight(), 240);
    EXPECT_EQ(output.VideoRate(), 30);
    EXPECT_TRUE(output.AudioOut());
    EXPECT_EQ(output.AudioRate(), 44100);
    EXPECT_EQ(output.AudioBits(), 16);
    EXPECT_EQ(output.AudioChannels(), 2);
    EXPECT_EQ(output.Compress().fccHandler, 0u);
  }

  ProjectMedia media;
};

TEST_F(ProjectFileExampleTest, SampleProjectSavesToItsText) {
  BuildSample();
  const std::string text = SaveText("sample.rwe");
  ASSERT_FALSE(text.empty()) << messages.Get();
  EXPECT_TRUE(text.starts_with("// Reelwright Ver.0.2006\n//"));
  EXPECT_EQ(AfterHeader(text), AfterHeader(SampleProjectText("//")));
  EXPECT_FALSE(project.Modified());
  EXPECT_EQ(project.FileName(), dir / "sample.rwe");
}

TEST_F(ProjectFileExampleTest, SampleTextOpensToTheSampleProject) {
  ASSERT_TRUE(OpenText(SampleProjectText("// anything"))) << messages.Get();
  ExpectSample(project);
  EXPECT_EQ(project.FileName(), dir / "p.rwe");
  EXPECT_EQ(project.ViewWidth(), 160);
  EXPECT_EQ(project.ViewHeight(), 120);
  // Every cut shows at the display size.
  EXPECT_EQ(project.List().EntryAt(0).clip->GetWidth(), 160);
  EXPECT_EQ(project.List().EntryAt(1).clip->GetWidth(), 160);
  EXPECT_EQ(project.List().EntryAt(1).clip->GetHeight(), 120);
}

TEST_F(ProjectFileExampleTest, WindowsFormOfTheSampleOpensWithItsFilesResolved) {
  // Backslash separators, CRLF line ends, as the Windows version writes them.
  ASSERT_TRUE(OpenText(SampleProjectText("// Windows", true))) << messages.Get();
  ExpectSample(project);
  // Saved again, it takes this system's form.
  EXPECT_EQ(AfterHeader(SaveText()), AfterHeader(SampleProjectText("//")));
}

TEST_F(ProjectFileExampleTest, Cp932NamesFromWindowsResolveToTheFilesOnDisk) {
  // Folder "映像ソース表" and file "音楽.wav": in CP932 the trail bytes of ソ and 表 are 0x5C,
  // the byte of the backslash, which must not split the name.
  const std::filesystem::path folder = dir / "映像ソース表";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(media.avi, folder / "クリップ.avi");
  std::filesystem::copy_file(media.wav, folder / "音楽.wav");
  const std::string folderCp932 = "\x89\x66\x91\x9c\x83\x5c\x81\x5b\x83\x58\x95\x5c";
  const std::string clipCp932 = "\x83\x4e\x83\x8a\x83\x62\x83\x76";
  const std::string musicCp932 = "\x89\xb9\x8a\x79";
  const std::string text = "// Reelwright Ver.0.2006\r\n"
                           "// \x83\x65\x83\x58\x83\x67\r\n"
                           "CurrentFrame: 3\r\n"
                           "ClipInfo: \r\n"
                           "begin\r\n"
                           "  Audio: WAV\r\n"
                           "  begin\r\n"
                           "    FileName: " +
                           folderCp932 + "\\" + musicCp932 +
                           ".wav\r\n"
                           "    StartSample: 100\r\n"
                           "    TotalSample: 4410\r\n"
                           "    PlayFrame: 2\r\n"
                           "    OverClip: ON\r\n"
                           "    Volume: 128\r\n"
                           "  end\r\n"
                           "  Clip: AVI\r\n"
                           "  begin\r\n"
                           "    FileName: " +
                           folderCp932 + "\\" + clipCp932 +
                           ".avi\r\n"
                           "    StartFrame: 5\r\n"
                           "    EndFrame: 24\r\n"
                           "    Volume: 200\r\n"
                           "  end\r\n"
                           "end\r\n";
  ASSERT_TRUE(OpenText(text)) << messages.Get();
  ASSERT_EQ(project.List().Count(), 1) << messages.Get();
  const ClipInfo& entry = project.List().EntryAt(0);
  EXPECT_EQ(entry.clip->FileName(), folder / "クリップ.avi");
  EXPECT_EQ(entry.clip->Length(), 20);
  EXPECT_EQ(entry.clip->Audio()->Volume(), 200);
  ASSERT_EQ(entry.audio.Count(), 1);
  EXPECT_EQ(entry.audio.At(0)->FileName(), folder / "音楽.wav");
  EXPECT_EQ(entry.audio.At(0)->GetBeginSample(), 100);
  EXPECT_EQ(entry.audio.At(0)->Length(), 4410);
  EXPECT_TRUE(entry.audio.At(0)->OverClip());
  EXPECT_EQ(project.CurrentFrame(), 3);

  // Written back in UTF-8 with "/" separators.
  const std::string saved = SaveText();
  EXPECT_NE(saved.find("FileName: 映像ソース表/クリップ.avi\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("FileName: 映像ソース表/音楽.wav\n"), std::string::npos) << saved;
}

} // namespace
} // namespace rw::test

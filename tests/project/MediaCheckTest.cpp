#include "ModelTestClips.h"

#include "media/AudioClipKinds.h"
#include "project/VideoProject.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rw::test {
namespace {

class RecordingPrompt : public UserPrompt {
public:
  std::vector<std::string> questions;
  Answer Ask(const std::string& text, const std::string&, Buttons) override {
    questions.push_back(text);
    return Answer::Ok;
  }
};

TEST(MediaCheck, AsksAboutChangedFilesAndIsNotAnEdit) {
  TempDir dir;
  const auto file = dir / "sound.wav";
  WriteToneWav(file, 1000, 2, 16, 44100);
  MessageText messages;
  RecordingPrompt prompt;
  MediaContext context(messages, prompt);
  VideoProject project(context);
  ASSERT_TRUE(project.AppendClip(Mat(30)));
  const AudioClip sound = AudioClipKinds::OpenFile(file, context);
  ASSERT_FALSE(sound.IsNull()) << messages.Get();
  ASSERT_TRUE(project.AddAudioClip(sound, project.List().PosAt(3)));
  const std::int32_t undo = project.UndoCount();

  EXPECT_FALSE(project.CheckMediaFiles());
  EXPECT_TRUE(prompt.questions.empty());

  WriteToneWav(file, 3000, 2, 16, 44100); // another size
  EXPECT_TRUE(project.CheckMediaFiles());
  ASSERT_EQ(prompt.questions.size(), 1u);
  EXPECT_NE(prompt.questions[0].find("sound.wav"), std::string::npos);
  EXPECT_EQ(project.UndoCount(), undo);
}

} // namespace
} // namespace rw::test

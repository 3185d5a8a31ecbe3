#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/WavStream.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <deque>

namespace rw {
namespace {

// Answers from a script and remembers what it was asked.
class ScriptedPrompt : public UserPrompt {
public:
  Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override {
    asked.push_back(text);
    captions.push_back(caption);
    EXPECT_EQ(buttons, Buttons::OkCancel);
    if (answers.empty())
      return Answer::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::deque<Answer> answers;
  std::vector<std::string> asked;
  std::vector<std::string> captions;
};

class WavStreamRegistryTest : public ::testing::Test {
protected:
  test::TempDir dir;
  MessageText messages;
  WavStreamRegistry registry;
};

TEST_F(WavStreamRegistryTest, OneStreamPerFile) {
  test::WriteToneWav(dir / "a.wav", 10, 1, 16, 8000);
  test::WriteToneWav(dir / "A.wav", 20, 1, 16, 8000);
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_symlink(dir / "a.wav", dir / "link.wav");

  WavStream a = registry.OpenShared(dir / "a.wav", messages);
  ASSERT_TRUE(a);
  // Other spellings of the same file share the stream.
  EXPECT_EQ(registry.OpenShared(dir / "sub" / ".." / "a.wav", messages), a);
  EXPECT_EQ(registry.OpenShared(dir / "link.wav", messages), a);
  // A name differing in letter case is another file.
  WavStream upper = registry.OpenShared(dir / "A.wav", messages);
  ASSERT_TRUE(upper);
  EXPECT_NE(upper, a);
  EXPECT_EQ(upper->SampleFrames(), 20);
  EXPECT_EQ(registry.Size(), 2u);
  EXPECT_EQ(a.UseCount(), 1);

  EXPECT_FALSE(registry.OpenShared(dir / "missing.wav", messages));
  EXPECT_EQ(registry.Size(), 2u);

  // The last handle unlinks the stream; the next open reads the file afresh.
  a.Reset();
  EXPECT_EQ(registry.Size(), 1u);
  EXPECT_TRUE(registry.OpenShared(dir / "a.wav", messages));
}

TEST_F(WavStreamRegistryTest, StreamsMayOutliveTheirRegistry) {
  test::WriteToneWav(dir / "a.wav", 10, 1, 16, 8000);
  WavStream kept;
  {
    WavStreamRegistry shortLived;
    kept = shortLived.OpenShared(dir / "a.wav", messages);
  }
  ASSERT_TRUE(kept);
  kept.Reset(); // no registry to unlink from any more
}

TEST_F(WavStreamRegistryTest, ChangedFileAcceptedIsReadAgain) {
  const auto file = dir / "a.wav";
  test::WriteToneWav(file, 100, 2, 16, 44100);
  WavStream s = registry.OpenShared(file, messages);
  ASSERT_TRUE(s);
  ScriptedPrompt prompt;
  EXPECT_FALSE(registry.CheckFiles(prompt, messages));
  EXPECT_TRUE(prompt.asked.empty());

  test::WriteToneWav(file, 60, 1, 8, 22050);
  prompt.answers = {UserPrompt::Answer::Ok};
  EXPECT_TRUE(registry.CheckFiles(prompt, messages));
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0], "ファイル'" + file.string() + "'に変更が加えられましたので読込なおします");
  EXPECT_EQ(prompt.captions[0], "ムービー読込");
  EXPECT_TRUE(s->IsOpen());
  EXPECT_EQ(s->SampleFrames(), 60);
  EXPECT_EQ(s->Rate(), 22050);
  // Once read again the file counts as unchanged.
  EXPECT_FALSE(registry.CheckFiles(prompt, messages));
  EXPECT_EQ(prompt.asked.size(), 1u);
}

TEST_F(WavStreamRegistryTest, ChangedFileDeclinedFallsSilentAndIsAskedAgain) {
  const auto file = dir / "a.wav";
  test::WriteToneWav(file, 100, 2, 16, 44100);
  WavStream s = registry.OpenShared(file, messages);
  ASSERT_TRUE(s);
  // Same size, later write time.
  std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(5));

  ScriptedPrompt prompt;
  prompt.answers = {UserPrompt::Answer::Cancel};
  EXPECT_TRUE(registry.CheckFiles(prompt, messages));
  EXPECT_FALSE(s->IsOpen());
  std::uint8_t buf[4];
  EXPECT_FALSE(s->Read(buf, 0, 1));
  EXPECT_EQ(s->SampleFrames(), 100); // the format stays known

  prompt.answers = {UserPrompt::Answer::Ok};
  EXPECT_TRUE(registry.CheckFiles(prompt, messages));
  EXPECT_EQ(prompt.asked.size(), 2u);
  EXPECT_TRUE(s->IsOpen());
  EXPECT_TRUE(s->Read(buf, 0, 1));
}

TEST_F(WavStreamRegistryTest, FileGoneAndAcceptedLeavesTheStreamClosed) {
  const auto file = dir / "a.wav";
  test::WriteToneWav(file, 100, 2, 16, 44100);
  WavStream s = registry.OpenShared(file, messages);
  std::filesystem::remove(file);
  ScriptedPrompt prompt;
  prompt.answers = {UserPrompt::Answer::Ok, UserPrompt::Answer::Cancel};
  messages.Clear();
  EXPECT_TRUE(registry.CheckFiles(prompt, messages));
  EXPECT_FALSE(s->IsOpen());
  EXPECT_FALSE(messages.Empty());
  // The file comes back: the recorded size of 0 makes the next check ask again.
  test::WriteToneWav(file, 100, 2, 16, 44100);
  prompt.answers = {UserPrompt::Answer::Ok};
  EXPECT_TRUE(registry.CheckFiles(prompt, messages));
  EXPECT_TRUE(s->IsOpen());
}

} // namespace
} // namespace rw

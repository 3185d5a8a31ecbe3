#pragma once

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "media/VideoClip.h"
#include "output/MovieCompile.h"
#include "output/MovieReader.h"
#include "project/EditDialogs.h"
#include "project/VideoProject.h"
#include "render/DIB.h"
#include "tests/output/MovieWriterTestSupport.h"
#include "tests/support/TempDir.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace rw::test {

// Dialogs answered by functions; without one, the dialog is cancelled.
class ScriptedDialogs : public EditDialogs {
public:
  std::function<bool(OutputInfo&)> format;
  std::function<bool(OutputInfo&)> compressor;
  int formatCalls = 0;
  int compressorCalls = 0;

  bool EditOutputFormat(OutputInfo& settings) override {
    ++formatCalls;
    return format && format(settings);
  }
  bool ChooseCompressor(OutputInfo& settings) override {
    ++compressorCalls;
    return compressor && compressor(settings);
  }
};

// A project built in a temporary folder, ready to be compiled.
class CompileProject {
public:
  CompileProject();

  const std::filesystem::path& Folder() const { return dir_.Path(); }
  std::filesystem::path operator/(std::string_view name) const { return dir_ / name; }
  VideoProject& Project() { return project_; }
  MediaContext& Context() { return context_; }
  MessageText& Messages() { return messages_; }
  const pVideoClipList& List() const { return project_.List(); }

  // Output settings through the project's own edits: size, compressor, audio format.
  void Output(int width, int height, const char* code, bool audio = false, int rate = 44100, int bits = 16,
              int channels = 2, bool recompress = false, int quality = 10000);
  void SetRecompress(bool on);

  // Appends cuts; false when the project refuses.
  bool AddMat(std::uint8_t red, std::uint8_t green, std::uint8_t blue, int length);
  bool AddPicture(const std::filesystem::path& file, int length);
  // An AVI cut of source frames begin … end.
  bool AddAvi(const std::filesystem::path& file, int begin, int end);
  // The transition into entry `entry`.
  bool SetTransition(int entry, std::string_view keyword, int length);
  // A WAV clip anchored at timeline frame `frame`.
  bool AddWav(const std::filesystem::path& file, int frame);

  // Compiles into `file` with `threads`; the project's messages are cleared first.
  bool Compile(const std::filesystem::path& file, int threads = 1,
               const MovieCompile::Progress& progress = {});
  MovieCompile& Compiler() { return compile_; }

  // What the movie must hold: the smooth picture of every timeline frame at the output size, and
  // the sound of every frame rendered one frame at a time.
  std::vector<DIB> ExpectedPictures();
  std::vector<std::uint8_t> ExpectedSound();

private:
  TempDir dir_;
  MessageText messages_;
  FixedPrompt prompt_;
  MediaContext context_{messages_, prompt_};
  VideoProject project_{context_};
  MovieCompile compile_;
};

// A compiled movie read back through libavformat.
struct CompiledMovie {
  std::vector<std::uint8_t> bytes;
  std::vector<MovieReader::VideoSample> samples;
  std::vector<std::uint8_t> audio;
  std::vector<IndexEntry> video; // idx1 entries of the video stream
  std::int64_t frames = 0;       // the video stream's length
  const AVCodecParameters* parameters = nullptr;
  MovieReader reader;

  // False (with the reason in `error`) when the file cannot be read.
  bool Load(const std::filesystem::path& file, std::string& error);
  // One picture per position 0 … frames - 1.
  bool Pictures(std::vector<DIB>& pictures, std::string& error) const;
  // Positions with a non-empty sample.
  std::vector<std::int64_t> Written() const;
};

// A BMP file of a 24-bit picture of one colour with a marked corner.
void WriteStillPicture(const std::filesystem::path& file, int width, int height, std::uint32_t rgb);

} // namespace rw::test

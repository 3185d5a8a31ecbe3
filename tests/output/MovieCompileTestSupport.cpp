#include "tests/output/MovieCompileTestSupport.h"

#include "media/AviClip.h"
#include "media/ColormatClip.h"
#include "media/PictureClip.h"
#include "media/WavClip.h"
#include "output/CompressorCatalogue.h"
#include "project/TimelineRenderer.h"
#include "render/TransitionKinds.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/TestAvi.h"

namespace rw::test {

CompileProject::CompileProject() {
  QuietMediaLibraries();
  compile_.SetThreads(1);
}

void CompileProject::Output(int width, int height, const char* code, bool audio, int rate, int bits,
                            int channels, bool recompress, int quality) {
  ScriptedDialogs dialogs;
  dialogs.format = [&](OutputInfo& s) {
    s.SetVideoWidth(width);
    s.SetVideoHeight(height);
    s.SetAudioOut(audio);
    s.SetAudioRate(rate);
    s.SetAudioBits(bits);
    s.SetAudioChannels(channels);
    s.SetRecompress(recompress);
    return true;
  };
  dialogs.compressor = [&](OutputInfo& s) {
    CompressOptions options;
    options.fccType = 'v' | 'i' << 8 | 'd' << 16 | 's' << 24;
    options.fccHandler = *CompressorCatalogue::ParseCode(code);
    options.dwQuality = static_cast<std::uint32_t>(quality);
    s.SetCompress(options);
    return true;
  };
  project_.SetOutputFormat(dialogs);
  project_.ChooseCompressor(dialogs);
}

void CompileProject::SetRecompress(bool on) {
  ScriptedDialogs dialogs;
  dialogs.format = [&](OutputInfo& s) {
    s.SetRecompress(on);
    return true;
  };
  project_.SetOutputFormat(dialogs);
}

bool CompileProject::AddMat(std::uint8_t red, std::uint8_t green, std::uint8_t blue, int length) {
  VideoClip clip = VideoClip::Make<ColormatClip>(red, green, blue);
  clip.SetLength(length);
  return project_.AppendClip(clip);
}

bool CompileProject::AddPicture(const std::filesystem::path& file, int length) {
  VideoClip clip = PictureClip::OpenFile(file, context_);
  if (clip.IsNull())
    return false;
  clip.SetLength(length);
  return project_.AppendClip(clip);
}

bool CompileProject::AddAvi(const std::filesystem::path& file, int begin, int end) {
  VideoClip clip = AviClip::OpenFile(file, context_);
  if (clip.IsNull())
    return false;
  clip.SetEndFrame(end);
  clip.SetBeginFrame(begin);
  return clip->GetBeginFrame() == begin && clip->GetEndFrame() == end && project_.AppendClip(clip);
}

bool CompileProject::SetTransition(int entry, std::string_view keyword, int length) {
  VideoTransition trans = TransitionKinds::MakeByKeyword(keyword);
  return trans.SetLength(length) && project_.SetTransition(trans, entry);
}

bool CompileProject::AddWav(const std::filesystem::path& file, int frame) {
  AudioClip clip = WavClip::OpenFile(file, context_);
  return !clip.IsNull() && project_.AddAudioClip(clip, List().PosAt(frame));
}

bool CompileProject::Compile(const std::filesystem::path& file, int threads,
                             const MovieCompile::Progress& progress) {
  messages_.Clear();
  compile_.SetThreads(threads);
  ScriptedDialogs dialogs;
  return compile_.Compile(project_, dialogs, file, progress);
}

std::vector<DIB> CompileProject::ExpectedPictures() {
  TimelineRenderer renderer;
  const pVideoClipList& list = List();
  std::vector<DIB> pictures(static_cast<std::size_t>(list.TotalFrames()));
  for (std::int32_t i = 0; i < list.TotalFrames(); ++i) {
    pictures[i].Create(list.Output().VideoWidth(), list.Output().VideoHeight());
    renderer.SmoothFrame(list, pictures[i], list.PosAt(i));
  }
  return pictures;
}

std::vector<std::uint8_t> CompileProject::ExpectedSound() {
  TimelineRenderer renderer;
  std::vector<std::uint8_t> all;
  std::vector<std::uint8_t> frame;
  for (std::int32_t i = 0; i < List().TotalFrames(); ++i) {
    renderer.RenderAudio(List(), frame, i, 1);
    all.insert(all.end(), frame.begin(), frame.end());
  }
  return all;
}

bool CompiledMovie::Load(const std::filesystem::path& file, std::string& error) {
  bytes = ReadFileBytes(file);
  if (bytes.empty()) {
    error = "no movie file";
    return false;
  }
  if (!reader.Open(bytes, error) || !reader.ReadAll(samples, audio, error))
    return false;
  video = StreamEntries(ReadIndex(bytes), 0);
  frames = reader.VideoFrames();
  parameters = reader.Video();
  return true;
}

bool CompiledMovie::Pictures(std::vector<DIB>& pictures, std::string& error) const {
  return reader.Decode(samples, frames, pictures, error);
}

std::vector<std::int64_t> CompiledMovie::Written() const {
  std::vector<std::int64_t> positions;
  for (std::size_t i = 0; i < video.size(); ++i)
    if (video[i].size > 0)
      positions.push_back(static_cast<std::int64_t>(i));
  return positions;
}

void WriteStillPicture(const std::filesystem::path& file, int width, int height, std::uint32_t rgb) {
  TestPicture picture;
  picture.width = width;
  picture.height = height;
  picture.rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), rgb);
  picture.rgb[0] = rgb ^ 0xFFFFFF;
  WriteBytes(file, BmpBytes(picture, BmpVariant::Bgr24));
}

} // namespace rw::test

#include "cli/DemoCommand.h"

#include "base/LittleEndian.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "cli/DemoMedia.h"
#include "media/AviClip.h"
#include "media/ColormatClip.h"
#include "media/PictureClip.h"
#include "media/WavClip.h"
#include "output/CompressorCatalogue.h"
#include "project/EditDialogs.h"
#include "project/ProjectFile.h"
#include "render/TransitionKinds.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <system_error>

namespace rw::cli {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The demo's output settings in place of the dialogs.
class DemoSettings : public EditDialogs {
public:
  bool EditOutputFormat(OutputInfo& settings) override {
    settings.SetVideoWidth(kWidth);
    settings.SetVideoHeight(kHeight);
    settings.SetAudioOut(true);
    settings.SetAudioRate(44100);
    settings.SetAudioBits(16);
    settings.SetAudioChannels(2);
    settings.SetRecompress(false);
    return true;
  }
  bool ChooseCompressor(OutputInfo& settings) override {
    CompressOptions options;
    options.fccType = FourCC('v', 'i', 'd', 's');
    options.fccHandler = *CompressorCatalogue::ParseCode("MJPG");
    options.dwQuality = 9000;
    settings.SetCompress(options);
    return true;
  }
};

bool AppendMovie(VideoProject& project, const std::filesystem::path& file, int begin, int end) {
  VideoClip clip = AviClip::OpenFile(file, project.Context());
  if (clip.IsNull())
    return false;
  clip.SetEndFrame(end);
  clip.SetBeginFrame(begin);
  return project.AppendClip(clip);
}

bool AppendPicture(VideoProject& project, const std::filesystem::path& file, int length) {
  VideoClip clip = PictureClip::OpenFile(file, project.Context());
  if (clip.IsNull())
    return false;
  clip.SetLength(length);
  return project.AppendClip(clip);
}

bool AppendMat(VideoProject& project, int length) {
  VideoClip clip = VideoClip::Make<ColormatClip>(30u, 60u, 120u);
  clip.SetLength(length);
  return project.AppendClip(clip);
}

bool Transition(VideoProject& project, int entry, std::string_view keyword, int length) {
  VideoTransition trans = TransitionKinds::MakeByKeyword(keyword);
  return trans.SetLength(length) && project.SetTransition(trans, entry);
}

} // namespace

bool DemoCommand::Build(const std::filesystem::path& folder, VideoProject& project, MessageText& messages) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    messages.Append("cannot create the folder " + folder.string() + " (" + error.message() + ")\n");
    return false;
  }
  const auto street = folder / "street.avi";
  const auto garden = folder / "garden.avi";
  const auto music = folder / "music.wav";
  const auto rings = folder / "rings.bmp";
  const auto tiles = folder / "tiles.tga";
  if (!DemoMedia::WriteMovie(street, kWidth, kHeight, 150, 0, 220.0, messages) ||
      !DemoMedia::WriteMovie(garden, 320, 240, 120, 1, 330.0, messages) ||
      !DemoMedia::WriteWav(music, 8.0, messages) || !DemoMedia::WriteBmp(rings, kWidth, kHeight, messages) ||
      !DemoMedia::WriteTga(tiles, 400, 300, messages))
    return false;

  // The street at the movie's size (its frames are copied), the rings picture faded in, the
  // garden wiped in from the left and scaled up, a colour mat behind a closing iris, the tiles
  // behind an opening one, and the street's last second wiped up from below. The tune starts on
  // the rings picture, a little quieter than the movies' own sound.
  DemoSettings settings;
  const bool built = AppendMovie(project, street, 0, 119) && AppendPicture(project, rings, 75) &&
                     AppendMovie(project, garden, 10, 109) && AppendMat(project, 45) &&
                     AppendPicture(project, tiles, 75) && AppendMovie(project, street, 120, 149) &&
                     Transition(project, 1, "Overlap", 20) && Transition(project, 2, "WipeL2R", 20) &&
                     Transition(project, 3, "WipeE2I", 15) && Transition(project, 4, "WipeI2E", 15) &&
                     Transition(project, 5, "WipeD2U", 10) && project.SetOutputFormat(settings) &&
                     project.ChooseCompressor(settings);
  if (!built) {
    messages.Append("the demo project cannot be built\n");
    return false;
  }
  AudioClip tune = WavClip::OpenFile(music, project.Context());
  const ClipPos anchor = project.List().PosAt(project.List().StartOf(1) + 10);
  if (tune.IsNull() || !project.AddAudioClip(tune, anchor) ||
      !project.SetAudioVolume(AudioRef{anchor.index, project.List().EntryAt(anchor.index).audio.Count() - 1},
                              180)) {
    messages.Append("the tune cannot be added to the demo project\n");
    return false;
  }
  return true;
}

int DemoCommand::Run(const std::vector<std::string>& args) {
  const CliCommand self = CliCommand::Of<DemoCommand>();
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {}, 1, 1, error))
    return UsageError(self, error);
  av_log_set_level(AV_LOG_FATAL);
  // Absolute names, so that the project stores them relative to its own folder.
  std::error_code absolute;
  const std::filesystem::path folder = std::filesystem::absolute(parsed.Positional()[0], absolute);
  if (absolute)
    return CliProject::Error("cannot find the folder " + parsed.Positional()[0] + " (" + absolute.message() +
                             ")");
  CliProject cli;
  if (!Build(folder, cli.Project(), cli.Messages()))
    return cli.Fail("the demo set cannot be made");
  const auto project = folder / "demo.rwe";
  if (!ProjectFile::Save(cli.Project(), project))
    return cli.Fail("the demo project cannot be saved");
  for (const char* name : {"street.avi", "garden.avi", "music.wav", "rings.bmp", "tiles.tga", "demo.rwe"}) {
    std::error_code ignored;
    const auto file = folder / name;
    std::printf("%s  %ju bytes\n", file.c_str(),
                static_cast<std::uintmax_t>(std::filesystem::file_size(file, ignored)));
  }
  const pVideoClipList& list = cli.Project().List();
  std::printf("%s: %d cuts, %d frames (%.1f s), 640x480 MJPG\n", project.c_str(), list.Count(),
              list.TotalFrames(), list.TotalFrames() / 30.0);
  return kSuccess;
}

} // namespace rw::cli

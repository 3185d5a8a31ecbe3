#include "cli/CompileCommand.h"

#include "base/LittleEndian.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "cli/CompileProgress.h"
#include "output/CompressorCatalogue.h"
#include "output/MovieCompile.h"
#include "output/settings/OutputInfo.h"
#include "project/EditDialogs.h"
#include "project/OfflineMedia.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <optional>
#include <unistd.h>
#include <vector>

namespace rw::cli {
namespace {

constexpr std::uint32_t kVideoType = FourCC('v', 'i', 'd', 's');
// The stored quality that stands for "the compressor's default".
constexpr std::uint32_t kDefaultQuality = 0xFFFFFFFF;

// The command line standing in for the output format dialog and the compressor choice: each
// dialog takes what the options say and keeps the rest of the project's settings; a setting
// that is still missing fails with a message naming its option.
class OptionDialogs : public EditDialogs {
public:
  OptionDialogs(MessageText& messages, const VideoProject& project)
      : messages_(messages), project_(project) {}

  std::optional<std::int32_t> width;
  std::optional<std::int32_t> height;
  std::optional<std::uint32_t> code;
  std::optional<std::int32_t> quality;
  bool recompress = false;
  bool noAudio = false;

  bool FormatGiven() const { return width || recompress || noAudio; }
  bool CompressorGiven() const { return code || quality; }

  bool EditOutputFormat(OutputInfo& settings) override {
    // The dialog would start from the first movie cut's size; here only --size gives one.
    const OutputInfo& own = project_.List().Output();
    const bool sized = width ? settings.SetVideoWidth(*width) && settings.SetVideoHeight(*height)
                             : own.VideoWidth() > 0 && own.VideoHeight() > 0;
    if (!width && sized) {
      settings.SetVideoWidth(own.VideoWidth());
      settings.SetVideoHeight(own.VideoHeight());
    }
    if (!sized) {
      messages_.Append(width ? "the size given with --size is too large (at most 4096x4096)\n"
                             : "the project has no output size: give one with --size WxH\n");
      return false;
    }
    if (recompress)
      settings.SetRecompress(true);
    if (noAudio)
      settings.SetAudioOut(false);
    return true;
  }

  bool ChooseCompressor(OutputInfo& settings) override {
    CompressOptions& options = settings.Compress();
    if (code) {
      // A compressor chosen here for the first time starts at its default quality.
      if (options.fccHandler == 0 && !quality)
        options.dwQuality = kDefaultQuality;
      options.fccType = kVideoType;
      options.fccHandler = *code;
    }
    if (quality)
      options.dwQuality = static_cast<std::uint32_t>(*quality);
    if (options.fccHandler == 0) {
      messages_.Append(
          "the project has no compressor: give one with --codec FOURCC (see reelwright-cli codecs)\n");
      return false;
    }
    return true;
  }

private:
  MessageText& messages_;
  const VideoProject& project_;
};

void Summarise(const std::string& file, const MovieCompile::Summary& result, double seconds) {
  std::printf("%s: %d frames (%lld compressed, %lld copied), %lld sound samples, %.2f s\n", file.c_str(),
              result.done, static_cast<long long>(result.encodedPictures),
              static_cast<long long>(result.copiedSamples), static_cast<long long>(result.audioSamples),
              seconds);
}

} // namespace

int CompileCommand::Run(const std::vector<std::string>& args) {
  const CliCommand self = CliCommand::Of<CompileCommand>();
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(
          args,
          {{"codec", true}, {"size", true}, {"quality", true}, {"recompress", false}, {"no-audio", false}}, 2,
          2, error))
    return UsageError(self, error);

  av_log_set_level(AV_LOG_FATAL);
  CliProject cli;
  OptionDialogs dialogs(cli.Messages(), cli.Project());
  if (const auto value = parsed.Value("codec")) {
    dialogs.code = CompressorCatalogue::ParseCode(*value);
    if (!dialogs.code)
      return UsageError(self, "--codec must be a four-character code such as MJPG");
  }
  if (const auto value = parsed.Value("size")) {
    std::int32_t w = 0;
    std::int32_t h = 0;
    if (!CliArgs::ToSize(*value, w, h) || w > OutputInfo::kMaxFrameSize || h > OutputInfo::kMaxFrameSize)
      return UsageError(self, "--size must be WxH with both from 1 to 4096");
    dialogs.width = w;
    dialogs.height = h;
  }
  if (const auto value = parsed.Value("quality")) {
    dialogs.quality = CliArgs::ToInt(*value);
    if (!dialogs.quality || *dialogs.quality < 0 || *dialogs.quality > 10000)
      return UsageError(self, "--quality must be a number from 0 to 10000");
  }
  dialogs.recompress = parsed.Has("recompress");
  dialogs.noAudio = parsed.Has("no-audio");

  const std::string project = parsed.Positional()[0];
  const std::string movie = parsed.Positional()[1];
  if (!cli.OpenQuietly(project))
    return cli.Fail("the project cannot be opened");
  VideoProject& p = cli.Project();
  // Entries whose files did not open refuse the compile before anything is written; the refusal
  // names them all.
  if (const std::vector<OfflineFile> offline = OfflineMedia::List(p.List()); !offline.empty())
    return CliProject::Error(MovieCompile::OfflineRefusal(offline));
  cli.Announce(); // files that opened shorter than their records
  // Records that could not be read were left out of the project: say so before compiling without them.
  if (!cli.Messages().Empty())
    std::fprintf(stderr, "reelwright-cli: warning: %s%s", cli.Messages().Get().c_str(),
                 cli.Messages().Get().ends_with('\n') ? "" : "\n");
  cli.Messages().Clear();
  if (dialogs.FormatGiven() && !p.SetOutputFormat(dialogs))
    return cli.Fail("the output format cannot be set");
  if (dialogs.CompressorGiven() && !p.ChooseCompressor(dialogs))
    return cli.Fail("the compressor cannot be set");
  if (p.List().Count() == 0)
    return CliProject::Error("the project has no cuts: there is nothing to compile");

  MovieCompile compile;
  CompileProgress progress(compile, ::isatty(STDERR_FILENO) == 1);
  const bool ok = compile.Compile(p, dialogs, movie, [&](int percent) { return progress.Step(percent); });
  progress.Finish();
  if (!ok)
    return cli.Fail("the movie could not be made");
  const MovieCompile::Summary& result = compile.Result();
  Summarise(movie, result, progress.Elapsed());
  if (result.stopped) {
    std::fprintf(stderr, "reelwright-cli: stopped after %d of %d frames; %s is complete up to there\n",
                 result.done, result.frames, movie.c_str());
    return kStopped;
  }
  return kSuccess;
}

} // namespace rw::cli

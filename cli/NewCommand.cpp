#include "cli/NewCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "output/settings/OutputInfo.h"
#include "project/EditDialogs.h"
#include "project/MediaFiles.h"
#include "project/ProjectFile.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <limits>
#include <optional>
#include <system_error>

namespace rw::cli {
namespace {

// The output size in place of the output format dialog; everything else stays as it is.
class OutputSize : public EditDialogs {
public:
  OutputSize(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}
  bool EditOutputFormat(OutputInfo& settings) override {
    return settings.SetVideoWidth(width_) && settings.SetVideoHeight(height_);
  }
  bool ChooseCompressor(OutputInfo&) override { return false; }

private:
  std::int32_t width_;
  std::int32_t height_;
};

// One file of the command line, opened.
struct Medium {
  std::string name;
  MediaFiles::Kind kind;
  VideoClip cut;
  AudioClip sound;
  std::int32_t cutBefore = -1; // sound: index of the cut given before it, -1 when none
  MediaFiles::Size ownSize;    // cut: its size as opened
};

bool InRange(std::int32_t side) {
  return side >= 1 && side <= OutputInfo::kMaxFrameSize;
}

} // namespace

int NewCommand::Run(const std::vector<std::string>& args) {
  const CliCommand self = CliCommand::Of<NewCommand>();
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {{"size", true}, {"force", false}}, 2, std::numeric_limits<std::size_t>::max(),
                    error))
    return UsageError(self, error);
  std::optional<std::pair<std::int32_t, std::int32_t>> size;
  if (const auto text = parsed.Value("size")) {
    std::int32_t w = 0, h = 0;
    if (!CliArgs::ToSize(*text, w, h) || !InRange(w) || !InRange(h))
      return UsageError(self, "--size takes WxH, each 1 to " + std::to_string(OutputInfo::kMaxFrameSize));
    size.emplace(w, h);
  }
  const std::filesystem::path out = parsed.Positional()[0];
  std::error_code ec;
  if (std::filesystem::symlink_status(out, ec).type() != std::filesystem::file_type::not_found && !ec &&
      !parsed.Has("force"))
    return CliProject::Error(out.string() + " exists (give --force to replace it)");
  // Not even --force writes the project over one of its own media files.
  for (auto it = parsed.Positional().begin() + 1; it != parsed.Positional().end(); ++it) {
    std::error_code same;
    if (std::filesystem::equivalent(out, *it, same) && !same)
      return CliProject::Error(out.string() + " is one of the media files");
  }
  av_log_set_level(AV_LOG_FATAL);

  // Every file is opened first; the project is built only when all of them opened.
  CliProject cli;
  VideoProject& project = cli.Project();
  project.SetViewSize(CliProject::kViewWidth, CliProject::kViewHeight);
  std::vector<Medium> media;
  std::vector<std::string> failed;
  std::int32_t cuts = 0;
  for (auto it = parsed.Positional().begin() + 1; it != parsed.Positional().end(); ++it) {
    Medium m{*it, MediaFiles::KindOf(*it), {}, {}, cuts - 1, {}};
    if (m.kind == MediaFiles::Kind::Movie || m.kind == MediaFiles::Kind::Picture)
      m.cut =
          MediaFiles::OpenCut(cli.Context(), m.name, project.ViewWidth(), project.ViewHeight(), &m.ownSize);
    else if (m.kind == MediaFiles::Kind::Sound)
      m.sound = MediaFiles::OpenSound(cli.Context(), m.name);
    if (m.cut.IsNull() && m.sound.IsNull()) {
      failed.push_back(m.name);
      continue;
    }
    cuts += m.cut.IsNull() ? 0 : 1;
    media.push_back(std::move(m));
  }
  if (!failed.empty()) {
    std::fputs(cli.Messages().Get().c_str(), stderr);
    for (const std::string& name : failed)
      std::fprintf(stderr, "reelwright-cli: cannot open %s as a movie, picture or sound file\n",
                   name.c_str());
    std::fprintf(stderr, "reelwright-cli: nothing written\n");
    return kFailure;
  }
  if (cuts == 0)
    return CliProject::Error("no movie or picture among the files: the sound has no cut to go with");

  // The output size: as asked, else the first movie's own size.
  if (!size) {
    for (const Medium& m : media) {
      if (m.kind != MediaFiles::Kind::Movie)
        continue;
      const auto [w, h] = m.ownSize;
      if (!InRange(w) || !InRange(h))
        return CliProject::Error(m.name + " is " + std::to_string(w) + "x" + std::to_string(h) +
                                 ", beyond the output's limit of " +
                                 std::to_string(OutputInfo::kMaxFrameSize) + " a side: give --size");
      size.emplace(w, h);
      break;
    }
  }
  for (const Medium& m : media)
    if (!m.cut.IsNull() && !project.AppendClip(m.cut))
      return cli.Fail("the cut of " + m.name + " cannot be added");
  for (const Medium& m : media) {
    if (m.sound.IsNull())
      continue;
    const pVideoClipList& list = project.List();
    const std::int32_t cut = m.cutBefore < 0 ? 0 : m.cutBefore;
    if (!project.AddAudioClip(m.sound, list.PosAt(list.StartOf(cut))))
      return cli.Fail("the sound of " + m.name + " cannot be added");
  }
  if (size) {
    OutputSize dialogs(size->first, size->second);
    if (!project.SetOutputFormat(dialogs))
      return cli.Fail("the output size cannot be set");
  }
  if (!ProjectFile::Save(project, out))
    return cli.Fail("the project cannot be saved");
  const pVideoClipList& list = project.List();
  std::printf("%s: %d cuts, %zu sound files, %d frames (%.1f s), output %dx%d\n", out.c_str(), list.Count(),
              media.size() - static_cast<std::size_t>(cuts), list.TotalFrames(), list.TotalFrames() / 30.0,
              list.Output().VideoWidth(), list.Output().VideoHeight());
  return kSuccess;
}

} // namespace rw::cli

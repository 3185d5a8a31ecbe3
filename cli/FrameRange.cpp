#include "cli/FrameRange.h"

#include "cli/CliCommand.h"
#include "cli/CliProject.h"

namespace rw::cli {

std::optional<int> FrameRange::Open(const CliCommand& command, const std::vector<std::string>& args,
                                    std::size_t names, CliProject& cli) {
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {{"from", true}, {"frames", true}}, names, names, error) || !Parse(parsed, error))
    return UsageError(command, error);
  names_ = parsed.Positional();
  if (!cli.Open(names_[0]))
    return cli.Fail("the project cannot be opened");
  if (!Fit(cli.Project().List().TotalFrames(), error))
    return CliProject::Error(error);
  return std::nullopt;
}

bool FrameRange::Parse(const CliArgs& parsed, std::string& error) {
  if (const auto value = parsed.Value("from"); value && !(from_ = CliArgs::ToInt(*value))) {
    error = "--from must be a frame number";
    return false;
  }
  if (const auto value = parsed.Value("frames"); value && !(frames_ = CliArgs::ToInt(*value))) {
    error = "--frames must be a number of frames";
    return false;
  }
  return true;
}

bool FrameRange::Fit(std::int64_t total, std::string& error) {
  first_ = *from_;
  count_ = frames_ ? *frames_ : total - first_;
  if (first_ < 0 || first_ > total || count_ < 0 || first_ + count_ > total) {
    error = "frames " + std::to_string(first_) + " to " + std::to_string(first_ + count_ - 1) +
            " are not all on the timeline (0 to " + std::to_string(total - 1) + ")";
    return false;
  }
  return true;
}

} // namespace rw::cli

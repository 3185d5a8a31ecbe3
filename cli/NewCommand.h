#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rw::cli {

// new OUT.rwe MEDIA... [--size WxH] [--force]: a project made from media files. Movies and
// pictures become cuts appended in the order given; sound files become audio clips anchored at
// the first frame of the cut given before them (of the first cut when none is). The output size
// is --size or the first movie's size. Every file is opened before anything is written: when
// one does not open, each such file is named and nothing is written.
class NewCommand {
public:
  static constexpr std::string_view kName = "new";
  static constexpr std::string_view kUsage = "new OUT.rwe MEDIA... [--size WxH] [--force]";
  static constexpr std::string_view kSummary =
      "make a project of the media files: movies and pictures become cuts in the order given, sound "
      "files audio clips at the first frame of the cut before them (of the first cut when none is); "
      "output size from --size or the first movie; an existing OUT only with --force";

  static int Run(const std::vector<std::string>& args);
};

} // namespace rw::cli

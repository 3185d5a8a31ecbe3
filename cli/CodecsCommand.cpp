#include "cli/CodecsCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliStatus.h"
#include "output/CompressorCatalogue.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <utility>

namespace rw::cli {

std::string CodecsCommand::Line(const CompressorInfo& info) {
  // Which settings it honours, comma separated.
  char honours[40] = "-";
  int at = 0;
  for (const auto& [yes, what] : {std::pair{info.quality, "quality"}, std::pair{info.keyFrames, "keyframes"},
                                  std::pair{info.dataRate, "datarate"}})
    if (yes)
      at += std::snprintf(honours + at, sizeof honours - static_cast<std::size_t>(at), "%s%s", at ? "," : "",
                          what);
  // The code as typed (trailing spaces show as blanks), the stored form when it is not printable.
  std::string code;
  for (int i = 0; i < 4; ++i)
    code += static_cast<char>(info.code >> (8 * i) & 0xFF);
  for (char c : code)
    if (c < 32 || c > 126)
      code = info.CodeText();
  char line[256];
  std::snprintf(line, sizeof line, "%-4s  %-8s  %-26s  %.*s (%.*s)", code.c_str(),
                info.lossless ? "lossless" : "lossy", honours, static_cast<int>(info.description.size()),
                info.description.data(), static_cast<int>(info.encoder.size()), info.encoder.data());
  return line;
}

int CodecsCommand::Run(const std::vector<std::string>& args) {
  const CliCommand self = CliCommand::Of<CodecsCommand>();
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {{"all", false}}, 0, 0, error))
    return UsageError(self, error);
  av_log_set_level(AV_LOG_FATAL);
  CompressorCatalogue catalogue;
  for (const CompressorInfo* info : catalogue.Entries())
    std::printf("%s\n", Line(*info).c_str());
  if (parsed.Has("all"))
    for (const CompressorInfo& info : CompressorCatalogue::Known())
      if (!catalogue.Find(info.code))
        std::printf("%s  -- not available here: %s\n", Line(info).c_str(),
                    catalogue.TrialFailure(info.code).c_str());
  return kSuccess;
}

} // namespace rw::cli

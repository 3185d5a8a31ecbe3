#include "cli/FrameCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "cli/OutputFile.h"
#include "project/TimelineRenderer.h"
#include "render/DIB.h"

#include <algorithm>

namespace rw::cli {

std::string FrameCommand::BmpBytes(const DIB& picture) {
  const BitmapInfoHeader& h = *picture.Header();
  const std::uint32_t offset = 14 + 40;
  std::string bytes;
  bytes.reserve(offset + h.biSizeImage);
  bytes += "BM";
  OutputFile::PutU32(bytes, offset + h.biSizeImage);
  OutputFile::PutU32(bytes, 0);
  OutputFile::PutU32(bytes, offset);
  OutputFile::PutU32(bytes, h.biSize);
  OutputFile::PutU32(bytes, static_cast<std::uint32_t>(h.biWidth));
  OutputFile::PutU32(bytes, static_cast<std::uint32_t>(h.biHeight));
  OutputFile::PutU16(bytes, h.biPlanes);
  OutputFile::PutU16(bytes, h.biBitCount);
  OutputFile::PutU32(bytes, h.biCompression);
  OutputFile::PutU32(bytes, h.biSizeImage);
  OutputFile::PutU32(bytes, static_cast<std::uint32_t>(h.biXPelsPerMeter));
  OutputFile::PutU32(bytes, static_cast<std::uint32_t>(h.biYPelsPerMeter));
  OutputFile::PutU32(bytes, h.biClrUsed);
  OutputFile::PutU32(bytes, h.biClrImportant);
  const std::size_t start = bytes.size();
  bytes.append(reinterpret_cast<const char*>(picture.Bits()), h.biSizeImage);
  const std::size_t row = static_cast<std::size_t>(picture.Width()) * 3;
  const auto stride = static_cast<std::size_t>(picture.Stride());
  for (std::size_t y = 0; row < stride && y < static_cast<std::size_t>(picture.Height()); ++y)
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(start + y * stride + row), stride - row, '\0');
  return bytes;
}

int FrameCommand::Run(const std::vector<std::string>& args) {
  const CliCommand self = CliCommand::Of<FrameCommand>();
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {{"quick", false}, {"size", true}}, 3, 3, error))
    return UsageError(self, error);
  const auto frame = CliArgs::ToInt(parsed.Positional()[1]);
  if (!frame)
    return UsageError(self, "N must be a frame number");
  const bool quick = parsed.Has("quick");
  std::int32_t width = 0;
  std::int32_t height = 0;
  if (const auto size = parsed.Value("size")) {
    if (!CliArgs::ToSize(*size, width, height))
      return UsageError(self, "--size must be WxH with both above 0");
  }

  CliProject cli;
  if (!cli.Open(parsed.Positional()[0]))
    return cli.Fail("the project cannot be opened");
  const pVideoClipList& list = cli.Project().List();
  if (*frame < 0 || *frame >= list.TotalFrames())
    return CliProject::Error("frame " + std::to_string(*frame) + " is outside the timeline (0 to " +
                             std::to_string(list.TotalFrames() - 1) + ")");
  if (width == 0) {
    if (quick) {
      width = CliProject::kViewWidth;
      height = CliProject::kViewHeight;
    } else {
      width = list.Output().VideoWidth();
      height = list.Output().VideoHeight();
      if (width < 1 || height < 1)
        return CliProject::Error("the project has no output size: give one with --size WxH");
    }
  }
  DIB picture;
  if (!picture.Create(width, height))
    return CliProject::Error("a picture of " + std::to_string(width) + "x" + std::to_string(height) +
                             " cannot be made");
  TimelineRenderer renderer;
  const ClipPos pos = list.PosAt(*frame);
  const bool drawn =
      quick ? renderer.QuickFrame(list, picture, pos) : renderer.SmoothFrame(list, picture, pos);
  if (!drawn)
    return CliProject::Error("frame " + std::to_string(*frame) + " cannot be drawn");

  OutputFile out(parsed.Positional()[2]);
  if (!out.Open() || !out.Write(BmpBytes(picture)) || !out.Commit())
    return CliProject::Error(out.Error());
  return kSuccess;
}

} // namespace rw::cli

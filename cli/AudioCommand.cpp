#include "cli/AudioCommand.h"

#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "cli/FrameRange.h"
#include "cli/OutputFile.h"
#include "project/TimelineRenderer.h"

#include <limits>

namespace rw::cli {

std::string AudioCommand::WavHeader(const OutputInfo& output, std::uint32_t dataBytes) {
  const auto channels = static_cast<std::uint32_t>(output.AudioChannels());
  const auto bits = static_cast<std::uint32_t>(output.AudioBits());
  const auto rate = static_cast<std::uint32_t>(output.AudioRate());
  const std::uint32_t align = channels * bits / 8;
  std::string header = "RIFF";
  OutputFile::PutU32(header, 36 + dataBytes);
  header += "WAVEfmt ";
  OutputFile::PutU32(header, 16);
  OutputFile::PutU16(header, 1); // PCM
  OutputFile::PutU16(header, channels);
  OutputFile::PutU32(header, rate);
  OutputFile::PutU32(header, rate * align);
  OutputFile::PutU16(header, align);
  OutputFile::PutU16(header, bits);
  header += "data";
  OutputFile::PutU32(header, dataBytes);
  return header;
}

int AudioCommand::Run(const std::vector<std::string>& args) {
  CliProject cli;
  FrameRange range;
  if (const auto stop = range.Open(CliCommand::Of<AudioCommand>(), args, 2, cli))
    return *stop;
  const pVideoClipList& list = cli.Project().List();
  const OutputInfo& output = list.Output();
  const std::int64_t bytes = TimelineRenderer::ByteCount(output, range.First(), range.Count());
  if (bytes > std::numeric_limits<std::uint32_t>::max() - 36)
    return CliProject::Error("the sound of these frames is too long for a WAV file");

  OutputFile out(range.Name(1));
  if (!out.Open() || !out.Write(WavHeader(output, static_cast<std::uint32_t>(bytes))))
    return CliProject::Error(out.Error());
  // One window per frame, as playback and the movie compile render the sound.
  TimelineRenderer renderer;
  std::vector<std::uint8_t> buffer;
  std::int64_t written = 0;
  for (std::int64_t i = range.First(); i < range.End(); ++i) {
    if (!renderer.RenderAudio(list, buffer, static_cast<std::int32_t>(i), 1))
      return CliProject::Error("the sound of frame " + std::to_string(i) + " cannot be rendered");
    if (!out.Write(buffer.data(), buffer.size()))
      return CliProject::Error(out.Error());
    written += static_cast<std::int64_t>(buffer.size());
  }
  if (written != bytes)
    return CliProject::Error("the sound came out at another length than announced");
  if (!out.Commit())
    return CliProject::Error(out.Error());
  return kSuccess;
}

} // namespace rw::cli

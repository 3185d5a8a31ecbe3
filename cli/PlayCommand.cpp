#include "cli/PlayCommand.h"

#include "audio/WaveOut.h"
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "cli/FrameRange.h"
#include "playback/WaveOutSink.h"
#include "project/PlaybackFeeder.h"

#include <chrono>
#include <cstdio>

namespace rw::cli {
namespace {

using Clock = PlaybackFeeder::Clock;

// Prints the time of the frame being played whenever another whole second of playing has
// passed on the clock.
class TimePrinter {
public:
  explicit TimePrinter(Clock::time_point start) : start_(start) {}

  void Tick(std::int32_t frame) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start_).count();
    if (seconds > printed_) {
      printed_ = seconds;
      Print(frame);
    }
  }
  static void Print(std::int32_t frame) {
    std::printf("%s\n", PlayCommand::TimeText(frame).c_str());
    std::fflush(stdout);
  }

private:
  Clock::time_point start_;
  std::int64_t printed_ = 0;
};

} // namespace

std::string PlayCommand::TimeText(std::int64_t frame) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(frame / 1800),
                static_cast<long long>(frame / 30 % 60), static_cast<long long>(frame % 30));
  return text;
}

int PlayCommand::Run(const std::vector<std::string>& args) {
  CliProject cli;
  FrameRange range;
  if (const auto stop = range.Open(CliCommand::Of<PlayCommand>(), args, 1, cli))
    return *stop;
  const pVideoClipList& list = cli.Project().List();
  if (range.Count() == 0)
    return kSuccess;
  const auto begin = static_cast<std::int32_t>(range.First());
  const auto end = static_cast<std::int32_t>(range.End());

  const OutputInfo& output = list.Output();
  WaveOut out(output.AudioRate(), output.AudioChannels(), output.AudioBits());
  // Playback keeps its device open until the end, whatever the queue does in between.
  out.SetAutoClose(false);
  if (!out.Open()) {
    const auto notice = out.TakeUnavailableNotice();
    return CliProject::Error("no sound: " + (notice ? *notice : out.LastError()));
  }

  WaveOutSink sink(out);
  cli.Messages().Clear();
  PlaybackFeeder feeder(sink, cli.Messages());
  if (!feeder.Start(list, begin, end))
    return cli.Fail("the sound cannot be played");
  const Clock::time_point started = Clock::now();
  TimePrinter printer(started);
  TimePrinter::Print(begin);
  while (!feeder.Finished()) {
    feeder.WaitForTick();
    if (!feeder.TopUp(list)) {
      out.Reset();
      return cli.Fail("the sound cannot be played");
    }
    printer.Tick(feeder.PlayingFrame());
  }
  // Drain: the rest of the queue plays out, with the time still printed, bounded as WaveOut's
  // own drain is.
  const auto bound = WaveOut::kDrainInterval * WaveOut::kDrainPolls;
  const Clock::time_point queued = Clock::now();
  while (out.BusyCount() > 0 && Clock::now() - queued < bound) {
    feeder.WaitForTick();
    printer.Tick(feeder.PlayingFrame());
  }
  if (out.BusyCount() > 0) {
    out.Reset();
    return CliProject::Error("the sound device did not finish playing");
  }
  TimePrinter::Print(end);
  out.Close();
  return kSuccess;
}

} // namespace rw::cli

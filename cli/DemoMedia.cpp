#include "cli/DemoMedia.h"

#include "base/MessageText.h"
#include "cli/AudioCommand.h"
#include "cli/FrameCommand.h"
#include "cli/OutputFile.h"
#include "output/CompressorCatalogue.h"
#include "output/MovieWriter.h"
#include "output/settings/OutputInfo.h"
#include "render/DIB.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace rw::cli {
namespace {

constexpr int kRate = 44100;
constexpr int kFrameRate = 30;

std::uint8_t Byte(int v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

void Put(DIB& picture, int x, int y, int r, int g, int b) {
  // Rows are stored bottom-up.
  std::uint8_t* p =
      picture.Bits() + static_cast<std::ptrdiff_t>(picture.Height() - 1 - y) * picture.Stride() + 3 * x;
  p[0] = Byte(b);
  p[1] = Byte(g);
  p[2] = Byte(r);
}

void PutSample(std::vector<std::uint8_t>& out, double value) {
  const auto v = static_cast<std::int16_t>(std::clamp(value, -32767.0, 32767.0));
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

} // namespace

void DemoMedia::Scene(DIB& picture, int n, int scene) {
  const int w = picture.Width();
  const int h = picture.Height();
  // The ball bounces across the picture once every two seconds.
  const int period = 2 * kFrameRate;
  const int phase = n % (2 * period);
  const int cx = (phase < period ? phase : 2 * period - phase) * (w - 1) / period;
  const int cy = h / 2 + static_cast<int>(h / 5.0 * std::sin(n * 2 * std::numbers::pi / period));
  const int radius = std::max(2, h / 8);
  for (int y = 0; y < h; ++y) {
    const int sky = y * 255 / std::max(1, h - 1);
    for (int x = 0; x < w; ++x) {
      const int dx = x - cx;
      const int dy = y - cy;
      const bool ball = dx * dx + dy * dy <= radius * radius;
      const bool ground = y > h * 3 / 4;
      const int stripe = ((x + n * 4) / std::max(1, w / 16)) % 2;
      if (ball)
        Put(picture, x, y, 250, 220 - 60 * scene, 40 + 80 * scene);
      else if (ground)
        Put(picture, x, y, 40 + 30 * stripe, 120 + 40 * scene + 30 * stripe, 40);
      else if (scene == 0)
        Put(picture, x, y, 60 + sky / 3, 110 + sky / 3, 230 - sky / 4);
      else
        Put(picture, x, y, 240 - sky / 3, 140 + sky / 4, 90 + sky / 2);
    }
  }
}

bool DemoMedia::WriteMovie(const std::filesystem::path& file, int width, int height, int frames, int scene,
                           double pitch, MessageText& messages) {
  MovieFormat format;
  format.width = width;
  format.height = height;
  format.frameRate = kFrameRate;
  format.audio = true;
  format.audioRate = kRate;
  format.audioBits = 16;
  format.audioChannels = 2;
  VideoSource video;
  video.compressor = CompressorCatalogue::FindKnown(*CompressorCatalogue::ParseCode("MJPG"));
  video.settings.quality = 9000;
  MovieWriter writer(messages);
  if (writer.Open(file, format, video) != MovieWriter::OpenResult::Opened) {
    messages.Append("ファイル'" + file.string() + "'の書き込みができませんでした (" + writer.FailureDetail() +
                    ")\n");
    return false;
  }
  DIB picture;
  picture.Create(width, height);
  std::vector<std::uint8_t> sound;
  for (int i = 0; i < frames; ++i) {
    Scene(picture, i, scene);
    sound.clear();
    const std::int64_t first = std::int64_t{kRate} * i / kFrameRate;
    const std::int64_t end = std::int64_t{kRate} * (i + 1) / kFrameRate;
    for (std::int64_t s = first; s < end; ++s) {
      const double t = static_cast<double>(s) / kRate;
      const double tick = (s % kRate) < kRate / 50 ? 9000.0 * std::sin(t * 2 * std::numbers::pi * 1760) : 0.0;
      const double tone = 5000.0 * std::sin(t * 2 * std::numbers::pi * pitch);
      PutSample(sound, tone + tick);
      PutSample(sound, 0.6 * tone + tick);
    }
    if (!writer.WritePicture(i, picture, i % kFrameRate == 0) || !writer.WriteAudio(sound)) {
      writer.Abandon();
      return false;
    }
  }
  return writer.Finish(frames);
}

bool DemoMedia::WriteWav(const std::filesystem::path& file, double seconds, MessageText& messages) {
  // C, E, G, C above and back, half a second each, with a soft attack and decay.
  static constexpr double kNotes[] = {261.63, 329.63, 392.0, 523.25, 392.0, 329.63};
  const auto samples = static_cast<std::int64_t>(seconds * kRate);
  std::vector<std::uint8_t> data;
  data.reserve(static_cast<std::size_t>(samples) * 4);
  for (std::int64_t s = 0; s < samples; ++s) {
    const double t = static_cast<double>(s) / kRate;
    const auto note = static_cast<std::size_t>(t * 2) % std::size(kNotes);
    const double within = t * 2 - std::floor(t * 2);
    const double envelope = std::min(1.0, within * 20) * (1.0 - 0.7 * within);
    const double v = 7000.0 * envelope * std::sin(t * 2 * std::numbers::pi * kNotes[note]);
    PutSample(data, v);
    PutSample(data, v);
  }
  OutputInfo format;
  format.SetAudioRate(kRate);
  format.SetAudioBits(16);
  format.SetAudioChannels(2);
  std::string bytes = AudioCommand::WavHeader(format, static_cast<std::uint32_t>(data.size()));
  bytes.append(reinterpret_cast<const char*>(data.data()), data.size());
  return Store(file, bytes, messages);
}

bool DemoMedia::WriteBmp(const std::filesystem::path& file, int width, int height, MessageText& messages) {
  DIB picture;
  picture.Create(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int dx = x - width / 2;
      const int dy = y - height / 2;
      const int ring = static_cast<int>(std::sqrt(dx * dx + dy * dy)) / std::max(1, height / 24);
      Put(picture, x, y, ring % 2 ? 240 : 30 + x * 100 / width, ring % 3 == 0 ? 200 : 60,
          90 + y * 120 / height);
    }
  return Store(file, FrameCommand::BmpBytes(picture), messages);
}

bool DemoMedia::WriteTga(const std::filesystem::path& file, int width, int height, MessageText& messages) {
  // Uncompressed true colour, rows from the bottom, blue-green-red without row padding.
  std::string bytes(18, '\0');
  bytes[2] = 2;
  bytes[12] = static_cast<char>(width & 0xFF);
  bytes[13] = static_cast<char>(width >> 8);
  bytes[14] = static_cast<char>(height & 0xFF);
  bytes[15] = static_cast<char>(height >> 8);
  bytes[16] = 24;
  const int tile = std::max(1, width / 10);
  for (int row = height - 1; row >= 0; --row)
    for (int x = 0; x < width; ++x) {
      const bool dark = ((x / tile) + (row / tile)) % 2 == 0;
      bytes += static_cast<char>(Byte(dark ? 60 : 200 - row * 100 / height));
      bytes += static_cast<char>(Byte(dark ? 40 + x * 80 / width : 210));
      bytes += static_cast<char>(Byte(dark ? 30 : 120 + x * 100 / width));
    }
  return Store(file, bytes, messages);
}

bool DemoMedia::Store(const std::filesystem::path& file, const std::string& bytes, MessageText& messages) {
  OutputFile out(file);
  if (out.Open() && out.Write(bytes) && out.Commit())
    return true;
  messages.Append(out.Error() + "\n");
  return false;
}

} // namespace rw::cli

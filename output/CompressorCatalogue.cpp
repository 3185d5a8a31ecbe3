#include "output/CompressorCatalogue.h"

#include "base/LittleEndian.h"
#include "base/MessageText.h"
#include "output/MemoryMovieSink.h"
#include "output/MovieReader.h"
#include "output/MovieWriter.h"
#include "output/settings/FourCharCode.h"
#include "output/settings/OutputInfo.h"
#include "render/DIB.h"

#include <array>
#include <cstdlib>

namespace rw {

namespace {

using F = EncoderFamily;

// code, encoder, description, input format, family, lossless, quality, key frames, data rate,
// trial tolerance
constexpr std::array kKnown{
    CompressorInfo{FourCC('D', 'I', 'B', ' '), "rawvideo", "非圧縮 (24ビット RGB)", "bgr24", F::Stored, true,
                   false, false, false, 0},
    CompressorInfo{FourCC('M', 'J', 'P', 'G'), "mjpeg", "Motion JPEG", "yuvj422p", F::MpegVideo, false, true,
                   false, true, 6},
    CompressorInfo{FourCC('F', 'M', 'P', '4'), "mpeg4", "MPEG-4 Part 2", "yuv420p", F::MpegVideo, false, true,
                   true, true, 8},
    CompressorInfo{FourCC('H', '2', '6', '4'), "libx264", "H.264 (x264)", "yuv420p", F::X264, false, true,
                   true, true, 8},
    CompressorInfo{FourCC('F', 'F', 'V', '1'), "ffv1", "FFV1 (可逆)", "bgr0", F::Restart, true, false, true,
                   false, 0},
    CompressorInfo{FourCC('H', 'F', 'Y', 'U'), "huffyuv", "HuffYUV (可逆)", "rgb24", F::Intra, true, false,
                   false, false, 0},
    CompressorInfo{FourCC('F', 'F', 'V', 'H'), "ffvhuff", "FFmpeg HuffYUV (可逆)", "rgb24", F::Intra, true,
                   false, false, false, 0},
    CompressorInfo{FourCC('U', 'L', 'R', 'G'), "utvideo", "Ut Video RGB (可逆)", "gbrp", F::Intra, true,
                   false, false, false, 0},
    CompressorInfo{FourCC('M', 'A', 'G', 'Y'), "magicyuv", "MagicYUV RGB (可逆)", "gbrp", F::Intra, true,
                   false, false, false, 0},
    CompressorInfo{FourCC('M', 'P', 'N', 'G'), "png", "PNG (可逆)", "rgb24", F::Intra, true, false, false,
                   false, 0},
    CompressorInfo{FourCC('Z', 'M', 'B', 'V'), "zmbv", "Zip Motion Blocks (可逆)", "bgr0", F::Restart, true,
                   false, true, false, 0},
    CompressorInfo{FourCC('c', 'v', 'i', 'd'), "cinepak", "Cinepak", "rgb24", F::Restart, false, true, true,
                   false, 16},
    CompressorInfo{FourCC('M', 'S', 'V', 'C'), "msvideo1", "Microsoft Video 1", "rgb555le", F::Restart, false,
                   false, true, false, 16},
    CompressorInfo{FourCC('M', 'P', '4', '2'), "msmpeg4v2", "Microsoft MPEG-4 v2", "yuv420p", F::MpegVideo,
                   false, true, true, true, 8},
};

constexpr std::uint32_t kFlagDataRate = 0x2;
constexpr std::uint32_t kFlagKeyFrames = 0x4;

std::uint8_t Lower(std::uint8_t c) {
  return c >= 'A' && c <= 'Z' ? static_cast<std::uint8_t>(c + 32) : c;
}

// A smooth picture with some detail, different for each `n`.
DIB TrialPicture(int width, int height, int n) {
  DIB picture;
  picture.Create(width, height);
  picture.Clear();
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.Bits() + static_cast<std::ptrdiff_t>(y) * picture.Stride();
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(40 + x * 2 + n * 20);
      row[3 * x + 1] = static_cast<std::uint8_t>(60 + y * 3);
      row[3 * x + 2] = static_cast<std::uint8_t>(200 - x - y + n * 10);
    }
  }
  return picture;
}

// Mean absolute difference per colour byte of two equal-size pictures; -1 when sizes differ.
double MeanDifference(const DIB& a, const DIB& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || !a.IsPresent() || !b.IsPresent())
    return -1;
  std::int64_t sum = 0;
  for (int y = 0; y < a.Height(); ++y) {
    const std::uint8_t* ra = a.Bits() + static_cast<std::ptrdiff_t>(y) * a.Stride();
    const std::uint8_t* rb = b.Bits() + static_cast<std::ptrdiff_t>(y) * b.Stride();
    for (int x = 0; x < a.Width() * 3; ++x)
      sum += std::abs(ra[x] - rb[x]);
  }
  return static_cast<double>(sum) / (static_cast<double>(a.Width()) * a.Height() * 3);
}

// Writes positions 0 and 2 (a forced key frame) of a 64 x 48 movie in memory, leaves position 1
// empty, and reads it back. Empty when the compressor passes, else the reason.
std::string Trial(const CompressorInfo& info) {
  constexpr int kWidth = 64;
  constexpr int kHeight = 48;
  MessageText messages;
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  MovieFormat format;
  format.width = kWidth;
  format.height = kHeight;
  VideoSource video;
  video.compressor = &info;
  video.settings.quality = 10000;
  if (writer.Open(sink, format, video) != MovieWriter::OpenResult::Opened)
    return writer.FailureDetail();
  const DIB first = TrialPicture(kWidth, kHeight, 0);
  const DIB second = TrialPicture(kWidth, kHeight, 1);
  if (!writer.WritePicture(0, first, true) || !writer.WritePicture(2, second, true) || !writer.Finish(3))
    return messages.Get();

  MovieReader reader;
  std::string error;
  std::vector<MovieReader::VideoSample> samples;
  std::vector<std::uint8_t> audio;
  std::vector<DIB> pictures;
  if (!reader.Open(sink.Bytes(), error) || !reader.ReadAll(samples, audio, error))
    return error;
  const std::uint32_t expectedTag = info.family == EncoderFamily::Stored ? 0 : info.code;
  if (!reader.Video() || reader.Video()->codec_tag != expectedTag)
    return "the movie does not carry the code";
  if (reader.VideoFrames() != 3)
    return "the movie has " + std::to_string(reader.VideoFrames()) + " frames instead of 3";
  if (!reader.Decode(samples, 3, pictures, error))
    return error;
  const DIB* expected[] = {&first, &first, &second};
  for (int i = 0; i < 3; ++i) {
    const double difference = MeanDifference(pictures[i], *expected[i]);
    if (difference < 0 || difference > info.trialTolerance)
      return "picture " + std::to_string(i) + " decodes differently (mean difference " +
             std::to_string(difference) + ")";
  }
  return {};
}

} // namespace

std::string CompressorInfo::CodeText() const {
  return FourCharCode::Encode(code);
}

EncoderSettings EncoderSettings::From(const CompressOptions& options) {
  EncoderSettings settings;
  if (options.dwQuality <= 10000)
    settings.quality = static_cast<int>(options.dwQuality);
  if ((options.dwFlags & kFlagKeyFrames) && options.dwKeyFrameEvery > 0 &&
      options.dwKeyFrameEvery <= 1u << 20)
    settings.keyFrameEvery = static_cast<int>(options.dwKeyFrameEvery);
  if ((options.dwFlags & kFlagDataRate) && options.dwBytesPerSecond > 0 &&
      options.dwBytesPerSecond <= 1u << 30)
    settings.bytesPerSecond = options.dwBytesPerSecond;
  return settings;
}

std::span<const CompressorInfo> CompressorCatalogue::Known() {
  return kKnown;
}

bool CompressorCatalogue::SameCode(std::uint32_t a, std::uint32_t b) {
  for (int i = 0; i < 4; ++i)
    if (Lower(static_cast<std::uint8_t>(a >> (8 * i))) != Lower(static_cast<std::uint8_t>(b >> (8 * i))))
      return false;
  return true;
}

const CompressorInfo* CompressorCatalogue::FindKnown(std::uint32_t code) {
  for (const CompressorInfo& info : kKnown)
    if (SameCode(info.code, code))
      return &info;
  return nullptr;
}

std::optional<std::uint32_t> CompressorCatalogue::ParseCode(std::string_view text) {
  if (text.size() > 4) {
    std::uint32_t code = 0;
    if (text.find('\\') != std::string_view::npos && FourCharCode::Decode(text, code) &&
        FourCharCode::Encode(code).size() == text.size())
      return code;
    return std::nullopt;
  }
  if (text.empty())
    return std::nullopt;
  std::uint32_t code = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto c = i < text.size() ? static_cast<unsigned char>(text[i]) : static_cast<unsigned char>(' ');
    if (c == 0)
      return std::nullopt;
    code |= static_cast<std::uint32_t>(c) << (8 * i);
  }
  return code;
}

void CompressorCatalogue::Probe() {
  if (probed_)
    return;
  probed_ = true;
  for (const CompressorInfo& info : kKnown) {
    std::string failure = Trial(info);
    if (failure.empty())
      entries_.push_back(&info);
    else
      failures_.emplace_back(&info, std::move(failure));
  }
}

const std::vector<const CompressorInfo*>& CompressorCatalogue::Entries() {
  Probe();
  return entries_;
}

const CompressorInfo* CompressorCatalogue::Find(std::uint32_t code) {
  Probe();
  for (const CompressorInfo* info : entries_)
    if (SameCode(info->code, code))
      return info;
  return nullptr;
}

std::string CompressorCatalogue::TrialFailure(std::uint32_t code) {
  Probe();
  for (const auto& [info, failure] : failures_)
    if (SameCode(info->code, code))
      return failure;
  return {};
}

const CompressorInfo* CompressorCatalogue::Require(std::uint32_t code, MessageText& messages) {
  if (const CompressorInfo* info = Find(code))
    return info;
  const std::string name = FourCharCode::Encode(code);
  if (FindKnown(code))
    messages.Append("圧縮方式'" + name + "'はこの環境では使えません (" + TrialFailure(code) + ")\n");
  else
    messages.Append("圧縮方式'" + name + "'は知られていません\n");
  return nullptr;
}

} // namespace rw

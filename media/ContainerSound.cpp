#include "media/ContainerSound.h"

#include "base/MessageText.h"
#include "media/ContainerSoundDecoder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <system_error>

namespace rw {
namespace {

// Decoded frames kept for reads that go back a little (a mixer's next window, a repeated
// read); twice as many at most before the oldest go.
constexpr std::int64_t kCacheFrames = std::int64_t{1} << 17;

} // namespace

pContainerSound::pContainerSound() = default;
pContainerSound::~pContainerSound() = default;

bool pContainerSound::Fail(MessageText& messages, const std::string& text) {
  Close();
  sampleFrames_ = 0;
  messages.Append(text + "\n");
  return false;
}

bool pContainerSound::Open(const std::filesystem::path& file, MessageText& messages) {
  Close();
  fileName_ = file;
  stamp_ = FileStamp{};
  sampleFrames_ = 0;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    return Fail(messages, "ファイル" + MessageText::Quoted(file) + "を開けません");
  auto decoder = std::make_unique<ContainerSoundDecoder>();
  std::string why;
  bool hasPictures = false;
  if (!decoder->Open(file, why) || !decoder->BuildIndex(index_, origin_, hasPictures, why))
    return Fail(messages, MessageText::Quoted(file) + "の音声を読めません(" + why + ")");
  // The first and the last presented sample as the decoder gives them: the index cannot know
  // what a decoder drops on its own (an Opus pre-skip) or how a container counts the padding of
  // the last packet.
  if (!FindBounds(*decoder))
    return Fail(messages, MessageText::Quoted(file) + "の音声を読めません(no audio samples)");
  if (!hasPictures)
    origin_ = audioFirst_;
  const std::int64_t frames = audioEnd_ - origin_;
  if (frames <= 0)
    return Fail(messages, MessageText::Quoted(file) + "の音声が最初の画像より前で終わっています");
  if (frames > std::numeric_limits<std::int32_t>::max())
    return Fail(messages,
                MessageText::Quoted(file) + "の音声が長すぎます(" + std::to_string(frames) + "サンプル)");
  channels_ = decoder->Channels();
  rate_ = decoder->Rate();
  sampleFrames_ = static_cast<std::int32_t>(frames);
  stamp_ = FileStamp::Of(file);
  decoder_ = std::move(decoder);
  return true;
}

bool pContainerSound::FindBounds(ContainerSoundDecoder& decoder) {
  ContainerSoundDecoder::Block block;
  if (!decoder.Seek(index_, 0) || decoder.Next(index_, block) != ContainerSoundDecoder::Step::Block)
    return false;
  audioFirst_ = block.start;
  audioEnd_ = block.start + block.frames;
  const std::size_t k = index_.SeekPacket(index_.EndSample(), decoder.Preroll() + decoder.Rate() / 10);
  if (k > 0 && !decoder.Seek(index_, k))
    return false;
  for (;;) {
    const auto step = decoder.Next(index_, block);
    if (step == ContainerSoundDecoder::Step::Failed)
      return false;
    if (step == ContainerSoundDecoder::Step::End)
      return audioEnd_ > audioFirst_;
    audioEnd_ = std::max(audioEnd_, block.start + block.frames);
  }
}

void pContainerSound::Close() {
  decoder_.reset();
  cache_.clear();
  next_.reset();
}

bool pContainerSound::IsOpen() const {
  return true;
}

void pContainerSound::Keep(std::int64_t start, const std::int16_t* samples, std::int64_t frames) {
  // What is still settling after a jump, or lies before the origin, is not kept.
  const std::int64_t cut = std::max({settled_, std::int64_t{0}, start}) - start;
  if (cut >= frames)
    return;
  start += cut;
  samples += cut * channels_;
  frames -= cut;
  const std::int64_t cacheEnd = cacheStart_ + static_cast<std::int64_t>(cache_.size()) / channels_;
  if (cache_.empty() || start > cacheEnd || start < cacheStart_) {
    cache_.clear();
    cacheStart_ = start;
  } else if (start < cacheEnd) {
    // Overlapping what is kept already: the earlier frames stay.
    const std::int64_t overlap = cacheEnd - start;
    if (overlap >= frames)
      return;
    samples += overlap * channels_;
    frames -= overlap;
  }
  cache_.insert(cache_.end(), samples, samples + frames * channels_);
  const std::int64_t kept = static_cast<std::int64_t>(cache_.size()) / channels_;
  if (kept > 2 * kCacheFrames) {
    const std::int64_t drop = kept - kCacheFrames;
    cache_.erase(cache_.begin(), cache_.begin() + static_cast<std::ptrdiff_t>(drop * channels_));
    cacheStart_ += drop;
  }
}

pContainerSound::Reach pContainerSound::DecodeTo(std::int64_t at) {
  const std::int64_t preroll = decoder_->Preroll();
  const std::int64_t reach = std::max<std::int64_t>(rate_, 2 * preroll);
  if (!next_ || at < *next_ || at > *next_ + reach) {
    const std::size_t k = index_.SeekPacket(at + origin_, preroll);
    if (!decoder_->Seek(index_, k)) {
      next_.reset();
      return Reach::Failed;
    }
    settled_ = k == 0 ? std::numeric_limits<std::int64_t>::min() : index_[k].start - origin_ + preroll;
    cache_.clear();
    next_ = index_[k].start - origin_;
  }
  ContainerSoundDecoder::Block block;
  for (;;) {
    const auto step = decoder_->Next(index_, block);
    if (step != ContainerSoundDecoder::Step::Block) {
      next_.reset();
      return step == ContainerSoundDecoder::Step::End ? Reach::End : Reach::Failed;
    }
    const std::int64_t start = block.start - origin_;
    Keep(start, block.samples.data(), block.frames);
    next_ = start + block.frames;
    if (*next_ > at && !cache_.empty())
      return Reach::Decoded;
  }
}

bool pContainerSound::Read(void* dest, std::int32_t first, std::int32_t count) {
  if (!decoder_ || first < 0 || first >= sampleFrames_ || count < 0)
    return false;
  auto* out = static_cast<std::int16_t*>(dest);
  std::memset(out, 0, static_cast<std::size_t>(count) * static_cast<std::size_t>(BlockSize()));
  // Before the first audio sample and after the last: silence.
  std::int64_t at = std::max<std::int64_t>(first, audioFirst_ - origin_);
  const std::int64_t end = std::min<std::int64_t>(std::int64_t{first} + count, sampleFrames_);
  while (at < end) {
    const std::int64_t cacheEnd = cacheStart_ + static_cast<std::int64_t>(cache_.size()) / channels_;
    if (!cache_.empty() && at >= cacheStart_ && at < cacheEnd) {
      const std::int64_t n = std::min(end, cacheEnd) - at;
      std::memcpy(out + (at - first) * channels_, cache_.data() + (at - cacheStart_) * channels_,
                  static_cast<std::size_t>(n * channels_) * sizeof(std::int16_t));
      at += n;
      continue;
    }
    const Reach reach = DecodeTo(at);
    if (reach == Reach::Failed)
      return false;
    if (reach == Reach::End)
      break; // the stream ends before its last packet said: the rest is silence
    // A gap in the stream before what was decoded: silence.
    if (cacheStart_ > at)
      at = std::min(end, cacheStart_);
    else if (at >= cacheStart_ + static_cast<std::int64_t>(cache_.size()) / channels_)
      return false;
  }
  return true;
}

} // namespace rw

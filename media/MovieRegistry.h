#pragma once

#include "base/Handle.h"
#include "media/FrameCacheBudget.h"
#include "media/ReaderRegistry.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

namespace rw {

class MessageText;
class UserPrompt;

// The open movie files of one kind for one program run and their frame decoders: one stream per
// file (the file itself decides, see FileIdentity), one decoder per stream and size. Newest
// first. The registry must outlive what it hands out; objects still alive when it goes are
// forgotten. Stream and Frame are the handles of the kind's shared reader (pStream) and decoder
// (pFrame); see AviRegistry and ContainerRegistry.
template <class pStream, class pFrame, class Stream, class Frame> class MovieRegistry {
public:
  // Decoders count their cached pictures against `budget`; by default a budget of the registry's
  // own.
  MovieRegistry() : MovieRegistry(std::make_shared<FrameCacheBudget>()) {}
  explicit MovieRegistry(std::shared_ptr<FrameCacheBudget> budget) : budget_(std::move(budget)) {}
  MovieRegistry(const MovieRegistry&) = delete;
  MovieRegistry& operator=(const MovieRegistry&) = delete;

  // The stream of `file`, opening it when it is not open yet; null when it cannot be opened
  // (the reason is appended to `messages`).
  Stream OpenStream(const std::filesystem::path& file, MessageText& messages) {
    return streams_.OpenShared(file, messages);
  }

  // The decoder of `stream` at width × height (0: the stream's own), opening one when there is
  // none yet; null for a null or closed stream or a video without decoder.
  Frame OpenDecoder(const Stream& stream, std::int32_t width, std::int32_t height) {
    if (!stream || !stream->IsOpen())
      return Frame();
    const std::int32_t w = width > 0 ? width : stream->FrameWidth();
    const std::int32_t h = height > 0 ? height : stream->FrameHeight();
    if (Frame shared = decoders_.Find([&](const pFrame& d) {
          return d.Stream() == stream && d.Width() == w && d.Height() == h && d.IsOpen();
        }))
      return shared;
    Frame decoder = Frame::Make();
    decoder->SetCacheBudget(budget_);
    if (!decoder->Open(stream, width, height))
      return Frame();
    decoders_.Add(decoder);
    return decoder;
  }

  // Compares every stream's file with its size and write time at opening; for each that
  // changed asks the user whether to read it again: OK reopens the stream in place for all its
  // clips, any other answer closes it (its clips become invalid; the question comes again at
  // the next check). When any file had changed, every decoder is opened again (cache cleared)
  // or, on a closed stream, closed. True when any file had changed.
  bool CheckFiles(UserPrompt& prompt, MessageText& messages) {
    // The prompt may run other code; every decoder is held while asking.
    const std::vector<Handle<pFrame>> decoders = decoders_.Held();
    if (!streams_.CheckFiles(prompt, messages))
      return false;
    for (const Handle<pFrame>& decoder : decoders) {
      if (decoder->Stream() && decoder->Stream()->IsOpen())
        decoder->Reopen();
      else
        decoder->Close();
    }
    return true;
  }

  // Bytes of decoded pictures all decoders keep together (see FrameCacheBudget); a smaller limit
  // evicts at once.
  void SetCacheLimit(std::size_t bytes) { budget_->SetLimit(bytes); }
  std::size_t CacheLimit() const { return budget_->Limit(); }
  const FrameCacheBudget& CacheBudget() const { return *budget_; }

  std::size_t StreamCount() const { return streams_.Size(); }
  std::size_t DecoderCount() const { return decoders_.Size(); }

private:
  ReaderRegistry<pStream> streams_;
  ReaderRegistry<pFrame> decoders_;
  std::shared_ptr<FrameCacheBudget> budget_;
};

} // namespace rw

#pragma once

#include "media/ContainerFrame.h"
#include "media/ContainerStream.h"
#include "media/FrameCacheBudget.h"
#include "media/ReaderRegistry.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace rw {

class MessageText;
class UserPrompt;

// The open movie files (MP4, MOV, MKV, WebM) of one program run and their frame decoders: one stream per file
// (the file itself decides, see FileIdentity), one decoder per stream and size. Newest first. The registry
// must outlive what it hands out; objects still alive when it goes are forgotten.
class ContainerRegistry {
public:
  // Decoders count their cached pictures against `budget`; by default a budget of the registry's
  // own.
  ContainerRegistry() : ContainerRegistry(std::make_shared<FrameCacheBudget>()) {}
  explicit ContainerRegistry(std::shared_ptr<FrameCacheBudget> budget) : budget_(std::move(budget)) {}
  ContainerRegistry(const ContainerRegistry&) = delete;
  ContainerRegistry& operator=(const ContainerRegistry&) = delete;

  // The stream of `file`, opening it when it is not open yet; null when it cannot be opened
  // (the reason is appended to `messages`).
  ContainerStream OpenStream(const std::filesystem::path& file, MessageText& messages);
  // The decoder of `stream` at width × height (0: the stream's own), opening one when there is
  // none yet; null for a null or closed stream or a video without decoder.
  ContainerFrame OpenDecoder(const ContainerStream& stream, std::int32_t width, std::int32_t height);

  // Compares every stream's file with its size and write time at opening; for each that
  // changed asks the user whether to read it again: OK reopens the stream in place for all its
  // clips, any other answer closes it (its clips become invalid; the question comes again at
  // the next check). When any file had changed, every decoder is opened again (cache cleared)
  // or, on a closed stream, closed. True when any file had changed.
  bool CheckFiles(UserPrompt& prompt, MessageText& messages);

  // Bytes of decoded pictures all decoders keep together (see FrameCacheBudget); a smaller limit
  // evicts at once.
  void SetCacheLimit(std::size_t bytes) { budget_->SetLimit(bytes); }
  std::size_t CacheLimit() const { return budget_->Limit(); }
  const FrameCacheBudget& CacheBudget() const { return *budget_; }

  std::size_t StreamCount() const { return streams_.Size(); }
  std::size_t DecoderCount() const { return decoders_.Size(); }

private:
  ReaderRegistry<pContainerStream> streams_;
  ReaderRegistry<pContainerFrame> decoders_;
  std::shared_ptr<FrameCacheBudget> budget_;
};

} // namespace rw

#include "media/AviRegistry.h"

#include "base/UserPrompt.h"
#include "media/FileIdentity.h"

#include <algorithm>

namespace rw {

AviRegistry::~AviRegistry() {
  for (pAviStream* stream : streams_)
    stream->registry_ = nullptr;
  for (pAviFrame* decoder : decoders_)
    decoder->registry_ = nullptr;
}

AviStream AviRegistry::OpenStream(const std::filesystem::path& file, MessageText& messages) {
  for (pAviStream* stream : streams_) {
    if (FileIdentity::Same(stream->FileName(), file)) {
      stream->AddRef();
      return AviStream(stream);
    }
  }
  AviStream stream(new pAviStream());
  if (!stream->Open(file, messages))
    return AviStream();
  stream->registry_ = this;
  streams_.insert(streams_.begin(), stream.Get());
  return stream;
}

AviFrame AviRegistry::OpenDecoder(const AviStream& stream, std::int32_t width, std::int32_t height) {
  if (!stream || !stream->IsOpen())
    return AviFrame();
  const std::int32_t w = width > 0 ? width : stream->FrameWidth();
  const std::int32_t h = height > 0 ? height : stream->FrameHeight();
  for (pAviFrame* decoder : decoders_) {
    if (decoder->Stream() == stream && decoder->Width() == w && decoder->Height() == h && decoder->IsOpen()) {
      decoder->AddRef();
      return AviFrame(decoder);
    }
  }
  AviFrame decoder(new pAviFrame());
  decoder->SetCacheLimit(cacheLimit_);
  if (!decoder->Open(stream, width, height))
    return AviFrame();
  decoder->registry_ = this;
  decoders_.insert(decoders_.begin(), decoder.Get());
  return decoder;
}

void AviRegistry::Unlink(pAviStream* stream) {
  streams_.erase(std::remove(streams_.begin(), streams_.end(), stream), streams_.end());
}

void AviRegistry::Unlink(pAviFrame* decoder) {
  decoders_.erase(std::remove(decoders_.begin(), decoders_.end(), decoder), decoders_.end());
}

bool AviRegistry::CheckFiles(UserPrompt& prompt, MessageText& messages) {
  bool changed = false;
  // The prompt may run other code; hold every stream and decoder while asking.
  std::vector<AviStream> streams;
  for (pAviStream* stream : streams_) {
    stream->AddRef();
    streams.emplace_back(stream);
  }
  std::vector<AviFrame> decoders;
  for (pAviFrame* decoder : decoders_) {
    decoder->AddRef();
    decoders.emplace_back(decoder);
  }
  for (AviStream& stream : streams) {
    if (FileStamp::Of(stream->FileName()) == stream->Stamp())
      continue;
    changed = true;
    const std::string text =
        "ファイル'" + stream->FileName().string() + "'に変更が加えられましたので読込なおします";
    if (prompt.Ask(text, "ムービー読込", UserPrompt::Buttons::OkCancel) == UserPrompt::Answer::Ok)
      stream->Open(stream->FileName(), messages);
    else
      stream->Close();
  }
  if (changed) {
    for (AviFrame& decoder : decoders) {
      if (decoder->Stream() && decoder->Stream()->IsOpen())
        decoder->Reopen();
      else
        decoder->Close();
    }
  }
  return changed;
}

} // namespace rw

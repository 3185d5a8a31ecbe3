#include "media/AviRegistry.h"

#include <vector>

namespace rw {

AviStream AviRegistry::OpenStream(const std::filesystem::path& file, MessageText& messages) {
  return streams_.OpenShared(file, messages);
}

AviFrame AviRegistry::OpenDecoder(const AviStream& stream, std::int32_t width, std::int32_t height) {
  if (!stream || !stream->IsOpen())
    return AviFrame();
  const std::int32_t w = width > 0 ? width : stream->FrameWidth();
  const std::int32_t h = height > 0 ? height : stream->FrameHeight();
  if (AviFrame shared = decoders_.Find([&](const pAviFrame& d) {
        return d.Stream() == stream && d.Width() == w && d.Height() == h && d.IsOpen();
      }))
    return shared;
  AviFrame decoder = AviFrame::Make();
  decoder->SetCacheBudget(budget_);
  if (!decoder->Open(stream, width, height))
    return AviFrame();
  decoders_.Add(decoder);
  return decoder;
}

bool AviRegistry::CheckFiles(UserPrompt& prompt, MessageText& messages) {
  // The prompt may run other code; every decoder is held while asking.
  const std::vector<Handle<pAviFrame>> decoders = decoders_.Held();
  if (!streams_.CheckFiles(prompt, messages))
    return false;
  for (const Handle<pAviFrame>& decoder : decoders) {
    if (decoder->Stream() && decoder->Stream()->IsOpen())
      decoder->Reopen();
    else
      decoder->Close();
  }
  return true;
}

} // namespace rw

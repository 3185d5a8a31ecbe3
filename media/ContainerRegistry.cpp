#include "media/ContainerRegistry.h"

#include <vector>

namespace rw {

ContainerStream ContainerRegistry::OpenStream(const std::filesystem::path& file, MessageText& messages) {
  return streams_.OpenShared(file, messages);
}

ContainerFrame ContainerRegistry::OpenDecoder(const ContainerStream& stream, std::int32_t width,
                                              std::int32_t height) {
  if (!stream || !stream->IsOpen())
    return ContainerFrame();
  const std::int32_t w = width > 0 ? width : stream->FrameWidth();
  const std::int32_t h = height > 0 ? height : stream->FrameHeight();
  if (ContainerFrame shared = decoders_.Find([&](const pContainerFrame& d) {
        return d.Stream() == stream && d.Width() == w && d.Height() == h && d.IsOpen();
      }))
    return shared;
  ContainerFrame decoder = ContainerFrame::Make();
  decoder->SetCacheBudget(budget_);
  if (!decoder->Open(stream, width, height))
    return ContainerFrame();
  decoders_.Add(decoder);
  return decoder;
}

bool ContainerRegistry::CheckFiles(UserPrompt& prompt, MessageText& messages) {
  // The prompt may run other code; every decoder is held while asking.
  const std::vector<Handle<pContainerFrame>> decoders = decoders_.Held();
  if (!streams_.CheckFiles(prompt, messages))
    return false;
  for (const Handle<pContainerFrame>& decoder : decoders) {
    if (decoder->Stream() && decoder->Stream()->IsOpen())
      decoder->Reopen();
    else
      decoder->Close();
  }
  return true;
}

} // namespace rw

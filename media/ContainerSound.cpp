#include "media/ContainerSound.h"

#include "base/MessageText.h"

namespace rw {

class pContainerSound::Decoder {};

pContainerSound::pContainerSound() = default;
pContainerSound::~pContainerSound() = default;

bool pContainerSound::Fail(MessageText& messages, const std::string& text) {
  decoder_.reset();
  sampleFrames_ = 0;
  messages.Append(text + "\n");
  return false;
}

bool pContainerSound::Open(const std::filesystem::path& file, MessageText& messages) {
  Close();
  fileName_ = file;
  stamp_ = FileStamp{};
  return Fail(messages, "ファイル" + MessageText::Quoted(file) + "の音声を開けません");
}

void pContainerSound::Close() {
  decoder_.reset();
}

bool pContainerSound::IsOpen() const {
  return decoder_ != nullptr;
}

bool pContainerSound::Read(void* /*dest*/, std::int32_t /*first*/, std::int32_t /*count*/) {
  return false;
}

} // namespace rw

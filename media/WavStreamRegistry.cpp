#include "media/WavStreamRegistry.h"

#include "base/UserPrompt.h"
#include "media/FileIdentity.h"

#include <algorithm>

namespace rw {

WavStreamRegistry::~WavStreamRegistry() {
  for (pWavStream* stream : entries_)
    stream->registry_ = nullptr;
}

WavStream WavStreamRegistry::OpenShared(const std::filesystem::path& file, MessageText& messages) {
  for (pWavStream* stream : entries_) {
    if (FileIdentity::Same(stream->FileName(), file)) {
      stream->AddRef();
      return WavStream(stream);
    }
  }
  WavStream stream(new pWavStream());
  if (!stream->Open(file, messages))
    return WavStream();
  stream->registry_ = this;
  entries_.insert(entries_.begin(), stream.Get());
  return stream;
}

void WavStreamRegistry::Unlink(pWavStream* stream) {
  entries_.erase(std::remove(entries_.begin(), entries_.end(), stream), entries_.end());
}

bool WavStreamRegistry::CheckFiles(UserPrompt& prompt, MessageText& messages) {
  bool changed = false;
  // The prompt may run other code; hold every stream while asking.
  std::vector<WavStream> streams;
  for (pWavStream* stream : entries_) {
    stream->AddRef();
    streams.emplace_back(stream);
  }
  for (WavStream& stream : streams) {
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
  return changed;
}

} // namespace rw

#include "media/PictureDataRegistry.h"

#include "base/UserPrompt.h"
#include "media/FileIdentity.h"

#include <algorithm>

namespace rw {

PictureDataRegistry::~PictureDataRegistry() {
  for (PictureData* picture : entries_)
    picture->registry_ = nullptr;
}

PictureDataHandle PictureDataRegistry::OpenShared(const std::filesystem::path& file, MessageText& messages) {
  for (PictureData* picture : entries_) {
    if (FileIdentity::Same(picture->FileName(), file)) {
      picture->AddRef();
      return PictureDataHandle(picture);
    }
  }
  PictureDataHandle picture(new PictureData());
  if (!picture->Load(file, messages))
    return PictureDataHandle();
  picture->registry_ = this;
  entries_.insert(entries_.begin(), picture.Get());
  return picture;
}

void PictureDataRegistry::Unlink(PictureData* picture) {
  entries_.erase(std::remove(entries_.begin(), entries_.end(), picture), entries_.end());
}

bool PictureDataRegistry::CheckFiles(UserPrompt& prompt, MessageText& messages) {
  bool changed = false;
  // The prompt may run other code; hold every picture while asking.
  std::vector<PictureDataHandle> pictures;
  for (PictureData* picture : entries_) {
    picture->AddRef();
    pictures.emplace_back(picture);
  }
  for (PictureDataHandle& picture : pictures) {
    if (FileStamp::Of(picture->FileName()) == picture->Stamp())
      continue;
    changed = true;
    const std::string text =
        "ファイル'" + picture->FileName().string() + "'に変更が加えられましたので読込なおします";
    if (prompt.Ask(text, "ムービー読込", UserPrompt::Buttons::OkCancel) == UserPrompt::Answer::Ok)
      picture->Load(picture->FileName(), messages);
  }
  return changed;
}

} // namespace rw

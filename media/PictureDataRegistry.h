#pragma once

#include "media/PictureData.h"

#include <cstddef>
#include <filesystem>
#include <vector>

namespace rw {

class MessageText;
class UserPrompt;

// The decoded pictures of one program run: one PictureData per file, shared by every picture
// cut of that file. Newest first. The registry must outlive the pictures it hands out;
// pictures still alive when it goes are forgotten.
class PictureDataRegistry {
public:
  PictureDataRegistry() = default;
  PictureDataRegistry(const PictureDataRegistry&) = delete;
  PictureDataRegistry& operator=(const PictureDataRegistry&) = delete;
  ~PictureDataRegistry();

  // The picture of `file` (see FileIdentity), decoding it when it is not loaded yet; null when
  // it cannot be decoded (the reason is appended to `messages`).
  PictureDataHandle OpenShared(const std::filesystem::path& file, MessageText& messages);

  // For each picture whose file changed since it was loaded, asks the user whether to read it
  // again; OK reloads it in place for all its cuts (dropping the scaled copy), any other answer
  // keeps the picture and the question comes again at the next check. True when any file had
  // changed.
  bool CheckFiles(UserPrompt& prompt, MessageText& messages);

  std::size_t Size() const { return entries_.size(); }

private:
  friend class PictureData;
  void Unlink(PictureData* picture);

  std::vector<PictureData*> entries_;
};

} // namespace rw

#pragma once

#include "media/WavStream.h"

#include <cstddef>
#include <filesystem>
#include <vector>

namespace rw {

class MessageText;
class UserPrompt;

// The open WAV files of one program run: one stream per file, shared by every audio clip of
// that file. Newest first. The registry must outlive the streams it hands out; streams still
// alive when it goes are forgotten, not closed.
class WavStreamRegistry {
public:
  WavStreamRegistry() = default;
  WavStreamRegistry(const WavStreamRegistry&) = delete;
  WavStreamRegistry& operator=(const WavStreamRegistry&) = delete;
  ~WavStreamRegistry();

  // The stream of `file` (see FileIdentity), opening it when it is not open yet; null when it
  // cannot be opened (the reason is appended to `messages`).
  WavStream OpenShared(const std::filesystem::path& file, MessageText& messages);

  // Compares every stream's file with its size and write time at opening; for each that
  // changed asks the user whether to read it again. OK reopens the stream in place for all
  // its clips; any other answer closes it (its clips fall silent and the question comes again
  // at the next check). True when any file had changed.
  bool CheckFiles(UserPrompt& prompt, MessageText& messages);

  std::size_t Size() const { return entries_.size(); }

private:
  friend class pWavStream;
  void Unlink(pWavStream* stream);

  std::vector<pWavStream*> entries_;
};

} // namespace rw

#include "project/OfflineMedia.h"

#include "project/VideoClipList.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace rw {
namespace {

constexpr std::string_view kHeader = "開けないファイルがあります。オフラインのまま残しました:\n";
constexpr std::string_view kDamagedHeader = "記録より短いファイルがあります。読める所までを使います:\n";
// A file name of an offline entry whose record names none.
constexpr std::string_view kNoName = "(ファイル名なし)";

void Note(std::vector<OfflineFile>& files, const std::filesystem::path& file, std::string reason) {
  // Entries without a file name are told apart by their reason (an unknown kind, say).
  const auto same = [&](const OfflineFile& known) {
    return known.file == file && (!file.empty() || known.reason == reason);
  };
  if (std::find_if(files.begin(), files.end(), same) == files.end())
    files.push_back({file, std::move(reason)});
}

// The files of every cut and audio clip for which `reason` answers a reason, in timeline order:
// each cut, then the audio clips anchored to it.
template <class Reason> std::vector<OfflineFile> Collect(const pVideoClipList& list, Reason reason) {
  std::vector<OfflineFile> files;
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const ClipInfo& entry = list.EntryAt(i);
    if (entry.clip) {
      if (std::optional<std::string> why = reason(*entry.clip))
        Note(files, entry.clip->FileName(), std::move(*why));
    }
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k) {
      const AudioClip clip = entry.audio.At(k);
      if (!clip)
        continue;
      if (std::optional<std::string> why = reason(*clip))
        Note(files, clip->FileName(), std::move(*why));
    }
  }
  return files;
}

std::string Lines(std::string_view header, const std::vector<OfflineFile>& files) {
  if (files.empty())
    return {};
  std::string text(header);
  for (const OfflineFile& f : files) {
    text += "  ";
    text += f.file.empty() ? std::string(kNoName) : f.file.string();
    if (!f.reason.empty()) {
      text += ": ";
      text += f.reason;
    }
    text += '\n';
  }
  return text;
}

} // namespace

std::vector<OfflineFile> OfflineMedia::List(const pVideoClipList& list) {
  return Collect(list, [](const auto& clip) -> std::optional<std::string> {
    if (!clip.IsOffline())
      return std::nullopt;
    return clip.OfflineReason();
  });
}

std::vector<OfflineFile> OfflineMedia::Damaged(const pVideoClipList& list) {
  return Collect(list, [](const auto& clip) -> std::optional<std::string> {
    if (clip.IsOffline() || clip.ReadLoss().empty())
      return std::nullopt;
    return clip.ReadLoss();
  });
}

std::string OfflineMedia::Message(const std::vector<OfflineFile>& files) {
  return Lines(kHeader, files);
}

std::string OfflineMedia::Message(const std::vector<OfflineFile>& files,
                                  const std::vector<OfflineFile>& damaged) {
  return Lines(kHeader, files) + Lines(kDamagedHeader, damaged);
}

} // namespace rw

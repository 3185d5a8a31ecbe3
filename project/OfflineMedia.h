#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rw {

class pVideoClipList;

// A file that a cut or audio clip of the project names but that does not open, and why.
struct OfflineFile {
  std::filesystem::path file;
  std::string reason;
};

// The offline entries of a clip list as the user is told about them.
class OfflineMedia {
public:
  // Every file of an offline cut or audio clip once, in timeline order: each entry's cut, then
  // the audio clips anchored to it. The first reason given for a file is kept.
  static std::vector<OfflineFile> List(const pVideoClipList& list);
  // Every file of a cut or audio clip that opened but holds fewer frames or samples than its
  // record asked for (its ReadLoss), once, in the same order, with that note as the reason.
  static std::vector<OfflineFile> Damaged(const pVideoClipList& list);
  // One message naming every file and why it does not open; empty when `files` is empty.
  static std::string Message(const std::vector<OfflineFile>& files);
  // The same followed by the files that opened damaged; empty when both are empty.
  static std::string Message(const std::vector<OfflineFile>& files, const std::vector<OfflineFile>& damaged);
};

} // namespace rw

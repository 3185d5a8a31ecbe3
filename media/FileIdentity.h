#pragma once

#include <filesystem>

namespace rw {

// How the media registries tell whether two names denote one file: by the file itself where
// both exist (hard links and symbolic links included), else by the exact normalised absolute
// path. Letter case always matters: "a.wav" and "A.wav" are different files.
class FileIdentity {
public:
  static std::filesystem::path Normalised(const std::filesystem::path& file);
  static bool Same(const std::filesystem::path& a, const std::filesystem::path& b);
};

} // namespace rw

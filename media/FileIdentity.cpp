#include "media/FileIdentity.h"

#include <system_error>

namespace rw {

std::filesystem::path FileIdentity::Normalised(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  if (ec)
    full = file;
  return full.lexically_normal();
}

bool FileIdentity::Same(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a, b, ec);
  if (!ec)
    return same;
  return Normalised(a) == Normalised(b);
}

} // namespace rw

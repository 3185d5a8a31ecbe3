#include "media/FileStamp.h"

#include <system_error>

namespace rw {

FileStamp FileStamp::Of(const std::filesystem::path& file) {
  std::error_code sizeError;
  std::error_code timeError;
  FileStamp stamp;
  stamp.size = std::filesystem::file_size(file, sizeError);
  stamp.time = std::filesystem::last_write_time(file, timeError);
  if (sizeError || timeError)
    return FileStamp{static_cast<std::uintmax_t>(-1), {}};
  return stamp;
}

} // namespace rw

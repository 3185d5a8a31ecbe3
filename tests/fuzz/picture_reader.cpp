// Feeds arbitrary bytes to the BMP/TGA picture reader and reads every row it delivers.
#include "base/MessageText.h"
#include "media/PictureReader.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  av_log_set_level(AV_LOG_QUIET);
  rw::MessageText messages;
  rw::PictureReader reader;
  // Half the inputs are named as bitmaps, half as Targa files, so both decoders go first.
  const char* name = size % 2 ? "fuzz.bmp" : "fuzz.tga";
  if (reader.Open(std::span<const std::uint8_t>(data, size), name, messages)) {
    std::vector<std::uint32_t> row(static_cast<std::size_t>(reader.Width()));
    while (reader.NextRow(row.data())) {
    }
  }
  return 0;
}

// Feeds arbitrary bytes to the picture reader (BMP, Targa, PNG, JPEG) and reads every row it
// delivers.
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
  // The inputs are named as each kind in turn: the name decides which decoder goes first when
  // the bytes carry no signature, and whether any is tried at all.
  static const char* const kNames[] = {"fuzz.bmp", "fuzz.tga", "fuzz.png", "fuzz.jpg"};
  const char* name = kNames[size % 4];
  if (reader.Open(std::span<const std::uint8_t>(data, size), name, messages)) {
    std::vector<std::uint32_t> row(static_cast<std::size_t>(reader.Width()));
    while (reader.NextRow(row.data())) {
    }
  }
  return 0;
}

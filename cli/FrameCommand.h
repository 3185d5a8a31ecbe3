#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rw {
class DIB;
}

namespace rw::cli {

// frame PROJECT.rwe N OUT.bmp [--quick] [--size WxH]: one timeline frame as a 24-bit BMP file.
class FrameCommand {
public:
  static constexpr std::string_view kName = "frame";
  static constexpr std::string_view kUsage = "frame PROJECT.rwe N OUT.bmp [--quick] [--size WxH]";
  static constexpr std::string_view kSummary =
      "write timeline frame N as a 24-bit BMP: the smooth (movie) picture at the output size, or with "
      "--quick the editor's picture at --size (default 160x120)";

  static int Run(const std::vector<std::string>& args);

  // A BMP file of the buffer: the 14-byte file header, then its 40-byte header and pixel block
  // with the bytes that pad each row to a multiple of 4 set to 0 (the renderer leaves them as
  // its work buffers had them).
  static std::string BmpBytes(const DIB& picture);
};

} // namespace rw::cli

#pragma once

#include <QImage>

namespace rw {
class DIB;
}

namespace rw::app {

// Frame buffers as Qt images: rows top-down, 32 bits per pixel.
class DibImage {
public:
  // A null image for an empty buffer.
  static QImage ToImage(const DIB& picture);
  // The pixels of `image` equal those of `picture` (sizes included).
  static bool Same(const QImage& image, const DIB& picture);
};

} // namespace rw::app

#include "app/DibImage.h"

#include "render/DIB.h"

namespace rw::app {

QImage DibImage::ToImage(const DIB& picture) {
  if (!picture.IsPresent())
    return {};
  const QImage rows(picture.Bits(), picture.Width(), picture.Height(), picture.Stride(),
                    QImage::Format_BGR888);
  return rows.mirrored(false, true).convertToFormat(QImage::Format_RGB32);
}

bool DibImage::Same(const QImage& image, const DIB& picture) {
  if (!picture.IsPresent() || image.width() != picture.Width() || image.height() != picture.Height())
    return false;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    const std::uint8_t* row =
        picture.Bits() + static_cast<std::ptrdiff_t>(picture.Height() - 1 - y) * picture.Stride();
    for (int x = 0; x < rgb.width(); ++x) {
      const std::uint8_t* p = row + x * 3;
      if (qBlue(line[x]) != p[0] || qGreen(line[x]) != p[1] || qRed(line[x]) != p[2])
        return false;
    }
  }
  return true;
}

} // namespace rw::app

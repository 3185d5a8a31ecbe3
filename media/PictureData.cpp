#include "media/PictureData.h"

#include "base/MessageText.h"
#include "media/PictureReader.h"

#include <cstring>
#include <vector>

namespace rw {

bool PictureData::Open(const std::filesystem::path& file, MessageText& messages) {
  fileName_ = file;
  PictureReader reader;
  if (!reader.Open(file, messages))
    return false;
  const std::int32_t w = reader.Width();
  const std::int32_t h = reader.Height();
  DIB picture;
  if (!picture.Create(w, h)) {
    messages.Append("画像ファイル'" + file.string() + "'を読み込むメモリがありません\n");
    return false;
  }
  // Rows come top first; the frame buffer keeps them bottom-up, with zero padding.
  const std::size_t stride = static_cast<std::size_t>(picture.Stride());
  std::vector<std::uint32_t> row(static_cast<std::size_t>(w));
  for (std::int32_t r = h; r >= 1; --r) {
    std::uint8_t* out = picture.Bits() + static_cast<std::size_t>(r - 1) * stride;
    std::memset(out, 0, stride);
    if (!reader.NextRow(row.data()))
      return false;
    for (std::uint32_t p : row) {
      *out++ = static_cast<std::uint8_t>(p >> 8 & 0xFF);
      *out++ = static_cast<std::uint8_t>(p >> 24 & 0xFF);
      *out++ = static_cast<std::uint8_t>(p >> 16 & 0xFF);
    }
  }
  reader.Close();
  picture_ = std::move(picture);
  scaled_.Destroy();
  stamp_ = FileStamp::Of(file);
  return true;
}

bool PictureData::SetSize(std::int32_t w, std::int32_t h) {
  if (w < 1 || h < 1)
    return false;
  if (w == picture_.Width() && h == picture_.Height()) {
    scaled_.Destroy();
    return true;
  }
  if (scaled_.IsPresent() && w == scaled_.Width() && h == scaled_.Height())
    return true;
  DIB scaled;
  if (!scaled.Create(w, h))
    return false;
  if (picture_.IsPresent())
    scaled.ResizeFrom(picture_);
  else
    scaled.Clear();
  scaled_ = std::move(scaled);
  return true;
}

} // namespace rw

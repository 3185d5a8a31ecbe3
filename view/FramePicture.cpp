#include "view/FramePicture.h"

#include "project/TimelineRenderer.h"
#include "project/VideoClipList.h"
#include "render/DIB.h"

#include <cstring>

namespace rw::view {

bool FramePicture::Enlarged(const pVideoClipList& list, const ClipPos& pos, TimelineRenderer& renderer,
                            DIB& out) {
  return Make(list, pos, renderer, true, out);
}

bool FramePicture::ForClipboard(const pVideoClipList& list, const ClipPos& pos, TimelineRenderer& renderer,
                                DIB& out) {
  return Make(list, pos, renderer, false, out);
}

bool FramePicture::Make(const pVideoClipList& list, const ClipPos& pos, TimelineRenderer& renderer,
                        bool outputSize, DIB& out) {
  out.Destroy();
  if (!list.IsValidPos(pos) || !pos.info.HasValidClip())
    return false;
  pVideoClip& clip = *pos.info.clip;
  const BitmapInfoHeader* header = clip.GetSourceFormat();
  const std::uint8_t* bits = clip.GetSourceFrame(pos.frame);
  if (!header || !bits || !DIB::IsReadable(*header))
    return false;
  const bool inTransition = pos.index > 0 && pos.frame < pos.info.TransLength();
  std::int32_t width = list.Output().VideoWidth();
  std::int32_t height = list.Output().VideoHeight();
  if (width < 1 || height < 1 || (!outputSize && !inTransition)) {
    width = header->biWidth;
    height = header->biHeight;
  }
  if (!out.Create(width, height))
    return false;
  if (inTransition)
    return renderer.QuickFrame(list, out, pos);
  if (width == header->biWidth && height == header->biHeight) {
    std::memcpy(out.Bits(), bits, out.SizeImage());
    return true;
  }
  return out.ResizeFrom(header, bits);
}

} // namespace rw::view

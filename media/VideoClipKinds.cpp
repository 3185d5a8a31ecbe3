#include "media/VideoClipKinds.h"

#include "media/AviClip.h"
#include "media/ColormatClip.h"
#include "media/ContainerClip.h"
#include "media/PictureClip.h"
#include "media/VideoClipRecord.h"

#include <array>

namespace rw {
namespace {

VideoClip LoadColormatRecord(RecordReader& reader, MediaContext& context) {
  return VideoClipRecord::Load(VideoClip::Make<ColormatClip>(), reader, &context.Messages());
}

// Rows in this order: AVI, movie, picture, colour mat. The AVI and picture operations are filled in
// by their kinds.
const std::array<VideoClipKind, 4> kKinds = {{
    {&AviClip::OpenFile, &AviClip::LoadRecord, "AVI", "Video for Windows(*.AVI)|*.AVI", &AviClip::CheckFiles},
    {&ContainerClip::OpenFile, &ContainerClip::LoadRecord, "Movie",
     "Movie(*.MP4;*.M4V;*.MOV;*.MKV;*.WEBM)|*.MP4;*.M4V;*.MOV;*.MKV;*.WEBM", &ContainerClip::CheckFiles},
    {&PictureClip::OpenFile, &PictureClip::LoadRecord, "PIC",
     "Windows Bitmap(*.BMP)|*.BMP|Truevision Targa(*.TGA)|*.TGA|"
     "PNG(*.PNG)|*.PNG|JPEG(*.JPG;*.JPEG)|*.JPG;*.JPEG",
     &PictureClip::CheckFiles},
    {nullptr, &LoadColormatRecord, "Mat", "", nullptr},
}};

} // namespace

template <> std::span<const VideoClipKind> VideoClipKinds::Table() {
  return kKinds;
}

} // namespace rw

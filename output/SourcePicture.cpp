#include "output/SourcePicture.h"

#include "media/AviClip.h"
#include "media/AviStream.h"
#include "project/VideoClipList.h"

extern "C" {
#include <libavcodec/codec_desc.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <cstring>
#include <limits>
#include <map>
#include <string>

namespace rw {

namespace {

bool IsFullRangeLayout(AVPixelFormat format) {
  return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P;
}

// Whether `encoder` lists `format` among its inputs.
bool Takes(const AVCodec& encoder, AVPixelFormat format) {
  for (const AVPixelFormat* f = encoder.pix_fmts; f && *f != AV_PIX_FMT_NONE; ++f)
    if (*f == format)
      return true;
  return false;
}

// The decoder's picture of the first entry of the cut's file (cheap to decode whatever the cut's
// begin), when it has the movie's size: the file's pictures share its format.
const AVFrame* FirstPicture(const ClipInfo& entry, int width, int height) {
  auto* cut = dynamic_cast<AviClip*>(entry.clip.Get());
  if (!cut || !cut->IsValid() || cut->Length() <= 0)
    return nullptr;
  const AviFrame& decoder = cut->Decoder();
  if (decoder.IsNull() || !decoder->IsOpen() || decoder->Width() != width || decoder->Height() != height)
    return nullptr;
  return decoder->GetPicture(0);
}

} // namespace

AVPixelFormat SourcePicture::Survey(const pVideoClipList& list, int width, int height,
                                    std::string_view encoder, AVPixelFormat own) {
  const AVCodec* codec = avcodec_find_encoder_by_name(std::string(encoder).c_str());
  const AVPixFmtDescriptor* ownDesc = av_pix_fmt_desc_get(own);
  // Compressors of RGB pictures keep the rendered pictures' colours exactly: they stay as they are.
  if (!codec || !ownDesc || (ownDesc->flags & AV_PIX_FMT_FLAG_RGB))
    return AV_PIX_FMT_NONE;
  std::map<AVPixelFormat, std::int64_t> frames;
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const AVFrame* picture = FirstPicture(list.EntryAt(i), width, height);
    if (!picture)
      continue;
    const auto format = static_cast<AVPixelFormat>(picture->format);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    if (format == own || !desc || IsFullRangeLayout(format) != IsFullRangeLayout(own) ||
        desc->log2_chroma_w < ownDesc->log2_chroma_w || desc->log2_chroma_h < ownDesc->log2_chroma_h ||
        !Fits(*picture, width, height, format) || !Takes(*codec, format))
      continue;
    frames[format] += list.EntryAt(i).Length();
  }
  // Another format only when its pictures make up most of the movie.
  AVPixelFormat best = AV_PIX_FMT_NONE;
  std::int64_t bestFrames = 0;
  for (const auto& [format, count] : frames)
    if (count > bestFrames) {
      best = format;
      bestFrames = count;
    }
  return bestFrames * 2 > std::int64_t{list.TotalFrames()} ? best : AV_PIX_FMT_NONE;
}

bool SourcePicture::Fits(const AVFrame& frame, int width, int height, AVPixelFormat format) {
  if (frame.width != width || frame.height != height || frame.format != format || format == AV_PIX_FMT_NONE)
    return false;
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  // Planar YUV of 8 bits only: the encoders' YUV inputs.
  if (!desc || (desc->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL)) ||
      !(desc->flags & AV_PIX_FMT_FLAG_PLANAR) || desc->nb_components != 3 || desc->comp[0].depth != 8)
    return false;
  // The decoder reads a plain layout flagged full range as full range, the encoder's plain
  // layouts are limited range.
  if (!IsFullRangeLayout(format) && frame.color_range == AVCOL_RANGE_JPEG)
    return false;
  // The decoder's conversion takes the picture's own coefficients, the encoder's BT.601.
  switch (frame.colorspace) {
  case AVCOL_SPC_UNSPECIFIED:
  case AVCOL_SPC_BT470BG:
  case AVCOL_SPC_SMPTE170M:
    return true;
  default:
    return false;
  }
}

ff::FramePtr SourcePicture::Take(const ClipPos& pos, int width, int height, AVPixelFormat format) {
  if (format == AV_PIX_FMT_NONE || pos.index < 0 || pos.frame < 0)
    return nullptr;
  auto* cut = dynamic_cast<AviClip*>(pos.info.clip.Get());
  if (!cut || !cut->IsValid() || pos.frame >= cut->Length())
    return nullptr;
  // Inside a transition the picture is composed from two cuts.
  if (pos.index > 0 && pos.frame < pos.info.TransLength() && pos.info.trans.IsPresent())
    return nullptr;
  const AviFrame& decoder = cut->Decoder();
  if (decoder.IsNull() || !decoder->IsOpen() || decoder->Width() != width || decoder->Height() != height)
    return nullptr;
  const std::int64_t entry = std::int64_t{cut->GetBeginFrame()} + pos.frame;
  if (entry < 0 || entry > std::numeric_limits<std::int32_t>::max())
    return nullptr;
  const AVFrame* picture = decoder->GetPicture(static_cast<std::int32_t>(entry));
  if (!picture || !Fits(*picture, width, height, format))
    return nullptr;

  // The planes only: side data and the decoder's properties stay behind.
  ff::FramePtr out = ff::MakeFrame();
  if (!out)
    return nullptr;
  out->format = picture->format;
  out->width = picture->width;
  out->height = picture->height;
  out->color_range = IsFullRangeLayout(format) ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
  for (int i = 0; i < AV_NUM_DATA_POINTERS; ++i) {
    out->data[i] = picture->data[i];
    out->linesize[i] = picture->linesize[i];
    if (picture->buf[i]) {
      out->buf[i] = av_buffer_ref(picture->buf[i]);
      if (!out->buf[i])
        return nullptr;
    }
  }
  // A picture without buffers of its own cannot be kept past the next decode.
  if (!out->buf[0])
    return nullptr;
  return out;
}

const pAviStream* SourcePicture::IntraSource(const ClipPos& pos, std::int32_t& entry) {
  auto* cut = dynamic_cast<AviClip*>(pos.info.clip.Get());
  if (!cut || !cut->IsValid() || pos.frame < 0 || pos.frame >= cut->Length())
    return nullptr;
  const AviStream* handle = cut->GetStream();
  if (!handle || handle->IsNull() || !(*handle)->IsOpen())
    return nullptr;
  const AVCodecParameters* parameters = (*handle)->VideoParameters();
  const AVCodecDescriptor* codec = parameters ? avcodec_descriptor_get(parameters->codec_id) : nullptr;
  constexpr int kStateless = AV_CODEC_PROP_INTRA_ONLY | AV_CODEC_PROP_LOSSY;
  if (!codec || (codec->props & kStateless) != kStateless)
    return nullptr;
  const std::int64_t n = std::int64_t{cut->GetBeginFrame()} + pos.frame;
  if (n < 0 || n >= (*handle)->FrameCount())
    return nullptr;
  entry = static_cast<std::int32_t>(n);
  return handle->Get();
}

bool SourcePicture::Same(const AVFrame& a, const AVFrame& b) {
  if (a.format != b.format || a.width != b.width || a.height != b.height)
    return false;
  const auto format = static_cast<AVPixelFormat>(a.format);
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  if (!desc)
    return false;
  const int planes = av_pix_fmt_count_planes(format);
  for (int p = 0; p < planes; ++p) {
    const int bytes = av_image_get_linesize(format, a.width, p);
    const int rows = p == 1 || p == 2 ? AV_CEIL_RSHIFT(a.height, desc->log2_chroma_h) : a.height;
    if (bytes <= 0)
      return false;
    for (int y = 0; y < rows; ++y)
      if (std::memcmp(a.data[p] + static_cast<std::ptrdiff_t>(y) * a.linesize[p],
                      b.data[p] + static_cast<std::ptrdiff_t>(y) * b.linesize[p],
                      static_cast<std::size_t>(bytes)))
        return false;
  }
  return true;
}

} // namespace rw

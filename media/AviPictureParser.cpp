#include "media/AviPictureParser.h"

namespace rw {

AviPictureParser::AviPictureParser(AVCodecID codec) {
  parser_ = ff::MakeParser(codec);
  if (!parser_)
    return;
  parser_->flags |= PARSER_FLAG_COMPLETE_FRAMES;
  context_ = ff::MakeCodecContext(nullptr);
  if (context_)
    context_->codec_id = codec;
}

AviPictureParser::Info AviPictureParser::Parse(const std::uint8_t* data, int size) {
  Info info;
  if (!IsAvailable() || !data || size <= 0)
    return info;
  parser_->pict_type = AV_PICTURE_TYPE_NONE;
  parser_->key_frame = -1;
  std::uint8_t* out = nullptr;
  int outSize = 0;
  av_parser_parse2(parser_.get(), context_.get(), &out, &outSize, data, size, AV_NOPTS_VALUE, AV_NOPTS_VALUE,
                   0);
  info.type = static_cast<AVPictureType>(parser_->pict_type);
  info.key = parser_->key_frame == 1;
  return info;
}

} // namespace rw

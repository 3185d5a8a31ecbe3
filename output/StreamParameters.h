#pragma once

#include "media/FfmpegPtr.h"

namespace rw {

// What the parameters of two video streams say about whether their samples are alike.
class StreamParameters {
public:
  // libavformat's AVI reader marks bottom-up raw RGB streams with the codec private data
  // "BottomUp"; parameters without codec private data carry no mark.
  static bool IsBottomUpMark(const AVCodecParameters& p);
  // Both carry the same codec private data (missing data counts as empty).
  static bool SameExtradata(const AVCodecParameters& a, const AVCodecParameters& b);
};

} // namespace rw

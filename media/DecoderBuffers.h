#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstddef>
#include <cstdint>

namespace rw {

// Picture buffers a decoder takes from its owner instead of from libavcodec's pool. libavcodec
// keeps every buffer its pool ever handed out for as long as the decoder lives, so a cache
// holding references to decoded pictures would hold that memory even after it let them go; a
// buffer from here gives its memory back as soon as its last reference goes. A few released
// buffers are kept for the decoder to take again, so that steady decoding does not allocate.
//
// The buffers are shared among threads as libavcodec's are: the decoder's threads take them, any
// thread may release them. What is still in use when the owner goes keeps the store alive.
class DecoderBuffers {
public:
  // Released buffers kept for taking again: two pictures of three planes.
  static constexpr std::size_t kSpares = 6;

  DecoderBuffers();
  ~DecoderBuffers();
  DecoderBuffers(const DecoderBuffers&) = delete;
  DecoderBuffers& operator=(const DecoderBuffers&) = delete;

  // Makes `codec`, not yet opened, take its picture buffers from here when its decoder lets the
  // caller provide them (others keep libavcodec's). The codec context must be freed before this
  // object.
  void Attach(AVCodecContext& codec);
  // True when every buffer of `frame` came from here: a reference to it holds its own memory
  // and no more.
  bool Owns(const AVFrame& frame) const;
  // Bytes of the released buffers kept for taking again.
  std::size_t SpareBytes() const;

private:
  struct Store;
  static int GetBuffer(AVCodecContext* codec, AVFrame* frame, int flags);
  static void Release(void* store, std::uint8_t* data);

  Store* store_;
};

} // namespace rw

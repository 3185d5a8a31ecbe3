#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstddef>
#include <cstdint>

namespace rw {

// Picture buffers decoders take from a store of the program's instead of from libavcodec's
// pool. libavcodec keeps every buffer its pool ever handed out for as long as the decoder lives,
// so a cache holding references to decoded pictures would hold that memory even after it let
// them go; a buffer from here gives its memory back as soon as its last reference goes. A few
// released buffers are kept for any decoder of the store to take again, so that steady decoding
// does not allocate.
//
// A DecoderBuffers is a handle: copies share one store (the decoders of one cache budget share
// the budget's). The buffers are shared among threads as libavcodec's are: the decoders' threads
// take them, any thread may release them. The store lives while a handle or a buffer does.
class DecoderBuffers {
public:
  // Released buffers kept for taking again, in all: two pictures of three planes.
  static constexpr std::size_t kSpares = 6;

  DecoderBuffers();
  ~DecoderBuffers();
  DecoderBuffers(const DecoderBuffers& other);
  DecoderBuffers& operator=(const DecoderBuffers& other);

  // Makes `codec`, not yet opened, take its picture buffers from the store when its decoder
  // lets the caller provide them (others keep libavcodec's). The codec context must be freed
  // before this handle.
  void Attach(AVCodecContext& codec);
  // True when every buffer of `frame` came from the store: a reference to it holds its own
  // memory and no more.
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

#include "media/DecoderBuffers.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace rw {
namespace {

// Every buffer starts this far into its allocation, where its size is written; the alignment
// libavcodec's SIMD code wants of the planes it writes.
constexpr std::size_t kAlign = 64;
// What libavcodec's own pool adds to each plane: the decoders read a little past its end.
constexpr std::size_t kPadding = 16 + kAlign - 1;

std::uint8_t* Allocate(std::size_t size) {
  const std::size_t bytes = (kAlign + size + kAlign - 1) & ~(kAlign - 1);
  auto* base = static_cast<std::uint8_t*>(std::aligned_alloc(kAlign, bytes));
  if (!base)
    return nullptr;
  // Zeroed as libavcodec's pool does with new buffers: a damaged stream may make a decoder read
  // what it has not written.
  std::memset(base + kAlign, 0, bytes - kAlign);
  std::memcpy(base, &size, sizeof size);
  return base + kAlign;
}

std::size_t SizeOf(const std::uint8_t* data) {
  std::size_t size = 0;
  std::memcpy(&size, data - kAlign, sizeof size);
  return size;
}

void Free(std::uint8_t* data) {
  std::free(data - kAlign);
}

} // namespace

struct DecoderBuffers::Store {
  std::atomic<long> holds{1}; // every handle and every buffer out
  mutable std::mutex mutex;
  std::vector<std::uint8_t*> spares;

  ~Store() {
    for (std::uint8_t* data : spares)
      Free(data);
  }
  void Drop() {
    if (holds.fetch_sub(1, std::memory_order_acq_rel) == 1)
      delete this;
  }
  std::uint8_t* Take(std::size_t size) {
    {
      const std::lock_guard lock(mutex);
      // The latest released first: it is the likeliest still in the processor's caches.
      for (auto it = spares.rbegin(); it != spares.rend(); ++it)
        if (SizeOf(*it) == size) {
          std::uint8_t* data = *it;
          spares.erase(std::next(it).base());
          return data;
        }
    }
    return Allocate(size);
  }
  void Give(std::uint8_t* data) {
    {
      const std::lock_guard lock(mutex);
      spares.push_back(data);
      if (spares.size() <= kSpares)
        return;
      // Full: the oldest goes, so buffers of a size no longer decoded do not stay.
      data = spares.front();
      spares.erase(spares.begin());
    }
    Free(data);
  }
};

DecoderBuffers::DecoderBuffers() : store_(new Store) {}

DecoderBuffers::~DecoderBuffers() {
  store_->Drop();
}

DecoderBuffers::DecoderBuffers(const DecoderBuffers& other) : store_(other.store_) {
  store_->holds.fetch_add(1, std::memory_order_relaxed);
}

DecoderBuffers& DecoderBuffers::operator=(const DecoderBuffers& other) {
  other.store_->holds.fetch_add(1, std::memory_order_relaxed);
  store_->Drop();
  store_ = other.store_;
  return *this;
}

void DecoderBuffers::Attach(AVCodecContext& codec) {
  codec.opaque = store_;
  codec.get_buffer2 = &DecoderBuffers::GetBuffer;
#if LIBAVCODEC_VERSION_MAJOR < 60
  // Otherwise the decoder's threads would wait for the caller's thread to hand them buffers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  codec.thread_safe_callbacks = 1;
#pragma GCC diagnostic pop
#endif
}

bool DecoderBuffers::Owns(const AVFrame& frame) const {
  if (!frame.buf[0] || frame.nb_extended_buf > 0)
    return false;
  for (const AVBufferRef* buf : frame.buf)
    if (buf && av_buffer_get_opaque(buf) != store_)
      return false;
  return true;
}

std::size_t DecoderBuffers::SpareBytes() const {
  const std::lock_guard lock(store_->mutex);
  std::size_t bytes = 0;
  for (const std::uint8_t* data : store_->spares)
    bytes += SizeOf(data);
  return bytes;
}

void DecoderBuffers::Release(void* store, std::uint8_t* data) {
  auto* s = static_cast<Store*>(store);
  s->Give(data);
  s->Drop();
}

// The planes laid out as libavcodec's own allocator lays them (see avcodec_default_get_buffer2):
// the codec's aligned dimensions, line sizes that all meet its alignment, one buffer a plane.
int DecoderBuffers::GetBuffer(AVCodecContext* codec, AVFrame* frame, int flags) {
  auto* store = static_cast<Store*>(codec->opaque);
  const auto format = static_cast<AVPixelFormat>(frame->format);
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  if (!store || !(codec->codec->capabilities & AV_CODEC_CAP_DR1) || !desc || codec->hw_frames_ctx ||
      (desc->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM)))
    return avcodec_default_get_buffer2(codec, frame, flags);
  int w = frame->width, h = frame->height;
  int align[AV_NUM_DATA_POINTERS] = {};
  avcodec_align_dimensions2(codec, &w, &h, align);
  int linesize[4] = {};
  for (bool aligned = false; !aligned;) {
    if (w <= 0 || av_image_fill_linesizes(linesize, format, w) < 0)
      return AVERROR(EINVAL);
    // Widen by the lowest bit set until every line meets its alignment.
    w += w & ~(w - 1);
    aligned = true;
    for (int i = 0; i < 4; ++i)
      if (align[i] > 0 && linesize[i] % align[i] != 0)
        aligned = false;
  }
  const ptrdiff_t lines[4] = {linesize[0], linesize[1], linesize[2], linesize[3]};
  std::size_t sizes[4] = {};
  if (av_image_fill_plane_sizes(sizes, format, h, lines) < 0)
    return AVERROR(EINVAL);
  for (const std::size_t size : sizes)
    if (size > static_cast<std::size_t>(INT_MAX) - kPadding)
      return AVERROR(EINVAL);
  for (int i = 0; i < 4; ++i) {
    frame->data[i] = nullptr;
    frame->linesize[i] = 0;
    if (!sizes[i])
      continue;
    const std::size_t size = sizes[i] + kPadding;
    std::uint8_t* data = store->Take(size);
    if (data) {
      store->holds.fetch_add(1, std::memory_order_relaxed);
      frame->buf[i] = av_buffer_create(data, size, &DecoderBuffers::Release, store, 0);
      if (!frame->buf[i])
        Release(store, data);
    }
    if (!frame->buf[i]) {
      av_frame_unref(frame);
      return AVERROR(ENOMEM);
    }
    frame->data[i] = data;
    frame->linesize[i] = linesize[i];
  }
  frame->extended_data = frame->data;
  return 0;
}

} // namespace rw

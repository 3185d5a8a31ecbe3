#pragma once

#include "audio/WaveFormat.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace rw {

class WaveHdr;

// An open SDL output device in callback mode, playing WaveHdr buffers in the order they were
// submitted. The callback runs on SDL's audio thread: it copies queued bytes into SDL's block,
// clears a buffer's busy flag once its last byte is handed on, and outputs silence while paused
// or out of data. It calls no SDL function, allocates nothing and shares with the owning thread
// only one mutex, which each side holds for a short copy or a few pointer moves.
//
// Everything except the callback runs on the owning thread. Destroying the object closes the
// SDL device, which returns only after the callback has finished for good; submitted buffers
// may be freed after that.
class AudioDevice {
public:
  // Opens the default output for exactly `format` (8-bit unsigned or 16-bit signed little-endian,
  // 1 or 2 channels); when the hardware wants something else SDL converts behind the callback.
  // Null with `error` set when the format is not playable or no device opens.
  static std::unique_ptr<AudioDevice> Open(const WaveFormat& format, std::string& error);

  ~AudioDevice();
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

  // Queues a buffer whose busy flag is set; it must stay untouched until the flag clears.
  void Submit(WaveHdr& buffer);
  // Stops consumption where it is (inside a buffer too); Restart continues from there.
  void Pause();
  void Restart();
  // Returns every queued buffer as done at once and forgets the position; answers how many.
  int Reset();
  // True once after a buffer completion left the queue empty.
  bool TakeEmptied() { return emptied_.exchange(false, std::memory_order_acq_rel); }

  // Bytes of buffers handed to SDL since the device opened (silence not counted).
  std::uint64_t ConsumedBytes() const { return consumed_.load(std::memory_order_acquire); }
  // Bytes submitted and not yet handed to SDL.
  std::size_t PendingBytes();
  // The format the callback works in (always the one asked for).
  const WaveFormat& Format() const { return format_; }
  // Sample frames SDL asks for per callback.
  int CallbackFrames() const { return callbackFrames_; }

  // The sample value that plays as silence in `format`.
  static std::uint8_t SilenceOf(const WaveFormat& format) { return format.bitsPerSample == 8 ? 0x80 : 0x00; }
  // Whether Open accepts the format; otherwise `error` says why.
  static bool Playable(const WaveFormat& format, std::string& error);

private:
  AudioDevice(const WaveFormat& format);
  static void Callback(void* self, std::uint8_t* out, int len);
  void Consume(std::uint8_t* out, std::size_t len);

  const WaveFormat format_;
  const std::uint8_t silence_;
  std::uint32_t id_ = 0; // SDL_AudioDeviceID; 0 until opened
  int callbackFrames_ = 0;

  std::mutex mutex_;
  // Play queue in write order, guarded by mutex_.
  WaveHdr* head_ = nullptr;
  WaveHdr* tail_ = nullptr;
  std::size_t offset_ = 0;  // bytes of head_ already handed on
  std::size_t pending_ = 0; // bytes queued and not handed on
  bool paused_ = false;

  std::atomic<bool> emptied_{false};
  std::atomic<std::uint64_t> consumed_{0};
};

} // namespace rw

#include "audio/AudioDevice.h"

#include "audio/WaveHdr.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace rw {

namespace {

constexpr std::uint32_t kMinRate = 4000;
constexpr std::uint32_t kMaxRate = 192000;

// About 10 ms per callback, a power of two as SDL prefers: 512 frames at 44.1 and 48 kHz.
int CallbackFramesFor(std::uint32_t rate) {
  int frames = 64;
  while (frames < 4096 && static_cast<std::uint32_t>(frames) * 100 < rate)
    frames *= 2;
  return frames;
}

} // namespace

bool AudioDevice::Playable(const WaveFormat& f, std::string& error) {
  if (f.formatTag != WaveFormat::kPcmTag) {
    error = "The sound format is not PCM.";
    return false;
  }
  if ((f.bitsPerSample != 8 && f.bitsPerSample != 16) || (f.channels != 1 && f.channels != 2) ||
      f.samplesPerSec < kMinRate || f.samplesPerSec > kMaxRate ||
      f.blockAlign != f.channels * (f.bitsPerSample / 8) ||
      f.avgBytesPerSec != f.samplesPerSec * f.blockAlign) {
    error = "The sound format " + std::to_string(f.samplesPerSec) + " Hz, " +
            std::to_string(f.bitsPerSample) + " bits, " + std::to_string(f.channels) +
            " channels cannot be played.";
    return false;
  }
  return true;
}

AudioDevice::AudioDevice(const WaveFormat& format) : format_(format), silence_(SilenceOf(format)) {}

std::unique_ptr<AudioDevice> AudioDevice::Open(const WaveFormat& format, std::string& error) {
  if (!Playable(format, error))
    return nullptr;
  std::unique_ptr<AudioDevice> device(new AudioDevice(format));
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(format.samplesPerSec);
  want.format = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = static_cast<Uint8>(format.channels);
  want.samples = static_cast<Uint16>(CallbackFramesFor(format.samplesPerSec));
  want.callback = &AudioDevice::Callback;
  want.userdata = device.get();
  SDL_AudioSpec have{};
  // No allowed changes: SDL puts a converter between the hardware and the callback when needed.
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) {
    error = std::string("No sound device could be opened: ") + SDL_GetError();
    return nullptr;
  }
  device->id_ = id;
  device->callbackFrames_ = have.samples;
  // SDL opens paused; the device plays from the start, consumption is gated by paused_.
  SDL_PauseAudioDevice(id, 0);
  return device;
}

AudioDevice::~AudioDevice() {
  if (id_ != 0)
    SDL_CloseAudioDevice(id_);
}

void AudioDevice::Submit(WaveHdr& buffer) {
  std::lock_guard lock(mutex_);
  buffer.playNext_ = nullptr;
  if (tail_)
    tail_->playNext_ = &buffer;
  else
    head_ = &buffer;
  tail_ = &buffer;
  pending_ += buffer.length_;
}

void AudioDevice::Pause() {
  std::lock_guard lock(mutex_);
  paused_ = true;
}

void AudioDevice::Restart() {
  std::lock_guard lock(mutex_);
  paused_ = false;
}

int AudioDevice::Reset() {
  int returned = 0;
  std::lock_guard lock(mutex_);
  for (WaveHdr* b = head_; b;) {
    WaveHdr* next = b->playNext_;
    b->playNext_ = nullptr;
    b->busy_.store(false, std::memory_order_release);
    ++returned;
    b = next;
  }
  head_ = tail_ = nullptr;
  offset_ = 0;
  pending_ = 0;
  if (returned > 0)
    emptied_.store(true, std::memory_order_release);
  return returned;
}

std::size_t AudioDevice::PendingBytes() {
  std::lock_guard lock(mutex_);
  return pending_;
}

void AudioDevice::Callback(void* self, std::uint8_t* out, int len) {
  static_cast<AudioDevice*>(self)->Consume(out, len > 0 ? static_cast<std::size_t>(len) : 0);
}

void AudioDevice::Consume(std::uint8_t* out, std::size_t len) {
  std::size_t pos = 0;
  {
    std::lock_guard lock(mutex_);
    while (!paused_ && head_ && pos < len) {
      WaveHdr* b = head_;
      const std::size_t n = std::min(len - pos, b->length_ - offset_);
      if (n > 0)
        std::memcpy(out + pos, b->data_.get() + offset_, n);
      pos += n;
      offset_ += n;
      pending_ -= n;
      if (offset_ == b->length_) {
        head_ = b->playNext_;
        if (!head_)
          tail_ = nullptr;
        b->playNext_ = nullptr;
        offset_ = 0;
        // Last touch of the buffer: the owner may refill it as soon as it sees this.
        b->busy_.store(false, std::memory_order_release);
        if (!head_)
          emptied_.store(true, std::memory_order_release);
      }
    }
    consumed_.fetch_add(pos, std::memory_order_release);
  }
  std::memset(out + pos, silence_, len - pos);
}

} // namespace rw

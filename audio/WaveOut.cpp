#include "audio/WaveOut.h"

#include "audio/AudioDevice.h"
#include "audio/SdlAudioSubsystem.h"

#include <limits>
#include <new>
#include <thread>

namespace rw {

namespace {

// Buffer sizes stay within a 32-bit signed count, slack included.
constexpr std::uint64_t kMaxBufferBytes = std::numeric_limits<std::int32_t>::max() - WaveHdr::kSlack;

} // namespace

WaveOut::WaveOut() {
  Clear();
}

WaveOut::WaveOut(int rate, int channels, int bits) {
  Clear();
  format_ = WaveFormat::Pcm(rate, channels, bits);
}

WaveOut& WaveOut::operator=(const WaveOut& other) {
  if (this == &other)
    return *this;
  if (device_) {
    Reset();
    Drain();
    Close();
  }
  Clear();
  format_ = other.format_;
  autoClose_ = other.autoClose_;
  return *this;
}

WaveOut::~WaveOut() {
  if (device_) {
    Reset();
    Drain();
  }
  Close();
}

void WaveOut::Clear() {
  Close();
  autoClose_ = true;
  format_ = WaveFormat{};
}

void WaveOut::Refuse(const std::string& error) {
  lastError_ = error;
  openRefused_ = true;
  if (!noticeGiven_) {
    notice_ = error;
    noticePending_ = true;
  }
}

std::optional<std::string> WaveOut::TakeUnavailableNotice() {
  if (!noticePending_)
    return std::nullopt;
  noticePending_ = false;
  noticeGiven_ = true;
  return std::move(notice_);
}

bool WaveOut::Open() {
  Service();
  if (device_)
    return true;
  if (openRefused_)
    return false;
  std::string error;
  if (!AudioDevice::Playable(format_, error)) {
    lastError_ = error;
    return false;
  }
  if (!sdl_) {
    sdl_ = SdlAudioSubsystem::Acquire(error);
    if (!sdl_) {
      Refuse(error);
      return false;
    }
  }
  device_ = AudioDevice::Open(format_, error);
  if (!device_) {
    Refuse(error);
    return false;
  }
  return true;
}

bool WaveOut::Write(const void* data, int frames) {
  if (frames <= 0)
    return true;
  Service();
  if (!device_)
    Open();
  const std::uint64_t bytes = static_cast<std::uint64_t>(frames) * format_.blockAlign;
  if (bytes > kMaxBufferBytes) {
    lastError_ = "A sound block of " + std::to_string(bytes) + " bytes is too large.";
    return false;
  }
  WaveHdr* buffer = TakeBuffer(data, static_cast<std::size_t>(bytes));
  if (!buffer)
    return false;
  buffer->busy_.store(true, std::memory_order_relaxed);
  if (device_)
    device_->Submit(*buffer);
  return true;
}

WaveHdr* WaveOut::TakeBuffer(const void* data, std::size_t bytes) {
  const std::uint8_t silence = AudioDevice::SilenceOf(format_);
  for (auto& b : buffers_) {
    if (!b->Busy() && b->Capacity() >= bytes) {
      b->Fill(data, bytes, silence); // fits: no allocation, cannot fail
      return b.get();
    }
  }
  std::unique_ptr<WaveHdr> fresh(new (std::nothrow) WaveHdr());
  if (!fresh || !fresh->Fill(data, bytes, silence)) {
    lastError_ = "Out of memory for a sound buffer of " + std::to_string(bytes) + " bytes.";
    return nullptr;
  }
  buffers_.push_back(std::move(fresh));
  return buffers_.back().get();
}

void WaveOut::Pause() {
  Service();
  if (!device_)
    Open();
  if (device_)
    device_->Pause();
}

void WaveOut::Restart() {
  Service();
  if (!device_)
    Open();
  if (device_)
    device_->Restart();
}

void WaveOut::Reset() {
  Service();
  if (device_) {
    device_->Reset();
    Service();
  }
}

int WaveOut::BusyCount() {
  Service();
  return CountBusy();
}

int WaveOut::CountBusy() const {
  int busy = 0;
  for (const auto& b : buffers_)
    busy += b->Busy() ? 1 : 0;
  return busy;
}

bool WaveOut::Drain() {
  Service();
  if (!device_)
    return CountBusy() == 0;
  for (int i = 0; i < drainPolls_ && BusyCount() > 0; ++i)
    std::this_thread::sleep_for(drainInterval_);
  const bool done = BusyCount() == 0;
  if (autoClose_)
    Close();
  return done;
}

void WaveOut::Close() {
  // Closing the SDL device returns only after its callback has finished for good, so no buffer
  // memory is in use past this line and every buffer can be freed; those the device had not
  // finished are counted as abandoned.
  device_.reset();
  for (const auto& b : buffers_)
    abandoned_ += b->Busy() ? 1 : 0;
  buffers_.clear();
  openRefused_ = false;
}

void WaveOut::Service() {
  if (device_ && device_->TakeEmptied() && autoClose_ && CountBusy() == 0)
    Close();
}

bool WaveOut::IsOpen() {
  Service();
  return device_ != nullptr;
}

std::uint64_t WaveOut::ConsumedBytes() const {
  return device_ ? device_->ConsumedBytes() : 0;
}

std::size_t WaveOut::PendingBytes() {
  Service();
  return device_ ? device_->PendingBytes() : 0;
}

std::optional<WaveFormat> WaveOut::DeviceFormat() const {
  if (!device_)
    return std::nullopt;
  return device_->Format();
}

void WaveOut::SetDrainPolicy(std::chrono::milliseconds interval, int polls) {
  drainInterval_ = interval;
  drainPolls_ = polls;
}

} // namespace rw

#pragma once

#include "audio/WaveFormat.h"
#include "audio/WaveHdr.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rw {

class AudioDevice;
class SdlAudioSubsystem;

// The waveform output of the preview: one output device and a queue of recycled buffers. The
// caller hands it blocks of PCM sample frames; each is copied into the first free buffer large
// enough (or a new one) and sent to the device, which plays them in write order and marks each
// done when its last byte has been handed on.
//
// All operations belong to one thread. The device's completion runs on SDL's audio thread and
// only marks buffers done; a close it would cause in auto-close mode is carried out by the next
// operation called here. When no device can be opened, writes still take buffers and mark them
// busy, but nothing plays and they stay busy; a later open is tried only after the next format
// assignment or Close.
//
// Failures answer false and leave a message in LastError().
class WaveOut {
public:
  static constexpr std::chrono::milliseconds kDrainInterval{50};
  static constexpr int kDrainPolls = 1000;

  // No format: nothing opens until one is assigned.
  WaveOut();
  WaveOut(int rate, int channels, int bits);
  WaveOut(const WaveOut&) = delete;
  // Resets, drains and closes this device when open, drops every buffer and takes the other's
  // format and auto-close flag (not its device or buffers).
  WaveOut& operator=(const WaveOut& other);
  ~WaveOut();

  // Opens the device when closed and the format is PCM; true when a device is open afterwards.
  bool Open();
  // Queues `frames` sample frames of `data` (silence when data is null). frames <= 0 does
  // nothing. Opens the device first when closed. False when no buffer could be taken.
  bool Write(const void* data, int frames);
  // Open if closed, then stop or resume consumption; the position inside a buffer is kept.
  void Pause();
  void Restart();
  // Returns every queued buffer as done at once.
  void Reset();
  // Buffers written and not yet done.
  int BusyCount();
  // Waits, polling, until no buffer is busy, at most kDrainPolls × kDrainInterval; then closes
  // in auto-close mode. True when no buffer is busy at the end.
  bool Drain();
  // Closes the device and empties the queue. Buffers the device had not finished are abandoned:
  // dropped from the queue, never reused.
  void Close();

  bool AutoClose() const { return autoClose_; }
  void SetAutoClose(bool on) { autoClose_ = on; }
  bool IsOpen();
  const WaveFormat& Format() const { return format_; }

  // The queue, in creation order.
  std::size_t BufferCount() const { return buffers_.size(); }
  const WaveHdr& Buffer(std::size_t i) const { return *buffers_[i]; }
  // Buffers that were still unfinished at a close, since construction.
  std::size_t AbandonedCount() const { return abandoned_; }

  // Bytes handed to the open device since it opened; 0 when closed.
  std::uint64_t ConsumedBytes() const;
  // Bytes written to the open device and not yet handed on.
  std::size_t PendingBytes();
  // The format the open device plays, or nothing when closed.
  std::optional<WaveFormat> DeviceFormat() const;

  // Changes the drain bound (tests use short ones).
  void SetDrainPolicy(std::chrono::milliseconds interval, int polls);

  const std::string& LastError() const { return lastError_; }
  // The reason sound is unavailable, the first time a device refused to open; nothing after,
  // so that the caller tells the user once.
  std::optional<std::string> TakeUnavailableNotice();

private:
  void Clear();
  void Refuse(const std::string& error);
  // Carries out a close that a completion asked for in auto-close mode.
  void Service();
  int CountBusy() const;
  WaveHdr* TakeBuffer(const void* data, std::size_t bytes);

  // Declared so that the device goes first, then the buffers it read, then SDL itself.
  std::unique_ptr<SdlAudioSubsystem> sdl_;
  std::vector<std::unique_ptr<WaveHdr>> buffers_;
  std::unique_ptr<AudioDevice> device_;
  bool autoClose_ = true;
  WaveFormat format_;

  bool openRefused_ = false;
  bool noticePending_ = false;
  bool noticeGiven_ = false;
  std::string notice_;
  std::size_t abandoned_ = 0;
  std::chrono::milliseconds drainInterval_ = kDrainInterval;
  int drainPolls_ = kDrainPolls;
  std::string lastError_;
};

} // namespace rw

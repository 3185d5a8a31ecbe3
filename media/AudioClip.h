#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace rw {

class AudioClip;
class RecordWriter;

// An audio clip: source sample frames begin..end of a file, starting to sound at a frame of
// the cut it belongs to, with a volume in 1/256 steps. Kinds: WavClip, AviAudioClip.
class pAudioClip : public RefCounted {
public:
  pAudioClip() = default;
  pAudioClip(const pAudioClip&) = default;
  ~pAudioClip() override = default;

  // Polymorphic copy with count 1. The base copies its own members, so that a change after
  // Detach never shows through another handle even for a kind that does not replace Clone.
  virtual pAudioClip* Clone() const;
  virtual std::int32_t GetChannels() const { return channels_; }
  virtual std::int32_t GetBits() const { return bits_; }
  virtual std::int32_t GetRate() const { return rate_; }
  // Reads `count` sample frames starting at begin + first into `dest` in the source format.
  virtual bool ReadSamples(void* /*dest*/, std::int32_t /*first*/, std::int32_t /*count*/) { return false; }
  virtual std::int32_t GetSourceLength() const { return -1; }
  virtual bool IsValid() const { return false; }
  // An entry kept in place of an audio clip whose file does not open (OfflineAudioClip); never
  // valid, silent.
  virtual bool IsOffline() const { return false; }
  // Why the file of an offline audio clip did not open; empty for every other clip.
  virtual std::string OfflineReason() const { return {}; }
  virtual std::int32_t GetBeginSample() const { return -1; }
  virtual std::int32_t GetEndSample() const { return -1; }
  virtual bool SetBeginSample(std::int32_t) { return false; }
  virtual bool SetEndSample(std::int32_t) { return false; }
  virtual bool SetLength(std::int32_t) { return false; }
  virtual std::string_view GetKindName() const { return ""; }
  virtual bool SaveExtra(RecordWriter&, int /*level*/) const { return true; }
  virtual bool LoadExtra(std::string_view /*key*/, std::string_view /*value*/) { return false; }
  virtual AudioClip Rebuild();

  const std::filesystem::path& FileName() const { return fileName_; }
  std::int32_t Length() const { return length_; }
  std::int32_t Volume() const { return volume_; }
  std::int32_t PlayFrame() const { return playFrame_; }
  bool OverClip() const { return overClip_; }
  // What reading the clip's record lost: its file opened but holds fewer samples than the
  // record asks for (a damaged or shortened file). Empty when nothing was lost.
  const std::string& ReadLoss() const { return readLoss_; }
  void SetReadLoss(std::string note) { readLoss_ = std::move(note); }
  void SetVolumeMember(std::int32_t v) { volume_ = v; }
  void SetPlayFrameMember(std::int32_t f) { playFrame_ = f; }
  void SetOverClipMember(bool o) { overClip_ = o; }

protected:
  // Trimming within a source of GetSourceLength() sample frames, shared by the kinds that read a
  // file: false (nothing changed) when the range would leave the source or turn inside out.
  bool TrimBegin(std::int32_t n);
  bool TrimEnd(std::int32_t n);
  bool TrimLength(std::int32_t n);
  // A freshly opened clip of the same file takes this clip's range and placement.
  AudioClip TakePlacement(AudioClip fresh) const;
  // The whole source of a kind that reads a file (samples 0 … GetSourceLength() - 1), in the
  // kind's format.
  void TakeWholeSource();
  // Format and length from the kind's own answers, after opening or copying.
  void TakeFormat();
  // The source sample of clip sample `first` in `at`; false when it falls outside 32 bits.
  bool SourceSample(std::int32_t first, std::int32_t& at) const;

  std::filesystem::path fileName_;
  std::int32_t channels_ = 2;
  std::int32_t bits_ = 16;
  std::int32_t rate_ = 44100;
  std::int32_t length_ = -1;
  std::int32_t volume_ = 256;
  std::int32_t beginSample_ = 0;
  std::int32_t endSample_ = -1;
  std::int32_t playFrame_ = 0;
  bool overClip_ = true;
  std::string readLoss_;

  friend class AudioClipRecord;
};

// Handle to a shared audio clip; the setters copy the clip first when it is shared.
class AudioClip : public Handle<pAudioClip> {
public:
  using Handle::Handle;
  AudioClip(Handle<pAudioClip> h) : Handle(std::move(h)) {}

  bool SetBeginSample(std::int32_t n);
  bool SetEndSample(std::int32_t n);
  bool SetLength(std::int32_t n);
  bool SetPlayFrame(std::int32_t f);
  bool SetVolume(std::int32_t v);
};

} // namespace rw

#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/AudioClip.h"
#include "render/DIB.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace rw {

class VideoClip;
class RecordWriter;
class ColorChooser;
class AviStream;

// A cut: numbered 24-bit frames (frame 0 is the clip's begin frame), its trimming, its record
// and, for movie files, its own sound. Kinds: AviClip, PictureClip, ColormatClip.
//
// Frame pointers stay valid until the next call on any clip sharing the same decoder or picture.
class pVideoClip : public RefCounted {
public:
  pVideoClip() = default;
  // Copies file name, size, length, begin and end and what reading lost, and shares the audio;
  // the loaded volume is not copied.
  pVideoClip(const pVideoClip& other);
  ~pVideoClip() override = default;

  virtual pVideoClip* Clone() const = 0;
  virtual std::int32_t GetWidth() const { return 0; }
  virtual std::int32_t GetHeight() const { return 0; }
  virtual const BitmapInfoHeader* GetFormat() { return nullptr; }
  virtual const std::uint8_t* GetFrame(std::int32_t /*i*/) { return nullptr; }
  virtual const std::uint8_t* GetFirstFrame() { return nullptr; }
  virtual const std::uint8_t* GetLastFrame() { return nullptr; }
  virtual const BitmapInfoHeader* GetSourceFormat() { return nullptr; }
  virtual const std::uint8_t* GetSourceFrame(std::int32_t /*i*/) { return nullptr; }
  virtual bool IsKeyFrame(std::int32_t /*i*/) const { return false; }
  virtual bool IsNewFrame(std::int32_t /*i*/) const { return false; }
  virtual std::int32_t GetBeginFrame() const { return -1; }
  virtual std::int32_t GetEndFrame() const { return -1; }
  virtual bool HasBeginEnd() const { return false; }
  // Whether the kind's record gives the cut's length (StartFrame and EndFrame, or TotalFrame). A
  // kind whose record does not is written with the length in a Frames key, so that the cut
  // keeps its length when it is read while its file does not open.
  virtual bool RecordsLength() const { return true; }
  virtual std::int32_t GetSourceLength() const { return -1; }
  virtual bool IsValid() const { return false; }
  // An entry kept in place of a cut whose file does not open (OfflineClip); never valid.
  virtual bool IsOffline() const { return false; }
  // Why the file of an offline cut did not open; empty for every other cut.
  virtual std::string OfflineReason() const { return {}; }
  virtual bool IsMovieFile() const { return false; }
  virtual bool CanCopyStream() const { return false; }
  // The AVI stream handle the clip reads, for copying compressed samples; null for other kinds.
  virtual const AviStream* GetStream() const { return nullptr; }
  virtual bool SetSize(std::int32_t /*w*/, std::int32_t /*h*/) { return false; }
  virtual bool SetBeginFrame(std::int32_t) { return false; }
  virtual bool SetEndFrame(std::int32_t) { return false; }
  virtual bool SetLength(std::int32_t) { return false; }
  virtual bool Configure(ColorChooser&) { return false; }
  virtual bool IsConfigurable() const { return false; }
  virtual std::string_view GetKindName() const { return ""; }
  virtual bool SaveExtra(RecordWriter&, int /*level*/) const { return true; }
  virtual bool LoadExtra(std::string_view /*key*/, std::string_view /*value*/) { return false; }
  virtual VideoClip Rebuild();

  const std::filesystem::path& FileName() const { return fileName_; }
  std::int32_t Length() const { return length_; }
  std::int32_t LoadedVolume() const { return loadedVolume_; }
  // What reading the cut's record lost: its file opened but holds fewer frames than the record
  // asks for (a damaged or shortened file). Empty when nothing was lost.
  const std::string& ReadLoss() const { return readLoss_; }
  void SetReadLoss(std::string note) { readLoss_ = std::move(note); }
  const AudioClip& Audio() const { return audio_; }

protected:
  // Trims the own sound to the samples of frames begin … end at the project's 30 frames per
  // second (sample 0 at frame 0); silent when no frame has sound.
  void FollowSound();

  std::filesystem::path fileName_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t length_ = -1;
  std::int32_t beginFrame_ = 0;
  std::int32_t endFrame_ = 0;
  std::int32_t loadedVolume_ = -1;
  AudioClip audio_;
  std::string readLoss_;

  friend class VideoClip;
  friend class VideoClipRecord;
};

// Handle to a shared cut; the editing operations copy the cut first when it is shared.
class VideoClip : public Handle<pVideoClip> {
public:
  using Handle::Handle;
  VideoClip(Handle<pVideoClip> h) : Handle(std::move(h)) {}

  bool SetSize(std::int32_t w, std::int32_t h);
  bool SetBeginFrame(std::int32_t n);
  bool SetEndFrame(std::int32_t n);
  bool SetLength(std::int32_t n);
  // The clip's own audio handle, for editing the audio of this clip only: the clip is made
  // private first. A null handle, or a clip without valid audio, answers nullptr (there is no
  // shared always-null AudioClip to hand out; callers test the pointer instead).
  AudioClip* AudioForEditing();
  bool Configure(ColorChooser& chooser);
};

} // namespace rw

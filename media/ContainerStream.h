#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/ContainerFrameMap.h"
#include "media/FfmpegPtr.h"
#include "media/FileStamp.h"
#include "media/ReaderRegistry.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rw {

class MessageText;

// How the stored pictures are turned for display, to the nearest right angle: a displayed
// point (x', y') = (a x + c y, b x + d y) in coordinates centred on the picture, y downwards;
// each of a, b, c, d is -1, 0 or 1.
struct PictureTurn {
  int a = 1, b = 0, c = 0, d = 1;
  // Width and height trade places (a quarter turn).
  bool Across() const { return a == 0; }
  bool IsNone() const { return a == 1 && b == 0 && c == 0 && d == 1; }
  // The turn nearest to a display matrix (nine 16.16/2.30 fixed-point values); none for a
  // matrix that flattens the picture.
  static PictureTurn FromMatrix(const std::int32_t matrix[9]);
};

// One video packet of a movie, in file order.
struct ContainerPacket {
  std::int64_t pts = 0;      // presentation time in the stream's time base
  std::int64_t seek = 0;     // the time to seek to for it (the smaller of its stamps)
  std::int64_t pos = -1;     // byte position; -1 when the container does not tell
  std::int32_t picture = -1; // display number; -1 for a packet that is decoded but not shown
  bool key = false;
};

// One open movie file of another container than AVI (MP4, MOV, MKV, WebM): its first video
// stream with an index of every video packet, built once by reading the file through without
// decoding; where its pictures fall on the cut's 30 fps frames (ContainerFrameMap); the turn and
// the display size. Shared by every cut of the file and by the decoders of the file, which read
// packets through it. A closed stream answers every question as absent.
class pContainerStream : public RefCounted {
public:
  // Packets and sizes beyond which a file is refused as damaged or hostile.
  static constexpr std::int32_t kMaxPackets = 3 << 20;
  static constexpr std::int32_t kMaxDimension = 16384;

  pContainerStream() = default;
  pContainerStream(const pContainerStream&) = delete;
  pContainerStream& operator=(const pContainerStream&) = delete;

  // Opens `file`, or reopens it in place: whatever was open is closed first. On failure the
  // stream stays closed and a message naming the file is appended to `messages`.
  bool Open(const std::filesystem::path& file, MessageText& messages);
  void Close();
  // The user will not have the changed file read again: it is closed.
  void Declined() { Close(); }

  bool IsOpen() const { return open_; }
  const std::filesystem::path& FileName() const { return fileName_; }
  const FileStamp& Stamp() const { return stamp_; }
  // Changes whenever the stream is opened or closed, so that decoders notice a reload.
  std::uint64_t Generation() const { return generation_; }

  // Cut frames (30 fps) of the whole movie, and what each shows.
  std::int32_t FrameCount() const { return open_ ? map_.FrameCount() : 0; }
  const ContainerFrameMap& Map() const { return map_; }
  bool IsKeyFrame(std::int32_t n) const { return open_ && map_.IsKeyFrame(n); }
  bool IsNewFrame(std::int32_t n) const { return open_ && map_.IsNewFrame(n); }
  // The displayed size: square pixels, turned.
  std::int32_t FrameWidth() const { return open_ ? width_ : 0; }
  std::int32_t FrameHeight() const { return open_ ? height_ : 0; }
  const PictureTurn& Turn() const { return turn_; }
  // The stream's time base and the presentation time of picture 0 (time zero of the file).
  AVRational TimeBase() const { return timeBase_; }
  std::int64_t Origin() const { return map_.Origin(); }
  // Pictures per second on average (for information), 0/1 when unknown.
  AVRational AverageRate() const { return averageRate_; }

  // For the decoders: the video format, the packets in file order and where each picture is.
  const AVCodecParameters* VideoParameters() const { return open_ ? video_.get() : nullptr; }
  const std::vector<ContainerPacket>& Packets() const { return packets_; }
  std::int32_t PacketOf(std::int32_t picture) const;
  std::int64_t PictureTime(std::int32_t picture) const;
  // Makes the next ReadPacket deliver packet `k` (file order). False when the file cannot be
  // read there.
  bool SeekPacket(std::int32_t k);
  // The next video packet in file order and its number; false at the end or on a read error.
  bool ReadPacket(AVPacket& packet, std::int32_t& number);
  // The number of the packet the next ReadPacket delivers; -1 when unknown.
  std::int32_t NextPacket() const { return next_; }

private:
  friend class ReaderRegistry<pContainerStream>;

  bool Fail(MessageText& messages, const std::string& text);
  bool Index(MessageText& messages);
  bool SetSizes(MessageText& messages);
  // The file-order number of a packet just read; -1 when it is not one of the index.
  std::int32_t Identify(const AVPacket& packet, std::int32_t expected) const;
  // Reads packets until packet k has been read (kept for the next ReadPacket).
  bool ReadUpTo(std::int32_t k);

  std::filesystem::path fileName_;
  bool open_ = false;
  ff::InputPtr format_;
  int videoIndex_ = -1;
  ff::ParametersPtr video_;
  AVRational timeBase_{1, 1};
  AVRational averageRate_{0, 1};
  std::vector<ContainerPacket> packets_;
  std::vector<std::int32_t> packetOf_;    // by picture
  std::vector<std::int64_t> pictureTime_; // by picture
  // (position, packet) sorted, when the positions of packets_ do not rise in file order.
  std::vector<std::pair<std::int64_t, std::int32_t>> byPos_;
  ContainerFrameMap map_;
  PictureTurn turn_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  ff::PacketPtr pending_; // a packet read ahead by SeekPacket
  std::int32_t pendingNumber_ = -1;
  std::int32_t next_ = -1;
  FileStamp stamp_;
  std::uint64_t generation_ = 0;
  ReaderRegistry<pContainerStream>::Link link_;
};

// Handle to a shared movie stream.
class ContainerStream : public Handle<pContainerStream> {
public:
  using Handle::Handle;
  ContainerStream(Handle<pContainerStream> h) : Handle(std::move(h)) {}
};

} // namespace rw

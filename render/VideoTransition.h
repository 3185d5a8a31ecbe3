#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "render/BitmapInfoHeader.h"

#include <cstdint>
#include <string_view>

namespace rw {

class DIB;
class MessageText;
class RecordReader;
class RecordWriter;

// A transition between two neighbouring cuts: its kind (the class) and its length in frames.
// This base class is the empty transition; the seven kinds derive from it and add no members.
// A transition counts as present only when its length is above 0 and IsValid answers true.
class pVideoTransition : public RefCounted {
public:
  pVideoTransition() = default;
  // Copies the length; the copy starts with its own count of 1.
  pVideoTransition(const pVideoTransition&) = default;
  pVideoTransition& operator=(const pVideoTransition&) = delete;
  ~pVideoTransition() override = default;

  // Is this a real transition (false for the empty one).
  virtual bool IsValid() const { return false; }
  // A new object of the same kind with the same length and a count of 1. The empty transition
  // answers a new empty transition.
  virtual pVideoTransition* Clone() const;
  // Reserved for kind-specific queries; every kind answers 0.
  virtual std::int32_t Query() const { return 0; }
  // Renders step `index` of the transition from the outgoing to the incoming picture into
  // `out`. All three blocks have the layout `header` describes (24-bit, bottom-up rows padded
  // to 4 bytes); none may overlap `out` except by being `out` itself. False when the header or
  // a block is null or the header is not a 24-bit picture of positive size. An index outside
  // 0..Length()-1 copies the outgoing picture. The empty transition renders nothing (false).
  virtual bool Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                      const std::uint8_t* incoming, std::int32_t index) const;
  virtual std::string_view Keyword() const { return {}; }
  virtual std::string_view DisplayName() const { return {}; }
  // The kind's own record keys (none for the seven kinds).
  virtual bool WriteParams(RecordWriter& /*out*/, int /*level*/) const { return true; }
  // Offered every key line of the block first; answers whether the kind took it.
  virtual bool ReadParam(std::string_view /*key*/, std::string_view /*value*/) { return false; }
  // Called once a block has been read successfully.
  virtual bool AfterLoad() { return true; }

  std::int32_t Length() const { return length_; }
  bool IsPresent() const { return length_ > 0 && IsValid(); }

  // The block that follows the project line naming the kind: "begin" at `level`, the length as
  // "TransFrame" and the kind's keys at level + 1, "end" at `level`.
  bool WriteBlock(RecordWriter& out, int level) const;
  // Reads such a block into this object: lines before "begin" that are bare words are skipped,
  // a key line there fails; inside, key lines go to ReadParam first, then "TransFrame" sets the
  // length when its value is above 0; a bare "end" succeeds; the end of input fails.
  bool ReadBlock(RecordReader& in, MessageText* messages = nullptr);

protected:
  std::int32_t length_ = 0;

  friend class VideoTransition;
};

// Handle to a shared transition. Never null: a default handle holds a new empty transition.
class VideoTransition : public Handle<pVideoTransition> {
public:
  VideoTransition();
  // Holds a made object of any kind; null gives an empty transition.
  explicit VideoTransition(Handle<pVideoTransition> made);
  VideoTransition(const VideoTransition&) = default;
  VideoTransition& operator=(const VideoTransition&) = default;
  // Moving copies, so that the source stays a valid (never null) handle.

  // Sets the length, first taking a private copy when the object is shared. Refused (false)
  // when the new length is <= 0 or equals the present one; the empty transition keeps length 0
  // but the answer is true.
  bool SetLength(std::int32_t length);

  std::int32_t Length() const;
  bool IsValid() const;
  bool IsPresent() const;
  std::string_view Keyword() const;
  std::string_view DisplayName() const;

  // Render straight into `out` (see pVideoTransition::Render).
  bool Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
              const std::uint8_t* incoming, std::int32_t index) const;

  // Render with resizing into `out` (already created at the wanted size): an outgoing or
  // incoming picture of another size is first scaled to that size, by QuickResizeFrom in the
  // preview variant and by ResizeFrom in the smooth (movie) variant. False when `out` is empty,
  // a picture is missing, or the transition is empty.
  bool RenderQuick(DIB& out, const BitmapInfoHeader* outgoingHeader, const std::uint8_t* outgoing,
                   const BitmapInfoHeader* incomingHeader, const std::uint8_t* incoming,
                   std::int32_t index) const;
  bool RenderSmooth(DIB& out, const BitmapInfoHeader* outgoingHeader, const std::uint8_t* outgoing,
                    const BitmapInfoHeader* incomingHeader, const std::uint8_t* incoming,
                    std::int32_t index) const;
  bool RenderQuick(DIB& out, const DIB& outgoing, const DIB& incoming, std::int32_t index) const;
  bool RenderSmooth(DIB& out, const DIB& outgoing, const DIB& incoming, std::int32_t index) const;

  bool WriteBlock(RecordWriter& out, int level) const;

private:
  bool RenderResized(DIB& out, const BitmapInfoHeader* outgoingHeader, const std::uint8_t* outgoing,
                     const BitmapInfoHeader* incomingHeader, const std::uint8_t* incoming, std::int32_t index,
                     bool quick) const;
};

} // namespace rw

#include "render/VideoTransition.h"

#include "base/MessageText.h"
#include "base/RecordBlock.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "render/DIB.h"

#include <string>

namespace rw {
namespace {

// Gives `out` the picture at the output's size: the caller's block when the sizes agree,
// otherwise a scaled copy held in `scratch`. Null when the picture is missing or scaling fails.
const std::uint8_t* AtOutputSize(const DIB& out, const BitmapInfoHeader* header, const std::uint8_t* bits,
                                 bool quick, DIB& scratch) {
  if (!header || !bits)
    return nullptr;
  if (header->biWidth == out.Width() && header->biHeight == out.Height())
    return bits;
  if (!scratch.CreateLike(out))
    return nullptr;
  const bool scaled = quick ? scratch.QuickResizeFrom(header, bits) : scratch.ResizeFrom(header, bits);
  return scaled ? scratch.Bits() : nullptr;
}

} // namespace

pVideoTransition* pVideoTransition::Clone() const {
  return new pVideoTransition();
}

bool pVideoTransition::Render(const BitmapInfoHeader*, std::uint8_t*, const std::uint8_t*,
                              const std::uint8_t*, std::int32_t) const {
  return false;
}

bool pVideoTransition::WriteBlock(RecordWriter& out, int level) const {
  out.Begin(level);
  out.Key(level + 1, "TransFrame", length_);
  const bool ok = WriteParams(out, level + 1);
  out.End(level);
  return ok;
}

bool pVideoTransition::ReadBlock(RecordReader& in, MessageText* messages) {
  return RecordBlock::Read(in, messages, "映像効果", [&](const RecordLine& line) {
    if (ReadParam(line.key, line.value))
      return;
    if (SameWord(line.key, "TransFrame")) {
      const std::int32_t length = ReadNumber(line.value);
      if (length > 0)
        length_ = length;
    }
  });
}

VideoTransition::VideoTransition() : Handle(Make()) {}

VideoTransition::VideoTransition(Handle<pVideoTransition> made) : Handle(made ? std::move(made) : Make()) {}

bool VideoTransition::SetLength(std::int32_t length) {
  if (IsNull() || length <= 0 || length == Get()->length_)
    return false;
  Detach();
  if (Get()->IsValid())
    Get()->length_ = length;
  return true;
}

std::int32_t VideoTransition::Length() const {
  return IsNull() ? 0 : Get()->Length();
}
bool VideoTransition::IsValid() const {
  return !IsNull() && Get()->IsValid();
}
bool VideoTransition::IsPresent() const {
  return !IsNull() && Get()->IsPresent();
}
std::string_view VideoTransition::Keyword() const {
  return IsNull() ? std::string_view() : Get()->Keyword();
}
std::string_view VideoTransition::DisplayName() const {
  return IsNull() ? std::string_view() : Get()->DisplayName();
}

bool VideoTransition::Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                             const std::uint8_t* incoming, std::int32_t index) const {
  return !IsNull() && Get()->Render(header, out, outgoing, incoming, index);
}

bool VideoTransition::RenderResized(DIB& out, const BitmapInfoHeader* outgoingHeader,
                                    const std::uint8_t* outgoing, const BitmapInfoHeader* incomingHeader,
                                    const std::uint8_t* incoming, std::int32_t index, bool quick) const {
  if (IsNull() || !Get()->IsValid() || !out.IsPresent())
    return false;
  DIB outgoingScaled;
  DIB incomingScaled;
  const std::uint8_t* a = AtOutputSize(out, outgoingHeader, outgoing, quick, outgoingScaled);
  const std::uint8_t* b = AtOutputSize(out, incomingHeader, incoming, quick, incomingScaled);
  if (!a || !b)
    return false;
  return Get()->Render(out.Header(), out.Bits(), a, b, index);
}

bool VideoTransition::RenderQuick(DIB& out, const BitmapInfoHeader* outgoingHeader,
                                  const std::uint8_t* outgoing, const BitmapInfoHeader* incomingHeader,
                                  const std::uint8_t* incoming, std::int32_t index) const {
  return RenderResized(out, outgoingHeader, outgoing, incomingHeader, incoming, index, true);
}

bool VideoTransition::RenderSmooth(DIB& out, const BitmapInfoHeader* outgoingHeader,
                                   const std::uint8_t* outgoing, const BitmapInfoHeader* incomingHeader,
                                   const std::uint8_t* incoming, std::int32_t index) const {
  return RenderResized(out, outgoingHeader, outgoing, incomingHeader, incoming, index, false);
}

bool VideoTransition::RenderQuick(DIB& out, const DIB& outgoing, const DIB& incoming,
                                  std::int32_t index) const {
  return RenderQuick(out, outgoing.Header(), outgoing.Bits(), incoming.Header(), incoming.Bits(), index);
}

bool VideoTransition::RenderSmooth(DIB& out, const DIB& outgoing, const DIB& incoming,
                                   std::int32_t index) const {
  return RenderSmooth(out, outgoing.Header(), outgoing.Bits(), incoming.Header(), incoming.Bits(), index);
}

bool VideoTransition::WriteBlock(RecordWriter& out, int level) const {
  return !IsNull() && Get()->WriteBlock(out, level);
}

} // namespace rw

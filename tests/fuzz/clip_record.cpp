// Cut records from arbitrary text. The first line names the kind (through the keyword
// dispatch); the whole text is also read as a colour-mat record directly. A mat that loads must
// survive writing and reading back unchanged.
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/UserPrompt.h"
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "media/VideoClipKinds.h"
#include "media/VideoClipRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
  if (!ok)
    __builtin_trap();
}

void Exercise(const rw::VideoClip& clip, rw::MediaContext& context) {
  if (!clip)
    return;
  auto& mat = static_cast<const rw::ColormatClip&>(*clip);
  Check(clip->IsValid());
  Check(clip->GetFrame(0) != nullptr && clip->GetFormat() != nullptr);

  rw::RecordWriter writer("/project");
  Check(rw::VideoClipRecord::Write(*clip, writer, 1));
  rw::RecordReader reader(writer.Text(), "/project");
  const rw::VideoClip again = rw::VideoClipKinds::LoadRecord("Mat", reader, context);
  Check(static_cast<bool>(again));
  auto& back = static_cast<const rw::ColormatClip&>(*again);
  Check(back.Red() == mat.Red() && back.Green() == mat.Green() && back.Blue() == mat.Blue());
  Check(back.Length() == clip->Length());

  rw::VideoClip sized = clip;
  sized.SetSize(3, 2);
  Check(sized->GetWidth() == 3 && sized->GetHeight() == 2);
  Check(clip->GetWidth() == 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context(messages, prompt);

  // Through the dispatch, keyword on the first line.
  {
    const std::size_t eol = text.find('\n');
    const std::string keyword(text.substr(0, eol == std::string_view::npos ? text.size() : eol));
    const std::string_view rest = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    rw::RecordReader reader(rest, "/project");
    const rw::VideoClip clip = rw::VideoClipKinds::LoadRecord(keyword, reader, context);
    if (clip && clip->GetKindName() == "Mat")
      Exercise(clip, context);
  }
  // Straight into a colour mat.
  {
    rw::RecordReader reader(text, "/project");
    Exercise(rw::VideoClipRecord::Load(rw::VideoClip::Make<rw::ColormatClip>(), reader, &messages), context);
  }
  return 0;
}

// Transition records from arbitrary text. The first line names the kind; the rest is the block.
// A transition that loads must write and read back to the same kind and length, and render
// every step class of a small odd-sized picture without touching memory outside it.
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "render/DIB.h"
#include "render/TransitionKinds.h"
#include "render/VideoTransition.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
  if (!ok)
    __builtin_trap();
}

void Exercise(const rw::VideoTransition& t) {
  rw::RecordWriter writer;
  Check(t.WriteBlock(writer, 1));
  rw::RecordReader reader(writer.Text());
  const rw::VideoTransition back = rw::TransitionKinds::Load(t.Keyword(), reader);
  Check(back.Keyword() == t.Keyword() && back.Length() == t.Length());

  rw::DIB a, b, out;
  Check(a.Create(7, 3) && b.Create(7, 3) && out.Create(7, 3));
  a.FillColor(10, 20, 30);
  b.FillColor(200, 100, 0);
  const std::int32_t n = t.Length();
  for (const std::int32_t i : {-1, 0, n / 2, n - 1, n})
    Check(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t eol = text.find('\n');
  const std::string keyword(text.substr(0, eol == std::string_view::npos ? text.size() : eol));
  const std::string_view rest = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
  rw::MessageText messages;
  rw::RecordReader reader(rest);
  const rw::VideoTransition t = rw::TransitionKinds::Load(keyword, reader, &messages);
  Check(!t.IsNull());
  if (t.IsValid())
    Exercise(t);
  else
    Check(t.Length() == 0);
  return 0;
}

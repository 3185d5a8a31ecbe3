#include "base/TextEncoding.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <memory>

namespace rw::TextEncoding {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

struct IconvCloser {
  void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle OpenCp932() {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1))
    return nullptr;
  return IconvHandle(cd);
}

// Without a CP932 converter ASCII still comes through; every other byte is replaced.
std::string AsciiOnly(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x80)
      out.push_back(c);
    else
      out.append(kReplacement);
  }
  return out;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false; // continuation byte, overlong lead (C0, C1) or beyond U+10FFFF
    }
    if (n - i < len)
      return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

std::string Cp932ToUtf8(std::string_view text) {
  // One converter per thread, opened on first use; its state is reset for every text.
  thread_local const IconvHandle cd = OpenCp932();
  if (!cd)
    return AsciiOnly(text);
  iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);

  std::string out;
  out.reserve(text.size() * 3 / 2 + 8);
  char buffer[1024];
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t done = iconv(cd.get(), &in, &inLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (done != static_cast<std::size_t>(-1))
      break;
    if (errno == E2BIG)
      continue;
    // An invalid or incomplete sequence: replace one byte and go on after it.
    out.append(kReplacement);
    ++in;
    --inLeft;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  // Flush any shift state (none for CP932, but the call is cheap).
  char* dst = buffer;
  std::size_t dstLeft = sizeof buffer;
  iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<std::size_t>(dst - buffer));
  return out;
}

} // namespace rw::TextEncoding

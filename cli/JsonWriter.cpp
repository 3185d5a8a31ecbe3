#include "cli/JsonWriter.h"

#include <cstdio>

namespace rw::cli {
namespace {

// Length of the valid UTF-8 sequence at the start of `text`, 0 when there is none.
std::size_t Utf8Length(std::string_view text) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = b(0);
  std::size_t n;
  std::uint32_t min;
  if (lead < 0x80)
    return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
    min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    min = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < n)
    return 0;
  std::uint32_t code = lead & (0x7F >> n);
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80)
      return 0;
    code = code << 6 | (b(i) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return 0;
  return n;
}

} // namespace

std::string JsonWriter::Quote(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80) {
      const std::size_t n = Utf8Length(text.substr(i));
      if (n == 0) {
        out += "\xEF\xBF\xBD";
        ++i;
      } else {
        out.append(text.substr(i, n));
        i += n;
      }
      continue;
    }
    ++i;
    switch (c) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    case '\b':
      out += "\\b";
      break;
    case '\f':
      out += "\\f";
      break;
    default:
      if (u < 0x20 || u == 0x7F) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", u);
        out += escape;
      } else {
        out += c;
      }
    }
  }
  out += '"';
  return out;
}

void JsonWriter::NewLine() {
  out_ += '\n';
  out_.append(2 * hasItems_.size(), ' ');
}

void JsonWriter::Next() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (hasItems_.empty())
    return;
  if (hasItems_.back())
    out_ += ',';
  hasItems_.back() = true;
  NewLine();
}

void JsonWriter::Open(char bracket) {
  Next();
  out_ += bracket;
  hasItems_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool any = hasItems_.back();
  hasItems_.pop_back();
  if (any)
    NewLine();
  out_ += bracket;
}

void JsonWriter::Key(std::string_view key) {
  Next();
  out_ += Quote(key);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::String(std::string_view text) {
  Next();
  out_ += Quote(text);
}

void JsonWriter::Number(std::int64_t value) {
  Next();
  out_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  Next();
  out_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  Next();
  out_ += "null";
}

} // namespace rw::cli

#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw::cli {

// The arguments of one command: positional arguments in order and "--name" options, each either
// a flag or followed by a value ("--size 320x240" or "--size=320x240").
class CliArgs {
public:
  struct Option {
    std::string_view name; // without the leading "--"
    bool takesValue;
  };

  // Splits `args` (the words after the command name) by the options the command knows. False
  // with a message in `error` for an unknown option, a missing value, or a count of positional
  // arguments outside minPositional..maxPositional. "--" ends the options.
  bool Parse(const std::vector<std::string>& args, std::initializer_list<Option> options,
             std::size_t minPositional, std::size_t maxPositional, std::string& error);

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Has(std::string_view name) const { return values_.contains(std::string(name)); }
  // The value of an option that takes one; empty when absent.
  std::optional<std::string> Value(std::string_view name) const;

  // A whole decimal number (optional sign) that fits in 32 bits; nothing else.
  static std::optional<std::int32_t> ToInt(std::string_view text);
  // "WxH" (or "WXH") with both numbers above 0.
  static bool ToSize(std::string_view text, std::int32_t& width, std::int32_t& height);

private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> values_;
};

} // namespace rw::cli

#include "cli/CliArgs.h"

#include <charconv>

namespace rw::cli {

bool CliArgs::Parse(const std::vector<std::string>& args, std::initializer_list<Option> options,
                    std::size_t minPositional, std::size_t maxPositional, std::string& error) {
  positional_.clear();
  values_.clear();
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (optionsEnded || !word.starts_with("--") || word.size() == 2) {
      if (!optionsEnded && word == "--") {
        optionsEnded = true;
        continue;
      }
      positional_.push_back(word);
      continue;
    }
    std::string name = word.substr(2);
    std::optional<std::string> inlineValue;
    if (const std::size_t eq = name.find('='); eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    const Option* known = nullptr;
    for (const Option& option : options)
      if (option.name == name)
        known = &option;
    if (!known) {
      error = "unknown option --" + name;
      return false;
    }
    if (!known->takesValue) {
      if (inlineValue) {
        error = "option --" + name + " takes no value";
        return false;
      }
      values_[name] = "";
      continue;
    }
    if (inlineValue) {
      values_[name] = *inlineValue;
    } else if (i + 1 < args.size()) {
      values_[name] = args[++i];
    } else {
      error = "option --" + name + " needs a value";
      return false;
    }
  }
  if (positional_.size() < minPositional || positional_.size() > maxPositional) {
    error = positional_.size() < minPositional ? "missing arguments" : "too many arguments";
    return false;
  }
  return true;
}

std::optional<std::string> CliArgs::Value(std::string_view name) const {
  const auto it = values_.find(std::string(name));
  if (it == values_.end())
    return std::nullopt;
  return it->second;
}

std::optional<std::int32_t> CliArgs::ToInt(std::string_view text) {
  if (text.starts_with('+') && !text.starts_with("+-"))
    text.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

bool CliArgs::ToSize(std::string_view text, std::int32_t& width, std::int32_t& height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos)
    return false;
  const auto w = ToInt(text.substr(0, x));
  const auto h = ToInt(text.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || text[0] == '+' || text[x + 1] == '+' || text[x + 1] == '-')
    return false;
  width = *w;
  height = *h;
  return true;
}

} // namespace rw::cli

#include "tests/support/FuzzInput.h"

#include <cstdio>
#include <string>
#include <system_error>
#include <unistd.h>

namespace rw::test {

FuzzInput::FuzzInput(std::string_view name)
    : folder_(std::filesystem::temp_directory_path() /
              ("reelwright-fuzz-" + std::string(name) + "-" + std::to_string(::getpid()))) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
}

FuzzInput::~FuzzInput() {
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

std::filesystem::path FuzzInput::Write(std::string_view name, const std::uint8_t* data,
                                       std::size_t size) const {
  const std::filesystem::path file = folder_ / name;
  std::error_code ec;
  std::filesystem::remove(file, ec);
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    if (size > 0) // an empty input may come without bytes
      std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  return file;
}

std::vector<std::uint8_t> FuzzInput::Mutate(std::vector<std::uint8_t> base, const std::uint8_t* data,
                                            std::size_t size) {
  std::size_t i = 0;
  for (; i + 3 <= size && !base.empty(); i += 3) {
    const std::size_t at = ((static_cast<std::size_t>(data[i]) << 8 | data[i + 1]) * base.size()) >> 16;
    base[at] = data[i + 2];
  }
  if (i < size)
    base.resize(base.size() * data[i] / 256);
  return base;
}

std::vector<std::uint8_t>
FuzzInput::Choose(const std::uint8_t* data, std::size_t size, int& kind,
                  const std::function<const std::vector<std::uint8_t>&(int)>& base) {
  kind = size > 0 ? data[0] % 8 : 0;
  if (size == 0)
    return {};
  if (kind == 0)
    return std::vector<std::uint8_t>(data + 1, data + size);
  return Mutate(base(kind), data + 1, size - 1);
}

} // namespace rw::test

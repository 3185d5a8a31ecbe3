#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

namespace rw::test {

// Where a fuzz target writes its inputs as files: a folder of the process's own, removed with
// everything in it when this object goes (make it a function-local static).
class FuzzInput {
public:
  explicit FuzzInput(std::string_view name); // the folder: reelwright-fuzz-<name>-<process id>
  ~FuzzInput();
  FuzzInput(const FuzzInput&) = delete;
  FuzzInput& operator=(const FuzzInput&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  // Writes `size` bytes at `data` as a new file `name` in the folder (rewriting a file in place
  // makes the file system flush it on close) and answers its path.
  std::filesystem::path Write(std::string_view name, const std::uint8_t* data, std::size_t size) const;

  // `base` changed by the input: three input bytes per change (a position scaled to the file's
  // size and the new value), a leftover byte cutting the file short in proportion.
  static std::vector<std::uint8_t> Mutate(std::vector<std::uint8_t> base, const std::uint8_t* data,
                                          std::size_t size);
  // The file an input stands for, its first byte choosing `kind` (modulo 8): 0 takes the rest
  // of the input as the file itself, others take `base(kind)` mutated by the rest. Empty for an
  // empty input.
  static std::vector<std::uint8_t> Choose(const std::uint8_t* data, std::size_t size, int& kind,
                                          const std::function<const std::vector<std::uint8_t>&(int)>& base);

private:
  std::filesystem::path folder_;
};

} // namespace rw::test

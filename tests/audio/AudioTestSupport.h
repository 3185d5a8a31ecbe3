#pragma once

#include "tests/support/TempDir.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace rw::test {

// SDL reads the driver when its audio subsystem starts, which happens at a WaveOut's first open
// while no other WaveOut holds it; each test chooses its driver before making one.
inline void UseDummyAudio() {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

inline void UseMissingAudio() {
  ::setenv("SDL_AUDIODRIVER", "reelwright-no-such-driver", 1);
}

// The disk driver writes every byte the device plays to a file (truncated at each open), after
// waiting `delayMs` between callbacks.
class DiskAudio {
public:
  explicit DiskAudio(int delayMs = 1) : file_(dir_ / "device.raw") {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
    ::setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
  }
  // Complete only after the device has been closed.
  std::vector<std::uint8_t> Bytes() const {
    std::ifstream in(file_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  const std::filesystem::path& File() const { return file_; }

private:
  TempDir dir_;
  std::filesystem::path file_;
};

// Sound bytes that never equal the silence of either sample size (0x00 or 0x80), so that the
// played data can be told from the silence around it.
inline std::vector<std::uint8_t> Pattern(std::size_t bytes, std::uint32_t seed) {
  std::vector<std::uint8_t> out(bytes);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : out) {
    x = x * 1664525u + 1013904223u;
    std::uint8_t v = static_cast<std::uint8_t>(1 + (x >> 24) % 254);
    b = v >= 0x80 ? static_cast<std::uint8_t>(v + 1) : v;
  }
  return out;
}

inline std::vector<std::uint8_t> WithoutSilence(const std::vector<std::uint8_t>& bytes,
                                                std::uint8_t silence) {
  std::vector<std::uint8_t> out;
  out.reserve(bytes.size());
  for (auto b : bytes)
    if (b != silence)
      out.push_back(b);
  return out;
}

template <class Pred> bool WaitFor(Pred pred, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

} // namespace rw::test

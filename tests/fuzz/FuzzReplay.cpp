// Runs a fuzz target without libFuzzer: every file of the seed folder given on the command line,
// then a fixed number of deterministic mutations of those seeds (byte flips, truncations,
// insertions, splices). A crash or sanitizer report fails the test; the run is repeatable.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::vector<std::uint8_t>> seeds;
  if (argc > 1 && std::filesystem::is_directory(argv[1])) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
      std::ifstream in(entry.path(), std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (seeds.empty())
    seeds.emplace_back();
  for (const auto& s : seeds)
    LLVMFuzzerTestOneInput(s.data(), s.size());

  std::mt19937 rng(12345);
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 20000;
  for (int round = 0; round < rounds; ++round) {
    std::vector<std::uint8_t> data = seeds[rng() % seeds.size()];
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 5) {
      case 0: // flip a byte
        if (!data.empty())
          data[rng() % data.size()] = static_cast<std::uint8_t>(rng());
        break;
      case 1: // truncate
        if (!data.empty())
          data.resize(rng() % data.size());
        break;
      case 2: // insert random bytes
      {
        const std::size_t at = data.empty() ? 0 : rng() % (data.size() + 1);
        const std::size_t n = 1 + rng() % 16;
        for (std::size_t i = 0; i < n; ++i)
          data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(rng()));
        break;
      }
      case 3: // splice another seed in
      {
        const auto& other = seeds[rng() % seeds.size()];
        if (!other.empty()) {
          const std::size_t from = rng() % other.size();
          const std::size_t at = data.empty() ? 0 : rng() % (data.size() + 1);
          data.insert(data.begin() + static_cast<std::ptrdiff_t>(at),
                      other.begin() + static_cast<std::ptrdiff_t>(from), other.end());
        }
        break;
      }
      default: // duplicate a stretch
        if (data.size() > 1) {
          const std::size_t from = rng() % data.size();
          const std::size_t len = 1 + rng() % (data.size() - from);
          std::vector<std::uint8_t> copy(data.begin() + static_cast<std::ptrdiff_t>(from),
                                         data.begin() + static_cast<std::ptrdiff_t>(from + len));
          data.insert(data.end(), copy.begin(), copy.end());
        }
        break;
      }
    }
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  std::printf("fuzz replay: %zu seeds, %d mutated inputs, no finding\n", seeds.size(), rounds);
  return 0;
}

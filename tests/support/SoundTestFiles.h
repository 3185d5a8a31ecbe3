#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace rw::test {

// Sound codecs of the test sound writer (each through the libavcodec encoder named beside it).
enum class TestSoundCodec {
  Aac,    // aac
  Opus,   // libopus
  Mp3,    // libmp3lame
  Flac,   // flac
  Vorbis, // libvorbis
  Pcm,    // pcm_s16le
};

struct TestSoundOptions {
  TestSoundCodec codec = TestSoundCodec::Aac;
  int rate = 48000;
  int channels = 2;
  std::int64_t frames = 48000; // sample frames written
  // Sample frame carrying a click (0.9 of full scale on every channel); -1: none.
  std::int64_t click = -1;
  // A quiet mix of tones under the click (0.2 of full scale at most), so that decoded sound
  // can be compared sample by sample.
  bool tone = false;
};

// Writes an audio-only file whose container follows the extension (.m4a, .mp4, .ogg, .opus,
// .mp3, .flac, .mkv, .webm). False with a message in `error` when the encoder or muxer is
// missing or a write fails.
bool WriteTestSound(const std::filesystem::path& file, const TestSoundOptions& options,
                    std::string* error = nullptr);

// Whether this libavcodec has the encoder of `codec`.
bool HasTestSoundEncoder(TestSoundCodec codec);

// The value written at sample frame `frame` of channel `channel`, in -1 … 1.
double TestSoundValue(const TestSoundOptions& options, std::int64_t frame, int channel);

} // namespace rw::test

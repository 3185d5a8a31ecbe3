#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace rw {

class EditDialogs;
class MessageText;
class VideoProject;
class pVideoClipList;
struct OfflineFile;

// Compiles a project's timeline into one AVI movie: a video stream at the output settings' size
// and rate, compressed with the settings' compressor, and a PCM sound stream when audio output
// is on, interleaved frame by frame.
//
// A project with offline entries is refused before anything is asked or written. Preparation
// then asks for what the settings lack (through the project's output-format and
// compressor edits and the dialogs given), then writes frame after frame: a copied source sample
// where a movie cut's compressed samples fit the movie (recompress off), otherwise the rendered
// picture when the frame has a new one; repeated pictures are not stored, their positions stay
// empty and still count, so the movie has exactly one position per timeline frame and
// SampleCount(i, 1) sound samples for each.
//
// The movie is written under a temporary name beside the file (the file's name with ".partial"
// added) and takes the file's name only when it is complete; until then an existing file of that
// name stays as it was. A failure removes the temporary file.
class MovieCompile {
public:
  // Called once per timeline frame before that frame is made, with the percentage done; answers
  // false to stop. A stop ends the movie after the frames made so far: complete and playable.
  using Progress = std::function<bool(int percent)>;

  struct Summary {
    std::int32_t frames = 0;          // timeline frames
    std::int32_t done = 0;            // frames written before the end or a stop
    std::int64_t encodedPictures = 0; // pictures compressed
    std::int64_t passedPictures = 0;  // of those, decoded pictures compressed as they were
    std::int64_t copiedSamples = 0;   // samples copied from source movies
    std::int64_t audioSamples = 0;    // sample frames of the sound stream
    bool stopped = false;
  };

  // `threads` 1 does all work on the calling thread; more lets a second thread decode and render
  // ahead and the encoder use threads of its own. The movie is the same byte for byte.
  // The default: more than one when the machine has more than one processor.
  MovieCompile();
  void SetThreads(int threads) { threads_ = threads < 1 ? 1 : threads; }
  int Threads() const { return threads_; }
  // Whether frames that show a movie cut's picture unchanged go to the encoder as decoded,
  // without the round trip through a 24-bit picture (on by default).
  void SetPassThrough(bool on) { passThrough_ = on; }

  // Compiles `project` into `file`. False when nothing was asked for (no cuts, a dialog not
  // confirmed) or when the movie could not be made (the reason appended to the project's
  // MessageText); true when the movie was completed or stopped through `progress`.
  //
  // While it runs the project, its cuts and their media belong to the compile: `progress` must
  // not change them.
  bool Compile(VideoProject& project, EditDialogs& dialogs, const std::filesystem::path& file,
               const Progress& progress = {});

  // The frames made so far and their total, for a progress function that shows more than the
  // percentage.
  std::int32_t FramesDone() const { return summary_.done; }
  std::int32_t FrameCount() const { return summary_.frames; }
  const Summary& Result() const { return summary_; }

  // The name the movie has while it is written.
  static std::filesystem::path PartialName(const std::filesystem::path& file);

  // False, with a message naming every file that did not open and why, when an entry of `list`
  // (a cut or an anchored sound) is offline: a movie with holes is never made. Compile checks
  // this first, before it asks for settings or touches any file.
  static bool CheckMedia(const pVideoClipList& list, MessageText& messages);
  // The message of that refusal: one line per file ("  <file>: <reason>"), as many as fit in
  // `room` bytes with a count of the rest after them.
  static std::string OfflineRefusal(const std::vector<OfflineFile>& files,
                                    std::size_t room = std::numeric_limits<std::size_t>::max());

private:
  // False (with a message) when `file` is one of the files the project reads.
  static bool CheckTarget(const VideoProject& project, const std::filesystem::path& file,
                          MessageText& messages);

  int threads_ = 1;
  bool passThrough_ = true;
  Summary summary_;
};

} // namespace rw

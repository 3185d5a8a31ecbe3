#pragma once

#include "output/MovieCompileFrames.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace rw {

// Hands out the steps of a MovieCompileFrames in timeline order. With `ahead` a worker thread
// makes them (decoding, rendering and mixing) a few frames in front of the caller, who
// compresses and writes; without it each step is made when asked for. Either way the caller
// receives exactly the same steps, so the movie comes out byte for byte the same.
//
// While a worker runs it alone reads the clip list, its cuts and their media; the caller must
// leave them alone until Stop or the end of the steps.
class MovieCompilePipeline {
public:
  static constexpr int kDepth = 6;

  MovieCompilePipeline(MovieCompileFrames& frames, bool ahead);
  ~MovieCompilePipeline();
  MovieCompilePipeline(const MovieCompilePipeline&) = delete;
  MovieCompilePipeline& operator=(const MovieCompilePipeline&) = delete;

  // The next frame's step, valid until the next call; null after the last frame.
  MovieCompileStep* Next();
  // Ends the work ahead and waits for the worker. The steps not taken are dropped.
  void Stop();
  // After Next answered null: the closing step of the frames, made on the caller's thread.
  MovieCompileStep& Closing();

private:
  void Work();

  MovieCompileFrames& frames_;
  bool ahead_;
  std::vector<MovieCompileStep> slots_;
  std::mutex mutex_;
  std::condition_variable madeOne_;
  std::condition_variable freedOne_;
  std::int64_t made_ = 0;     // steps made
  std::int64_t released_ = 0; // steps the caller has finished with
  bool holding_ = false;      // the caller holds step released_
  bool done_ = false;         // the worker made every step
  bool stop_ = false;
  std::thread worker_;
};

} // namespace rw

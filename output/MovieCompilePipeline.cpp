#include "output/MovieCompilePipeline.h"

namespace rw {

MovieCompilePipeline::MovieCompilePipeline(MovieCompileFrames& frames, bool ahead)
    : frames_(frames), ahead_(ahead), slots_(ahead ? kDepth : 1) {
  if (ahead_)
    worker_ = std::thread([this] { Work(); });
}

MovieCompilePipeline::~MovieCompilePipeline() {
  Stop();
}

void MovieCompilePipeline::Work() {
  for (std::int64_t k = 0;; ++k) {
    {
      std::unique_lock lock(mutex_);
      freedOne_.wait(lock, [&] { return stop_ || k < released_ + kDepth; });
      if (stop_)
        return;
    }
    // Slot k is free: the caller holds slot released_ at most, and k - released_ < kDepth.
    const bool made = frames_.Next(slots_[static_cast<std::size_t>(k % kDepth)]);
    std::lock_guard lock(mutex_);
    if (!made) {
      done_ = true;
      madeOne_.notify_one();
      return;
    }
    made_ = k + 1;
    madeOne_.notify_one();
  }
}

MovieCompileStep* MovieCompilePipeline::Next() {
  if (!ahead_) {
    if (stop_ || !frames_.Next(slots_[0]))
      return nullptr;
    return &slots_[0];
  }
  std::unique_lock lock(mutex_);
  if (holding_) {
    holding_ = false;
    ++released_;
    freedOne_.notify_one();
  }
  madeOne_.wait(lock, [&] { return stop_ || made_ > released_ || done_; });
  if (stop_ || made_ <= released_)
    return nullptr;
  holding_ = true;
  return &slots_[static_cast<std::size_t>(released_ % kDepth)];
}

void MovieCompilePipeline::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  freedOne_.notify_all();
  madeOne_.notify_all();
  if (worker_.joinable())
    worker_.join();
}

MovieCompileStep& MovieCompilePipeline::Closing() {
  Stop();
  MovieCompileStep& step = slots_[0];
  frames_.Closing(step);
  return step;
}

} // namespace rw

#include "view/ProgressRun.h"

#include <algorithm>

namespace rw::view {

void ProgressRun::Reset() {
  stopRequested_ = false;
  running_ = false;
  ran_ = false;
  outcome_ = kFailed;
}

bool ProgressRun::Begin() {
  if (running_ || ran_) {
    return false;
  }
  ran_ = true;
  if (stopRequested_) {
    outcome_ = kStopped;
    return false;
  }
  running_ = true;
  outcome_ = kFailed;
  return true;
}

ProgressRun::Outcome ProgressRun::Finish(bool succeeded) {
  running_ = false;
  if (!succeeded) {
    outcome_ = kFailed;
  } else {
    outcome_ = stopRequested_ ? kStopped : kFinished;
  }
  return outcome_;
}

int ProgressRun::BarPosition(int percent) {
  return std::clamp(percent, 0, 100);
}

} // namespace rw::view

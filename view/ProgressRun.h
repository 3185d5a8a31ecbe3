#pragma once

namespace rw::view {

// The course of one long work under the progress dialog: whether it may start, whether the user
// asked it to stop, and the outcome the dialog closes with.
//
// A showing begins with Reset. The stop button, Escape and the window's close button all call
// RequestStop; the work sees the request at its next progress call and returns early. A request
// made before the work began keeps the work from starting at all.
class ProgressRun {
public:
  enum Outcome : int {
    kFailed = 0,   // the work answered false, or there was no work
    kFinished = 1, // the work ran to its end
    kStopped = 3,  // the user stopped it (the work answered true after a stop request)
  };

  // A new showing: no stop requested, nothing run, outcome kFailed.
  void Reset();
  void RequestStop() { stopRequested_ = true; }
  bool StopRequested() const { return stopRequested_; }
  // True from Begin until Finish.
  bool Running() const { return running_; }

  // The work is about to run. False when it must not: it is already running (a start from inside
  // the work's own event processing), it already ran during this showing, or a stop was
  // requested before it began (the outcome is kStopped then).
  bool Begin();
  // The work returned `succeeded`; sets and answers the outcome.
  Outcome Finish(bool succeeded);
  Outcome Result() const { return outcome_; }

  // The progress bar's position for a percentage the work reports: within 0..100.
  static int BarPosition(int percent);

private:
  bool stopRequested_ = false;
  bool running_ = false;
  bool ran_ = false;
  Outcome outcome_ = kFailed;
};

} // namespace rw::view

#pragma once

namespace rw::cli {

// Exit statuses of reelwright-cli.
enum Status : int {
  kSuccess = 0,
  kFailure = 1, // the command ran and failed; the reason is on standard error
  kUsage = 2,   // the command line was wrong; the usage is on standard error
};

} // namespace rw::cli

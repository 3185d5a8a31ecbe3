#pragma once

namespace rw::cli {

// Runs the command named by argv[1] with the remaining words: "--help" (or "help", or nothing
// at all, which is a usage error) lists the commands, "<command> --help" shows one.
int Dispatch(int argc, char** argv);

} // namespace rw::cli

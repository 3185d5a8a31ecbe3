// reelwright-cli: the headless companion of the editor, on the same core.
#include "cli/CliDispatcher.h"

int main(int argc, char** argv) {
  return rw::cli::Dispatch(argc, argv);
}

// The Linux batch command: loads a data file, applies the chosen menu commands and setting
// window choices, and prints (or writes) what the program would show.
#include <fcntl.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/batch.h"

int main(int argc, char** argv) {
  // A reader of standard output that stops early makes its writes fail rather than end the
  // run, so that the files of --out are still written and the status says what happened.
  std::signal(SIGPIPE, SIG_IGN);
  // A closed standard stream is held by /dev/null opened for reading: no file of --out can
  // take its number (and receive the printed text), and writes to it still fail.
  // Numbers are taken lowest first, so each open fills the closed one being looked at.
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1) static_cast<void>(open("/dev/null", O_RDONLY));
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  return orv::cli::RunBatch(args, stdout, stderr);
}

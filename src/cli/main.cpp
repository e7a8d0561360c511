// The Linux batch command: loads a data file, applies the chosen menu commands and setting
// window choices, and prints (or writes) what the program would show.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/batch.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return orv::cli::RunBatch(args, stdout, stderr);
}

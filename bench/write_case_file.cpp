// Writes the generated data file, for measuring the batch command (and the R comparison)
// from outside: write_case_file PATH [ROWS].
#include <cstdio>
#include <cstdlib>
#include <string>

#include "case_file.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: write_case_file PATH [ROWS]\n", stderr);
    return 2;
  }
  const long rows = argc == 3 ? std::strtol(argv[2], nullptr, 10) : orv::bench::kMillionRows;
  if (rows < 0 || rows > 100'000'000) {
    std::fputs("write_case_file: ROWS must be 0 to 100000000\n", stderr);
    return 2;
  }
  const std::string bytes = orv::bench::GeneratedCaseFile(static_cast<int>(rows));
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

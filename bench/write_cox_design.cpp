// Writes the Cox model benchmark's design as CSV for R's coxph (bench/cox_model_r.R):
// write_cox_design PATH. A header line, then per case its week, status and ten columns, each
// value with 17 significant digits so that R reads the doubles the benchmark fits.
#include <cstdio>

#include "cox_design.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: write_cox_design PATH\n", stderr);
    return 2;
  }
  const orv::CoxDesign design = orv::bench::LargeCoxDesign();
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fputs("week,status,x1,x2,x3,x4,x5,x6,x7,x8,x9,x10\n", out);
  for (std::size_t i = 0; i < design.Rows(); ++i) {
    std::fprintf(out, "%d,%d", design.week[i], design.event[i]);
    for (std::size_t k = 0; k < orv::bench::kCoxColumns; ++k) {
      std::fprintf(out, ",%.17g", design.x[i * orv::bench::kCoxColumns + k]);
    }
    std::fputc('\n', out);
  }
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

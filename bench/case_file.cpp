// The generated data file: a fixed linear congruential sequence, so every run and every
// machine measures the same bytes.
#include "case_file.h"

#include <cstdint>

namespace orv::bench {

std::string GeneratedCaseFile(int rows) {
  const char* causes[] = {"癌死", "他病死", "心疾患", "肺炎", "不明"};
  std::string file = "'群,生存日数,転帰,死因\r\n";
  file.reserve(static_cast<std::size_t>(rows) * 23 + 64);
  std::uint32_t seed = 20240901;
  for (int i = 0; i < rows; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::uint32_t r = seed >> 8;
    const std::uint32_t group = 1 + r % 20;
    file += "治療群";
    file += static_cast<char>('0' + group / 10);
    file += static_cast<char>('0' + group % 10);
    file += ',';
    file += std::to_string((r >> 5) % 5000);
    if ((r >> 3) % 3 == 0) {
      file += ",死亡,";
      file += causes[(r >> 12) % 5];
    } else {
      file += ",生存";
    }
    if (r % 10007 == 0) file += "x";  // an occasional malformed days field is excluded
    file += "\r\n";
  }
  return file;
}

}  // namespace orv::bench

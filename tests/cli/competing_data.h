// The file of the competing-risks tests (reference/competing_cli.R): groups A, B and C, deaths
// of 癌 the events of interest and of 心疾患 the competing ones once 心疾患 is censored.
// A's last two cases lie beyond the X range of 260 weeks; weeks 3 of A and 25 of B hold a
// death of each cause.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cli {

// UTF-8 rows; the days fall in the middle of each week.
inline std::string CompetingRows() {
  const char8_t* const outcome[] = {u8",生存", u8",死亡,癌", u8",死亡,心疾患"};
  const std::vector<std::pair<const char*, std::vector<std::pair<int, int>>>> groups = {
      {"A", {{1, 1}, {3, 1}, {3, 2}, {5, 0}, {8, 2}, {10, 1}, {10, 1}, {15, 0}, {20, 2}, {30, 1}, {40, 0}, {40, 0}, {265, 1}, {270, 0}}},
      {"B", {{2, 2}, {4, 1}, {6, 1}, {6, 0}, {9, 2}, {12, 1}, {18, 0}, {25, 1}, {25, 2}, {35, 0}}},
      {"C", {{1, 2}, {5, 2}, {7, 1}, {11, 0}, {14, 2}, {22, 1}, {28, 0}, {33, 2}, {45, 0}}},
  };
  std::string rows = "'competing\r\n";
  for (const auto& [name, cases] : groups) {
    for (const auto& [week, status] : cases) {
      rows += std::string(name) + "," + std::to_string(7 * week + 3) +
              reinterpret_cast<const char*>(outcome[status]) + "\r\n";
    }
  }
  return rows;
}

}  // namespace cli

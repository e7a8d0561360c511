// The data files the batch command's tests generate.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Expected texts are written as UTF-8 literals: ordinary literals here are Shift-JIS.
inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Rows of one group's cases, each on day 7 x week with the outcome ("生存" or "死亡,<cause>").
inline std::string Rows(const std::string& group, const std::vector<int>& weeks, const std::string& outcome) {
  std::string rows;
  for (int w : weeks) rows += group + "," + std::to_string(7 * w) + "," + outcome + "\r\n";
  return rows;
}

// The file of the competing-risks tests (reference/competing_cli.R), UTF-8: groups A, B and C,
// deaths of 癌 the events of interest and of 心疾患 the competing ones once 心疾患 is censored.
// A's last two cases lie beyond the X range of 260 weeks; weeks 3 of A and 25 of B hold a
// death of each cause.
inline std::string CompetingRows() {
  const std::string cancer = U8(u8"死亡,癌"), heart = U8(u8"死亡,心疾患"), alive = U8(u8"生存");
  return "'competing\r\n" + Rows("A", {1, 3, 10, 10, 30, 265}, cancer) + Rows("A", {3, 8, 20}, heart) +
         Rows("A", {5, 15, 40, 40, 270}, alive) + Rows("B", {4, 6, 12, 25}, cancer) + Rows("B", {2, 9, 25}, heart) +
         Rows("B", {6, 18, 35}, alive) + Rows("C", {7, 22}, cancer) + Rows("C", {1, 5, 14, 33}, heart) +
         Rows("C", {11, 28, 45}, alive);
}

}  // namespace cli

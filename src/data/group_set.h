// The shown groups: which groups are drawn, pooled into group 0 and compared by the tests.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>

#include "data/case_data.h"

namespace orv {

class GroupSet {
 public:
  bool Contains(int g) const { return g >= 0 && g < kGroupSlots && bits_.test(static_cast<std::size_t>(g)); }
  // Groups outside 0..20 are never members.
  void Set(int g, bool member) {
    if (g >= 0 && g < kGroupSlots) bits_.set(static_cast<std::size_t>(g), member);
  }
  // How many of the groups from..to are members.
  int CountIn(int from, int to) const {
    int n = 0;
    for (int g = from; g <= to; ++g) n += Contains(g) ? 1 : 0;
    return n;
  }
  bool operator==(const GroupSet&) const = default;

 private:
  std::bitset<kGroupSlots> bits_;
};

// What a load shows: the named groups of kLeastShownRows or more accepted rows; never the
// pooled group.
inline constexpr Count kLeastShownRows = 8;
inline GroupSet DefaultShownGroups(const CaseData& cases) {
  GroupSet shown;
  for (int g = 1; g <= LastGroup(cases); ++g) {
    shown.Set(g, cases.GroupTotals[kTotalRows][static_cast<std::size_t>(g)] >= kLeastShownRows);
  }
  return shown;
}

// The deaths of each cause 0..NumCauses summed over the shown groups 1..20: the totals row of
// the deaths-by-cause view.
inline std::array<Count, kCauseSlots> CauseTotals(const CaseData& cases, const GroupSet& shown) {
  std::array<Count, kCauseSlots> totals{};
  const int causes = std::clamp(cases.NumCauses, 0, kCauseSlots - 1);
  for (int g = 1; g <= LastGroup(cases); ++g) {
    if (!shown.Contains(g)) continue;
    const auto& deaths = cases.DeathsByCause[static_cast<std::size_t>(g)];
    for (int j = 0; j <= causes; ++j) totals[static_cast<std::size_t>(j)] += deaths[static_cast<std::size_t>(j)];
  }
  return totals;
}

}  // namespace orv

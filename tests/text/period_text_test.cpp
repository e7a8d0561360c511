// Period and percentage texts.
#include "text/period_text.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(WeeksToYearsMonths, ReferenceTexts) {
  struct Case {
    unsigned weeks;
    const char* text;
  };
  const Case cases[] = {
      {0, "0.0m"},     {1, "0.2m"},     {2, "0.4m"},       {3, "0.6m"},       {4, "0.9m"},
      {5, " 0y 1m"},   {37, " 0y 8m"},  {51, " 0y11m"},    {52, " 1y 0m"},    {100, " 1y11m"},
      {260, " 5y 0m"}, {2080, "40y 0m"}, {5199, "99y11m"}, {5200, "100y 0m"}, {13311, "255y11m"},
      {93184, "1792y 0m"},
  };
  for (const Case& c : cases) EXPECT_EQ(WeeksToYearsMonths(c.weeks), c.text) << c.weeks;
}

TEST(PercentText, ReferenceTexts) {
  struct Case {
    double fraction;
    const char* text;
  };
  const Case cases[] = {
      {0, "  0.0"},     {0.005, "  0.5"},  {0.042, "  4.2"}, {0.523, " 52.3"}, {1, "100.0"},
      {0.0004, "  0.0"}, {0.9999, " 99.9"}, {0.5, " 50.0"},  {0.853, " 85.3"},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentText(c.fraction), c.text) << c.fraction;
}

}  // namespace
}  // namespace orv

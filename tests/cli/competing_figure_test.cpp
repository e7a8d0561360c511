// The layout of the cumulative incidence figure of a batch session, deaths of 心疾患 censored
// in the file of data_files.h: the curves rise from 0, the legend gives Gray's p of the
// shown groups.
#include <gtest/gtest.h>

#include <string>

#include "cli/data_files.h"
#include "cli/session.h"
#include "graph/incidence_figure.h"

namespace {

TEST(IncidenceFigure, CurvesRiseFromZeroAndTheLegendGivesGraysP) {
  orv::cli::BatchSession session(stderr, false);
  session.Load("competing.csv", cli::CompetingRows());
  session.CensorCauses({cli::U8(u8"心疾患")});
  const orv::Workspace& ws = session.ws;
  const orv::FigureLayout l = orv::LayoutPublicationFigure(
      orv::IncidenceFigureInputOf(ws, ws.run.competing, ws.styles, ws.geometry.xMax, false), orv::EstimatedTextWidth);
  std::vector<std::string> p, vertical;
  for (const orv::FigureText& t : l.texts) {
    if (t.role == orv::TextRole::PValue) p.push_back(t.text);
    if (t.vertical) vertical.push_back(t.text);
  }
  // R cmprsk's p of the three groups, 0.64460902981688495.
  EXPECT_EQ(p, std::vector<std::string>{"Gray p = 0.64"});
  EXPECT_EQ(vertical, std::vector<std::string>{"Cumulative incidence"});
  // A's curve, the first polyline after the axis: from 0 at week 0 to R's 0.39166666666666666
  // at the range's end, week 260.
  const orv::FigureLine* a = nullptr;
  for (std::size_t i = 1; i < l.lines.size() && a == nullptr; ++i) {
    if (l.lines[i].points.size() > 2) a = &l.lines[i];
  }
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->points.front(), (orv::FigurePoint{l.plotLeft, l.plotBottom}));
  EXPECT_DOUBLE_EQ(a->points.back().x, l.plotLeft + 260 * l.dotsPerWeek);
  EXPECT_NEAR(a->points.back().y, l.plotBottom - 0.39166666666666666 * (l.plotBottom - l.plotTop), 1e-9);
}

}  // namespace

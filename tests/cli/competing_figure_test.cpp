// The layout of the cumulative incidence figure of a batch session, deaths of 心疾患 censored
// in the file of data_files.h: laid out and coloured as the survival figure (the Okabe-Ito
// colours, "name (events/cases)", the footnote), the event of interest named in the axis title
// and the footnote, Gray's p of the shown groups, the curves rising from 0 on a scale to the
// first tenth above them.
#include <gtest/gtest.h>

#include <string>

#include "cli/data_files.h"
#include "cli/session.h"
#include "graph/incidence_figure.h"

namespace {

TEST(IncidenceFigure, FollowsTheSurvivalFigureAndNamesTheEventOfInterest) {
  orv::cli::BatchSession session(stderr, false);
  session.Load("competing.csv", cli::CompetingRows());
  session.CensorCauses({cli::U8(u8"心疾患")});
  const orv::Workspace& ws = session.ws;
  orv::FigureInput in = orv::IncidenceFigureInputOf(ws, ws.run.competing, ws.styles, ws.geometry.xMax, false);
  orv::ApplyFigureSettings({}, in);
  const orv::FigureLayout l = orv::LayoutPublicationFigure(in, orv::EstimatedTextWidth);
  std::vector<std::string> p, vertical, legend, foot;
  for (const orv::FigureText& t : l.texts) {
    if (t.role == orv::TextRole::PValue) p.push_back(t.text);
    if (t.vertical) vertical.push_back(t.text);
    if (t.role == orv::TextRole::Legend) legend.push_back(t.text);
    if (t.role == orv::TextRole::Footnote) foot.push_back(t.text);
  }
  // R cmprsk's p of the three groups, 0.64460902981688495; the events of interest of weeks 0
  // to 260 (A's death of 癌 in week 265 lies beyond them) of all cases.
  EXPECT_EQ(p, std::vector<std::string>{"Gray p = 0.64"});
  EXPECT_EQ(vertical, std::vector<std::string>{"Cumulative incidence of 癌"});
  EXPECT_EQ(legend, (std::vector<std::string>{"A (5/14)", "B (4/10)", "C (2/9)"}));
  // Kept apart: EXPECT_EQ quotes its arguments as a narrow literal, which cannot hold the dash.
  const std::string footnote = cli::U8(u8"Tests and hazard ratios over weeks 0–260 (0–5 years). Event of interest: 癌; competing: 心疾患");
  EXPECT_EQ(foot, std::vector<std::string>{footnote});
  std::vector<orv::Rgb> colours;
  for (const orv::FigureSeries& s : in.series) colours.push_back(s.colour);
  EXPECT_EQ(colours, (std::vector<orv::Rgb>{orv::kOkabeIto[0], orv::kOkabeIto[1], orv::kOkabeIto[2]}));
  // A's curve, the first polyline after the axis: from 0 at week 0 to R's 0.39166666666666666
  // at the range's end, week 260, on the scale to 0.5 that B's highest, R's 0.47222222222222221 from week 25, asks.
  EXPECT_EQ(l.yRange, (orv::FigureYRange{0, 0.5}));
  const orv::FigureLine* a = nullptr;
  for (std::size_t i = 1; i < l.lines.size() && a == nullptr; ++i) {
    if (l.lines[i].points.size() > 2) a = &l.lines[i];
  }
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->points.front(), (orv::FigurePoint{l.plotLeft, l.plotBottom}));
  EXPECT_DOUBLE_EQ(a->points.back().x, l.plotLeft + 260 * l.dotsPerWeek);
  EXPECT_NEAR(a->points.back().y, l.plotBottom - 0.39166666666666666 / 0.5 * (l.plotBottom - l.plotTop), 1e-9);
}

}  // namespace

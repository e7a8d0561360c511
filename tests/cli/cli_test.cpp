// The batch command from outside: what it prints, its exit status, its options and the
// files of --out, on small generated data files; pipes, a file above the size limit and cause
// names that are not UTF-8.
#include <cairo.h>
#include <gtest/gtest.h>

#include <tuple>

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"

namespace cli {
namespace {

using json = nlohmann::ordered_json;

// Groups A (10 rows) and B (9 rows) shown, C and D (2 and 1 rows, no deaths) hidden; follow-up
// beyond ten years, one over-long period (a message box), one excluded row.
std::string CohortFile() {
  return WriteData("cohort.csv", "'cohort\r\n" + Rows("A", {10, 30, 50, 70}, "死亡,癌") + Rows("A", {20, 40, 60, 80}, "死亡,肺炎") +
                                     "A,4400,生存\r\n" + Rows("B", {52, 104, 156, 208, 260, 312, 365, 417}, "死亡,癌") +
                                     "B,4400,生存\r\nC,30,生存\r\nC,60,生存\r\nD,30,生存\r\nA,15000,死亡,癌\r\nE,abc,死亡\r\n");
}

// After the options: the range and its tick step, the shown groups, the causes counted as
// censored and the deaths of group B (its deaths of cancer come back as censored cases); with
// no death left, no overall test (statistic and p null).
TEST(CliOptions, MenuCommandsAndSettingWindowChoices) {
  const std::string cohort = CohortFile(), cancer = U8(u8"癌"), pneumonia = U8(u8"肺炎");
  using Names = std::vector<std::string>;
  struct Case { const char* name; Names args; int xMax, tickStep; std::vector<int> shown; Names censored; int deathsOfB; bool overall = true; };
  const Case cases[] = {
      {"steps add up and the axis picks its ticks", {"--range", "5y", "--range", "+1y", "--range=+5y"}, 572, 260, {1, 2}, {}, 8},
      {"-5y refused at 312 weeks", {"--range", "+1y", "--range", "-5y"}, 312, 104, {1, 2}, {}, 8},
      {"-5y then -1y", {"--range", "10y", "--range", "-5y", "--range", "-1y"}, 208, 52, {1, 2}, {}, 8},
      {"longest is fitted to the last event", {"--range", "longest"}, 2080, 260, {1, 2}, {}, 8},
      {"show the pooled group and a small one", {"--show", "0", "--show=3"}, 260, 52, {0, 1, 2, 3}, {}, 8},
      {"two causes at once: no death left", {"--censor", pneumonia, "--censor", cancer}, 260, 52, {1, 2}, {cancer, pneumonia}, 0, false},
  };
  for (const Case& c : cases) {
    Names args = c.args;
    args.insert(args.begin(), cohort);
    args.push_back("--json");
    const json doc = json::parse(Succeeding(args));
    std::vector<int> shown;
    Names censored;
    int deaths = 0;
    for (const json& g : doc["groups"]) {
      if (g["shown"].get<bool>()) shown.push_back(g["index"].get<int>());
    }
    for (const json& cause : doc["causes"]) {
      if (cause["censored"].get<bool>() && cause["name"] != U8(u8"生存")) censored.push_back(cause["name"]);
    }
    for (const json& w : doc["groups"][2]["weeks"]) deaths += w["deaths"].get<int>();
    const json& overall = doc["overall"];
    EXPECT_EQ(std::tuple(doc["xMax"].get<int>(), doc["tickStep"].get<int>(), shown, censored, deaths, overall["statistic"].is_number(),
                         overall["p"].is_number(), overall["pText"].is_string()),
              std::tuple(c.xMax, c.tickStep, c.shown, c.censored, c.deathsOfB, c.overall, c.overall, c.overall))
        << c.name;
  }
}

// Failures: the exit status and one line on stderr naming the problem, nothing on stdout.
// Otherwise the report as UTF-8 and the views as tab-separated text (the goldens hold their
// layout); never colour escapes into a pipe.
TEST(CliRuns, StatusAndPrintedText) {
  const std::string cohort = CohortFile();
  const std::string named = WriteData(U8(u8"症例.csv"), "A,100,生存\r\n");
  const std::string missing = TempPath("no_such_file.csv");
  const std::string folder = fs::temp_directory_path().string();
  // Longer than the 1,024 bytes the conversion of a name works in.
  const std::string longCause(1500, 'x');
  const std::string longCauses = WriteData("long_cause.csv", "A,100,死亡," + longCause + "\r\nA,200,生存\r\nB,50,死亡," + longCause + "\r\n");
  const std::string ylimOut = TempPath("ylim_out");
  const auto badYlim = [](const std::string& v) { return "option '--ylim' needs LO,HI with 0 <= LO < HI <= 1, not '" + v + "'"; };
  fs::remove_all(ylimOut);
  const std::string big = TempPath("big.csv");
  std::ofstream(big).close();
  fs::resize_file(big, (std::uintmax_t{1} << 31) + 1);  // sparse: nothing is written
  struct Case { const char* name; std::vector<std::string> args; int status; std::vector<std::string> present, absent; };
  const Case cases[] = {
      {"missing file", {missing}, 1, {missing + ": file not found"}},
      {"a directory", {folder}, 1, {folder + ": cannot open the file for reading"}}, {"no file", {"--json"}, 2, {"no data file given"}},
      {"a file above 2 GiB is refused unread", {big}, 1, {big + ": larger than 2147483648 bytes (2 GiB), the limit of a data file\n"}},
      {"two files", {cohort, cohort}, 2, {"only one data file"}}, {"unknown option", {cohort, "--colour"}, 2, {"unknown option '--colour'"}},
      {"unknown range", {cohort, "--range", "3y"}, 2, {"unknown range '3y'"}},
      {"range without value", {cohort, "--range"}, 2, {"option '--range' needs a value"}},
      {"group index not a number", {cohort, "--hide", "-1"}, 2, {"option '--hide' needs a group index, not '-1'"}},
      {"group beyond the groups", {cohort, "--show", "5"}, 2, {"no group 5 in the data (groups 0 to 4)"}},
      {"reference neither a group's number nor name", {cohort, "--reference", "0"}, 2,
       {"no group '0' in the data for the reference (groups 1 to 4, by number or name)"}},
      {"unknown palette", {cohort, "--palette", "red"}, 2, {"unknown palette 'red' (use program, okabe-ito or grey)"}},
      {"label without its text", {cohort, "--label", "A"}, 2, {"option '--label' needs NAME=TEXT, not 'A'"}},
      {"label of no group", {cohort, "--label", "9=x"}, 2, {"no group '9' in the data for a label"}},
      // The figures and tables would show "?" for it.
      {"label beyond code page 932", {cohort, "--label-cause", U8(u8"癌=cancer ☃")}, 2,
       {U8(u8"the label 'cancer ☃' holds a character that code page 932 lacks (the figures and tables are written in it)")}},
      {"time unit in the singular", {cohort, "--time-unit", "month"}, 2, {"unknown time unit 'month' (use months, weeks or years)"}},
      // A bad Y range is refused before anything is written (no folder of --out made).
      {"Y range upside down", {cohort, "--out", ylimOut, "--ylim", "1,0"}, 2, {badYlim("1,0")}},
      {"Y range of one point", {cohort, "--out", ylimOut, "--ylim=0.5,0.5"}, 2, {badYlim("0.5,0.5")}},
      {"Y range above 1", {cohort, "--out", ylimOut, "--ylim", "0,1.01"}, 2, {badYlim("0,1.01")}},
      {"Y range below 0", {cohort, "--out", ylimOut, "--ylim", "-0.1,1"}, 2, {badYlim("-0.1,1")}},
      {"Y range of one number", {cohort, "--out", ylimOut, "--ylim", "0.3"}, 2, {badYlim("0.3")}},
      {"Y range not numbers", {cohort, "--out", ylimOut, "--ylim", "0,nan"}, 2, {badYlim("0,nan")}},
      {"Y range with a blank", {cohort, "--out", ylimOut, "--ylim", "0, 0.3"}, 2, {badYlim("0, 0.3")}},
      {"Y range with a unit", {cohort, "--out", ylimOut, "--ylim", "0,30%"}, 2, {badYlim("0,30%")}},
      {"Y range without a value", {cohort, "--ylim"}, 2, {"option '--ylim' needs a value"}},
      {"no censor marks takes no value", {cohort, "--no-censor-marks=1"}, 2, {"option '--no-censor-marks' takes no value"}},
      {"unknown cause", {cohort, "--censor", U8(u8"心疾患")}, 2, {U8(u8"no cause of death '心疾患' in the data (causes: 癌, 肺炎)\n")}},
      // Bytes of a cause that are not UTF-8 are escaped, so that standard error stays UTF-8
      // (which sequences are UTF-8 is the text tests' matter).
      {"cause: cut sequence before valid text", {cohort, "--censor", "\xE7\x99" + U8(u8"癌")}, 2, {"no cause of death '\\xE7\\x99" + U8(u8"癌' in")}},
      {"a cause name longer than the conversion buffer", {longCauses, "--censor", longCause}, 0, {"A,100,"}},
      {"--ci takes no value", {cohort, "--ci=1"}, 2, {"option '--ci' takes no value"}},
      {"a cause of no name", {cohort, "--censor="}, 2, {"option '--censor' needs a cause of death"}},
      {"alive is not a cause to tick", {cohort, "--censor", U8(u8"生存")}, 2, {U8(u8"no cause of death '生存'")}},
      {"a UTF-8 file name shows as itself", {named}, 0, {named + "\t\r\n\r\n"}},
      {"one shown group: the notice instead of the tables", {cohort, "--hide", "2"}, 0, {U8(u8"グラフは2本以上必要です")},
       {"\tLogrank", "log-rank\t"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunResult r = Orvantis(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(c.status == 0 || r.out.empty()) << r.out;
    EXPECT_EQ(r.out.find("\x1b["), std::string::npos);
    for (const std::string& text : c.present) {
      EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.status == 0 ? text : "orvantis: " + text), std::string::npos) << text;
    }
    for (const std::string& text : c.absent) EXPECT_EQ(r.out.find(text), std::string::npos) << text;
  }
  EXPECT_FALSE(fs::exists(ylimOut));
  fs::remove(big);
}

// The graph view as a PNG (the other files are listed by the hostile tests' first case).
TEST(CliOut, WritesTheGraphAsItIsDrawn) {
  // Only group 5 (black, dashed) is shown, without a death: a flat dashed curve at the top,
  // a clear 50 % line and axis.
  std::string rows = "A,1000,生存\r\nB,1000,生存\r\nC,1000,生存\r\nD,1000,生存\r\n";
  for (int i = 0; i < 8; ++i) rows += "E,1000,生存\r\n";
  const fs::path dir = fs::temp_directory_path() / TempName("out");
  fs::remove_all(dir);
  RunResult r = Orvantis({WriteData("flat.csv", rows), "--out", dir.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind(ReadFile(dir / "report.txt"), 0), 0u) << "report.txt is the printed report";
  // Plot area: left 80, top 50, 754 x 492. The dash pattern starts at the Y axis: 18 pixels
  // on, 6 off (white: the background mode is opaque), on again.
  struct Probe { const char* name; int x, y; unsigned rgb; };
  const Probe probes[] = {
      {"X axis, first row", 81, 542, 0}, {"X axis, last row", 833, 545, 0}, {"below the X axis", 400, 546, 0xffffff},
      {"50 % line", 400, 296, 0}, {"50 % line ends before its end point", 835, 296, 0xffffff},
      {"above the 50 % line", 400, 295, 0xffffff}, {"Y axis", 79, 300, 0},
      {"dash, last pixel", 97, 50, 0}, {"gap, first pixel", 98, 50, 0xffffff}, {"gap, last pixel", 103, 51, 0xffffff}, {"next dash", 104, 51, 0},
  };
  cairo_surface_t* graph = cairo_image_surface_create_from_png((dir / "graph.png").c_str());
  ASSERT_EQ(std::tuple(cairo_image_surface_get_width(graph), cairo_image_surface_get_height(graph)), std::tuple(884, 642));
  cairo_surface_flush(graph);
  const unsigned char* data = cairo_image_surface_get_data(graph);
  for (const Probe& p : probes) {
    const unsigned char* px = data + p.y * cairo_image_surface_get_stride(graph) + p.x * 4;  // B, G, R, x in memory
    EXPECT_EQ((px[2] << 16u) | (px[1] << 8u) | px[0], p.rgb) << p.name;
  }
  cairo_surface_destroy(graph);
  fs::remove_all(dir);
}

// A pipe yields its bytes once: the output is the plain file's (its path heading the report),
// also when censoring a cause loads the data a second time.
TEST(CliReliability, PipeIsReadOnceAndReloadedFromItsBytes) {
  const std::string file = CohortFile();
  for (const std::string& args : {std::string(), " --censor " + Quote(U8(u8"癌"))}) {
    SCOPED_TRACE(args);
    const RunResult plain = RunScript("\"$ORV\" " + Quote(file) + args);
    ASSERT_EQ(plain.status, 0) << plain.err;
    const RunResult r = RunScript("exec 3< <(cat " + Quote(file) + "); \"$ORV\" /dev/fd/3" + args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string(plain.out).replace(plain.out.find(file), file.size(), "/dev/fd/3"));
  }
}

// --- hostile inputs and surroundings: each case a bash script run in a fresh folder $T with
// the data file $F; $D is the --out folder (not created), $NAMES the names of its files. The
// script's standard output (the command's, or what the script prints) and the named files must
// hold the given texts. ---

TEST(CliHostile, OutputsNeverWriteWhereTheyShouldNotNorClaimWhatIsFalse) {
  const std::string cohort = ReadFile(CohortFile());
  const std::string formulas = "=cmd|' /C calc'!A0,70,死亡,癌\r\n+1+1,140,死亡,癌\r\n-2+3,210,死亡,癌\r\n@SUM(1+1),280,死亡,癌\r\n"
                               "\tT,350,死亡,癌\r\nplain,420,死亡,癌\r\n";
  // A is shown (8 cases), so its name also reaches the sections of shown groups.
  std::string controls = "A\x1b]0;title\x07,70,死亡,\x1b[2J\r\nA\x1b]0;title\x07,140,生存\r\nB\x7F,210,死亡,癌\r\n";
  for (int i = 3; i <= 8; ++i) controls += "A\x1b]0;title\x07," + std::to_string(70 * i) + ",死亡,癌\r\n";
  const std::string names = "NAMES=$(\"$ORV\" \"$F\" --out \"$T/all\" >/dev/null 2>&1; ls \"$T/all\"); ";
  const std::string all = "for n in $NAMES; do test -f \"$D/$n\" && test ! -L \"$D/$n\" || echo \"missing $n\"; done; "
                          "ls -A \"$D\" | grep '^\\.' | wc -l; ";
  struct File { const char* name; std::string text; bool present = true; };
  struct Case { const char* name; std::string data, script; int status; std::string err; std::vector<File> files; };
  const Case cases[] = {
      {"links of the output names are replaced, never followed", cohort,
       "mkdir \"$D\"; echo keep >\"$T/outside\"; for n in $NAMES; do ln -s \"$T/outside\" \"$D/$n\"; done; "
       "\"$ORV\" \"$F\" --out \"$D\" >/dev/null; echo status $?; cat \"$T/outside\"; " + all,
       0, "", {{"-", "status 0\nkeep\n0\n"}}},
      {"the data file is never replaced", cohort,
       "mkdir \"$D\"; cp \"$F\" \"$D/life-tables.csv\"; \"$ORV\" \"$D/life-tables.csv\" --out \"$D\" >/dev/null; "
       "echo status $?; cmp -s \"$F\" \"$D/life-tables.csv\" && echo unchanged; ls \"$D\"",
       0, "/o/life-tables.csv is the data file", {{"-", "status 1\nunchanged\nlife-tables.csv\n"}}},
      // A file limit of 1 KB stops the run at its first larger file, part-way through it.
      {"a write that fails part-way leaves the old files whole", cohort,
       "\"$ORV\" \"$F\" --out \"$D\" >/dev/null; cp -r \"$D\" \"$T/old\"; (trap '' XFSZ; ulimit -f 1; \"$ORV\" \"$F\" --out \"$D\" >/dev/null); "
       "echo status $?; diff -r \"$T/old\" \"$D\" >/dev/null && echo unchanged; " + all,
       0, "cannot write " "$T" "/o/graph.png: File too large\n", {{"-", "status 1\nunchanged\n0\n"}}},
      {"--out names a file", cohort, "echo x >\"$D\"; \"$ORV\" \"$F\" --out \"$D\"", 1, "/o: not a directory\n", {}},
      {"a folder that cannot be made gives the reason", cohort, "echo x >\"$D\"; \"$ORV\" \"$F\" --out \"$D/sub\"", 1,
       "cannot create the directory " "$T" "/o/sub: Not a directory\n", {}},
      // A FIFO whose only reader is gone before the run starts: every write is refused (SIGPIPE).
      {"the reader of standard output stops: the files are still written", cohort,
       "mkfifo \"$T/p\"; exec 5<>\"$T/p\" 6>\"$T/p\" 5<&-; \"$ORV\" \"$F\" --out \"$D\" >&6; echo status $?; " + all, 0,
       "cannot write the output: Broken pipe\n", {{"-", "status 1\n0\n"}}},
      {"standard output closed: the files are still written", cohort,
       "\"$ORV\" \"$F\" --out \"$D\" >&-; echo status $?; " + all, 0, "cannot write the output: Bad file descriptor\n",
       {{"-", "status 1\n0\n"}}},
      {"formulas in names are quoted with an apostrophe", formulas, "\"$ORV\" \"$F\" --out \"$D\" >/dev/null", 0, "",
       {{"o/pairs.csv", "\r\n1,2,\"'=cmd|' /C calc'!A0\",\"'+1+1\","}, {"o/pairs.csv", "\r\n3,4,\"'-2+3\",\"'@SUM(1+1)\","},
        {"o/life-tables.csv", "\r\n5,\"'\tT\",0,"}, {"o/life-tables.csv", "\r\n6,plain,0,"}}},
      // The cause counted as censored, so that the paragraphs for the paper name it too.
      {"control characters in names and causes: ^X in the texts, whole in the CSV", controls, "\"$ORV\" \"$F\" --censor $'\\e[2J' --out \"$D\"", 0, "",
       {{"-", "A^[]0;title^G"}, {"-", "^[[2J"}, {"-", "B^?"}, {"-", "\x1b", false}, {"-", "\x07", false},
        {"o/deaths-by-cause.txt", "A^[]0;title^G"}, {"o/deaths-by-cause.txt", "B^?"}, {"o/deaths-by-cause.txt", "\x1b", false},
        {"o/paper-en.txt", "In the A^[]0;title^G group, 6 of 8"}, {"o/paper-en.txt", "other than ^[[2J); ^[[2J was"}, {"o/paper-en.txt", "\x1b", false},
        {"o/paper-ja.txt", "A^[]0;title^G"}, {"o/paper-ja.txt", "\x1b", false}, {"o/life-tables.csv", "A\x1b]0;title\x07"}}},
      {"and on standard error", controls, "\"$ORV\" \"$F\" --censor X", 2, "(causes: ^[[2J, ", {}},
      {"--help to a full device", "", "\"$ORV\" --help >/dev/full", 1, "orvantis: cannot write the output: No space left on device\n", {}},
      {"--ci without --out", cohort, "\"$ORV\" \"$F\" --ci", 2, "orvantis: option '--ci' needs --out (the bands are drawn into the figure)\n", {}},
      {"--out twice", cohort, "cd \"$T\" && \"$ORV\" \"$F\" --out a --out=b", 2, "orvantis: option '--out' given twice ('a' and 'b')\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path t = TempPath("hostile");
    fs::remove_all(t);
    fs::create_directories(t);
    std::ofstream(t / "data.csv", std::ios::binary) << c.data;
    const RunResult r = RunScript("T=" + Quote(t.string()) + "; F=\"$T/data.csv\"; D=\"$T/o\"; " + names + c.script);
    EXPECT_EQ(r.status, c.status) << r.err;
    std::string err = c.err;
    if (const std::size_t at = err.find("$T"); at != std::string::npos) err.replace(at, 2, t.string());
    EXPECT_TRUE(err.empty() ? r.err.find("orvantis:") == std::string::npos : r.err.find(err) != std::string::npos) << r.err;
    for (const File& f : c.files) {
      const std::string text = std::string(f.name) == "-" ? r.out : ReadFile(t / f.name);
      EXPECT_EQ(text.find(f.text) != std::string::npos, f.present) << f.name << ": " << f.text << "\n" << text.substr(0, 2000);
    }
    fs::remove_all(t);
  }
}

}  // namespace
}  // namespace cli

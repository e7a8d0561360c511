// The figure window's settings in the program's settings file.
#include "app/figure_settings.h"

#include "app/win32.h"

#include <array>
#include <utility>

#include "text/number_text.h"

namespace orv::app {
namespace {

constexpr char kSection[] = "figure";
constexpr std::array<std::pair<FigurePalette, const char*>, 3> kPalettes = {
    {{FigurePalette::Program, "program"}, {FigurePalette::OkabeIto, "okabe-ito"}, {FigurePalette::Grey, "grey"}}};
constexpr std::array<std::pair<FigureTimeUnit, const char*>, 3> kTimeUnits = {
    {{FigureTimeUnit::Auto, "auto"}, {FigureTimeUnit::Months, "months"}, {FigureTimeUnit::Years, "years"}}};

std::string Value(const std::string& path, const char* key) {
  char text[128] = {};
  GetPrivateProfileStringA(kSection, key, "", text, sizeof text, path.c_str());
  return text;
}

template <typename T, std::size_t N>
void ReadWord(const std::string& path, const char* key, const std::array<std::pair<T, const char*>, N>& words, T& out) {
  const std::string value = Value(path, key);
  for (const auto& [v, word] : words) {
    if (value == word) out = v;
  }
}

template <typename T, std::size_t N>
const char* WordOf(T value, const std::array<std::pair<T, const char*>, N>& words) {
  for (const auto& [v, word] : words) {
    if (v == value) return word;
  }
  return words[0].second;
}

}  // namespace

std::string ProgramSettingsPath() {
  char buffer[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  // The program's path less its last four bytes (".exe"), as the settings file is placed.
  std::string path(buffer, n >= 4 && n < MAX_PATH ? n - 4 : 0);
  return path.empty() ? path : path + ".ini";
}

FigureSettings ReadFigureSettings(const std::string& path) {
  FigureSettings s;
  if (path.empty()) return s;
  ReadWord(path, "palette", kPalettes, s.palette);
  ReadWord(path, "timeUnit", kTimeUnits, s.timeUnit);
  if (const std::string bands = Value(path, "bands"); bands == "0" || bands == "1") s.bands = bands == "1";
  if (const std::string marks = Value(path, "censorMarks"); marks == "0" || marks == "1") s.censorMarks = marks == "1";
  s.yRange = ParseFigureYRange(Value(path, "yRange"));
  return s;
}

bool WriteFigureSettings(const std::string& path, const FigureSettings& s) {
  if (path.empty()) return false;
  const std::string range = s.yRange ? FormatNumber(s.yRange->low) + "," + FormatNumber(s.yRange->high) : "";
  const std::pair<const char*, std::string> keys[] = {
      {"palette", WordOf(s.palette, kPalettes)}, {"bands", s.bands ? "1" : "0"}, {"timeUnit", WordOf(s.timeUnit, kTimeUnits)},
      {"yRange", range}, {"censorMarks", s.censorMarks ? "1" : "0"}};
  bool written = true;
  for (const auto& [key, value] : keys) written = WritePrivateProfileStringA(kSection, key, value.c_str(), path.c_str()) && written;
  return written;
}

}  // namespace orv::app

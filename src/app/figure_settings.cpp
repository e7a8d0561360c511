// The figure window's settings in the user's registry key of the program.
#include "app/figure_settings.h"

#include "app/win32.h"

#include <array>
#include <utility>

#include "text/number_text.h"

namespace orv::app {
namespace {

constexpr std::array<std::pair<FigurePalette, const char*>, 3> kPalettes = {
    {{FigurePalette::Program, "program"}, {FigurePalette::OkabeIto, "okabe-ito"}, {FigurePalette::Grey, "grey"}}};
constexpr std::array<std::pair<FigureTimeUnit, const char*>, 3> kTimeUnits = {
    {{FigureTimeUnit::Auto, "auto"}, {FigureTimeUnit::Months, "months"}, {FigureTimeUnit::Years, "years"}}};

std::string Value(const char* name) {
  char text[128] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_CURRENT_USER, kFigureSettingsKey, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return {};
  return text;
}

template <typename T, std::size_t N>
void ReadWord(const char* key, const std::array<std::pair<T, const char*>, N>& words, T& out) {
  const std::string value = Value(key);
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

FigureSettings ReadFigureSettings() {
  FigureSettings s;
  ReadWord("palette", kPalettes, s.palette);
  ReadWord("timeUnit", kTimeUnits, s.timeUnit);
  if (const std::string bands = Value("bands"); bands == "0" || bands == "1") s.bands = bands == "1";
  if (const std::string marks = Value("censorMarks"); marks == "0" || marks == "1") s.censorMarks = marks == "1";
  s.yRange = ParseFigureYRange(Value("yRange"));
  return s;
}

bool WriteFigureSettings(const FigureSettings& s) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kFigureSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::string range = s.yRange ? FormatNumber(s.yRange->low) + "," + FormatNumber(s.yRange->high) : "";
  const std::pair<const char*, std::string> keys[] = {
      {"palette", WordOf(s.palette, kPalettes)}, {"bands", s.bands ? "1" : "0"}, {"timeUnit", WordOf(s.timeUnit, kTimeUnits)},
      {"yRange", range}, {"censorMarks", s.censorMarks ? "1" : "0"}};
  bool written = true;
  for (const auto& [name, value] : keys) {
    written = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1)) ==
                  ERROR_SUCCESS &&
              written;
  }
  RegCloseKey(key);
  return written;
}

}  // namespace orv::app

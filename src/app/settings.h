// The settings the program's settings file is meant to hold: key, default and comment.
// The file is located and tested for existence only; the defaults are built into the
// behaviour of the program.
#pragma once

#include <array>
#include <string_view>

namespace orv::app {

struct SettingRow {
  std::string_view key;
  std::string_view value;
  std::string_view comment;
};

// Row 0 stays empty; rows 1 to 7 are the settings.
const std::array<SettingRow, 8>& SettingsTable();

}  // namespace orv::app

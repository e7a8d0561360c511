// The settings the program's settings file is meant to hold: key, default and comment.
// The file is located and tested for existence only; the defaults are built into the
// behaviour of the program.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/workspace.h"

namespace orv::app {

struct SettingRow {
  std::string_view key;
  std::string_view value;
  std::string_view comment;
};

// Row 0 stays empty; rows 1 to 7 are the settings.
const std::array<SettingRow, 8>& SettingsTable();

// The covariate choice of each data file loaded in this run, by its full path, with the names
// of the columns it was made for: a later load of the file takes it again only when its
// columns still have those names (the session checks). Past kKeptFiles files the choice used
// least recently is forgotten. Kept for the run only, as the settings file is not written.
class ModelChoices {
 public:
  static constexpr std::size_t kKeptFiles = 32;
  void Remember(const std::string& path, std::vector<std::string> columns, const ModelRequest& request);
  // The choice for the file, if one was made; it becomes the most recently used.
  std::optional<Workspace::KeptModel> Recall(const std::string& path);

 private:
  struct Entry {
    std::string path;  // full, as the system spells it
    Workspace::KeptModel kept;
  };
  std::vector<Entry> entries_;  // the most recently used last
};

}  // namespace orv::app

// The built-in settings table.
#include "app/settings.h"

#include "app/win32.h"

#include <algorithm>
#include <utility>

namespace orv::app {

const std::array<SettingRow, 8>& SettingsTable() {
  static const std::array<SettingRow, 8> table = {{
      {"", "", ""},
      {"tabyoushi", "1", "[他病死]'他病死：0(打切) , 1(全死亡)"},
      {"xj_tanni", "1", "[Ｘ軸 表示単位] 'Ｘ軸 表示単位　0:週 1:年 2:weeks 3:years  ' 850 修正 :"},
      {"XJ_max", "260", "[Ｘ軸 表示最大期間(週数)]'Ｘ軸　表示最大期間(週数)"},
      {"kansatu_tanni", "1", "[単位観察期間]'単位観察期間 1：週"},
      {"tatesen", "1", "[生存者の縦線]'縦線：0(なし) , 1(描画)"},
      {"shisetumei", "Hospital", "[施設名]'施設名（メインタイトル表示）"},
      {"data_DIR$", "D:\\", "[data初期フォルダー]'dataファイル読み込み初期フォルダー"},
  }};
  return table;
}

namespace {

// One file named two ways (relative, with "..") is one key; case is left as given, since a
// folder's name may differ only in case on some file systems.
std::string FullPath(const std::string& path) {
  char full[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

}  // namespace

void ModelChoices::Remember(const std::string& path, std::vector<std::string> columns, const ModelRequest& request) {
  const std::string key = FullPath(path);
  std::erase_if(entries_, [&](const Entry& e) { return e.path == key; });
  if (entries_.size() >= kKeptFiles) entries_.erase(entries_.begin());
  entries_.push_back({key, {std::move(columns), request}});
}

std::optional<Workspace::KeptModel> ModelChoices::Recall(const std::string& path) {
  const std::string key = FullPath(path);
  const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == key; });
  if (it == entries_.end()) return std::nullopt;
  std::rotate(it, it + 1, entries_.end());
  return entries_.back().kept;
}

}  // namespace orv::app

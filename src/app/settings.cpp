// The built-in settings table.
#include "app/settings.h"

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

}  // namespace orv::app

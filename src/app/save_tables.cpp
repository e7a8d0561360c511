// "表をCSVで保存…": the run's tables written for a spreadsheet, as the batch command writes its
// CSV files.
#include "app/program.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "text/number_text.h"
#include "words/result_tables.h"

namespace orv::app {

namespace {

constexpr DWORD kMaxPath = 260;
constexpr char kWriteError[] = "ファイルの書き込みエラー";

constexpr char kLifeTablesSuffix[] = "-life-tables.csv";
constexpr char kTitle[] = "表をCSVで保存";

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  return text.size() >= n && lstrcmpiA(text.c_str() + text.size() - n, suffix) == 0;
}

// A table beside the life tables: "<name>-life-tables.csv" gives "<name><suffix>", any other
// "tables.csv" gives "tables<suffix>".
std::string SiblingPath(const std::string& path, const char* suffix) {
  std::string stem = path;
  if (EndsWithNoCase(stem, kLifeTablesSuffix)) {
    stem.resize(stem.size() - (sizeof kLifeTablesSuffix - 1));
  } else if (EndsWithNoCase(stem, ".csv")) {
    stem.resize(stem.size() - 4);
  }
  return stem + suffix;
}

struct OutputFile {
  std::string path;
  std::string bytes;
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool created = false;  // it did not exist before
};

}  // namespace

std::string DataStem(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name.empty() ? "orvantis" : name;
}

void Program::SaveTables() {
  // Header lines alone would look like a saved analysis.
  if (shownPath_.empty() || ws_.cases.NumGroups == 0) {
    boxes_.Show("保存する表がありません\r\nデータファイルを読み込んでください", kTitle, BoxIcon::Information);
    return;
  }
  char file[kMaxPath] = {};
  lstrcpynA(file, (DataStem(shownPath_) + kLifeTablesSuffix).c_str(), kMaxPath);
  // The dialog opens in the shown file's folder.
  const std::size_t slash = shownPath_.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : shownPath_.substr(0, slash);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = main_;
  ofn.lpstrFilter = "CSV (*.csv)\0*.csv\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = kMaxPath;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = kTitle;
  ofn.lpstrDefExt = "csv";
  // The dialog would ask about the first file only: one question below names every one.
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&ofn) || file[0] == '\0') return;

  // The batch command's tables: the first under the chosen name, the others beside it.
  std::vector<OutputFile> outputs;
  for (CsvTable& table : ResultTables(ws_, ws_.run.competing, ws_.groupLabels)) {
    const std::string suffix = After("-", table.name) + ".csv";
    const std::string path = outputs.empty() ? std::string(file) : SiblingPath(file, suffix.c_str());
    outputs.push_back({path, std::move(table.bytes)});
  }
  std::string existing;
  for (const OutputFile& out : outputs) {
    if (GetFileAttributesA(out.path.c_str()) != INVALID_FILE_ATTRIBUTES) existing += out.path + "\r\n";
  }
  if (!existing.empty() &&
      MessageBoxA(main_, (existing + "は既にあります。上書きしますか？").c_str(), kTitle, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return;
  }
  // Every file is opened before any is written, so that a file that cannot be written
  // leaves the others as they were, and a file made for nothing is taken away again.
  const OutputFile* failed = nullptr;
  for (OutputFile& out : outputs) {
    out.handle = CreateFileA(out.path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out.handle == INVALID_HANDLE_VALUE) {
      failed = &out;
      break;
    }
    out.created = GetLastError() != ERROR_ALREADY_EXISTS;
  }
  for (OutputFile& out : outputs) {
    if (out.handle == INVALID_HANDLE_VALUE) continue;
    if (!failed) {
      DWORD written = 0;
      const bool ok = WriteFile(out.handle, out.bytes.data(), static_cast<DWORD>(out.bytes.size()), &written, nullptr) &&
                      written == out.bytes.size() && SetEndOfFile(out.handle);
      if (!ok) failed = &out;
    }
    CloseHandle(out.handle);
    if (failed && failed != &out && out.created) DeleteFileA(out.path.c_str());
  }
  if (failed) boxes_.Show(failed->path, kWriteError, BoxIcon::Warning);
}

}  // namespace orv::app

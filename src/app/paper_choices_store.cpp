// The paragraphs' unit and labels of each data file, kept in the program's settings store: one
// value of the user's registry key of the program, the files by their full paths, newest first.
#include "app/program.h"

#include <vector>

#include "session/commands.h"
#include "session/paper_choices.h"

namespace orv::app {

namespace {

constexpr char kStoreKey[] = "Software\\Orvantis";
constexpr char kStoreValue[] = "PaperChoices";

std::vector<RememberedFile> ReadStore() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  DWORD size = 0;
  std::string text;
  if (RegQueryValueExA(key, kStoreValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    text.resize(size);
    if (RegQueryValueExA(key, kStoreValue, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS) size = 0;
    text.resize(size);
  }
  RegCloseKey(key);
  return ParseRemembered(text);
}

void WriteStore(const std::vector<RememberedFile>& files) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
  const std::string text = RememberedText(files);
  RegSetValueExA(key, kStoreValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()));
  RegCloseKey(key);
}

// The path as the store keys it: whole, whatever folder the program was started in.
std::string FullPath(const std::string& path) {
  char full[MAX_PATH * 4] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

}  // namespace

void Program::RecallPaperChoices() {
  if (shownPath_.empty()) return;
  const std::vector<RememberedFile> files = ReadStore();
  if (const PaperChoices* choices = RememberedChoices(files, FullPath(shownPath_))) SetPaperChoices(ws_, surfaces_, *choices);
}

void Program::RememberPaperChoices() {
  if (shownPath_.empty()) return;
  std::vector<RememberedFile> files = ReadStore();
  Remember(files, FullPath(shownPath_), PaperChoicesOf(ws_));
  WriteStore(files);
}

}  // namespace orv::app

// The remembered choices of the paragraphs for the paper.
#include "session/paper_choices.h"

#include <algorithm>

#include "text/cp932.h"

namespace orv {

namespace {

int LastCause(const CaseData& cases) { return std::clamp(cases.NumCauses, 0, kOverflowIndex); }

// One field of a line: a backslash, tab, CR or LF escaped byte by byte, which keeps the
// trail bytes of code page 932 (a backslash among them) as they are.
std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t at = 0;;) {
    const std::size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at));
    if (tab == std::string_view::npos) return fields;
    at = tab + 1;
  }
}

const char* UnitName(TimeUnit unit) { return unit == TimeUnit::Weeks ? "weeks" : unit == TimeUnit::Years ? "years" : "months"; }

bool SamePath(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (IsLeadByte(x) && i + 1 < a.size()) {
      // The trail byte may be a letter's code: it is compared as it is.
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    if (lower(x) != lower(y)) return false;
  }
  return true;
}

}  // namespace

PaperChoices PaperChoicesOf(const Workspace& ws) {
  PaperChoices choices{.unit = ws.timeUnit};
  for (int g = 1; g <= LastGroup(ws.cases); ++g) {
    const auto gi = static_cast<std::size_t>(g);
    if (!ws.groupLabels[gi].empty()) choices.groups.emplace_back(ws.cases.GroupNames[gi], ws.groupLabels[gi]);
  }
  for (int j = 1; j <= LastCause(ws.cases); ++j) {
    const auto ji = static_cast<std::size_t>(j);
    if (!ws.causeLabels[ji].empty()) choices.causes.emplace_back(ws.cases.CauseNames[ji], ws.causeLabels[ji]);
  }
  return choices;
}

void ApplyPaperChoices(const PaperChoices& choices, Workspace& ws) {
  ws.timeUnit = choices.unit;
  for (std::string& label : ws.groupLabels) label.clear();
  for (std::string& label : ws.causeLabels) label.clear();
  for (const auto& [name, label] : choices.groups) {
    for (int g = 1; g <= LastGroup(ws.cases); ++g) {
      if (ws.cases.GroupNames[static_cast<std::size_t>(g)] == name) ws.groupLabels[static_cast<std::size_t>(g)] = label;
    }
  }
  for (const auto& [name, label] : choices.causes) {
    for (int j = 1; j <= LastCause(ws.cases); ++j) {
      if (ws.cases.CauseNames[static_cast<std::size_t>(j)] == name) ws.causeLabels[static_cast<std::size_t>(j)] = label;
    }
  }
}

std::string RememberedText(const std::vector<RememberedFile>& files) {
  std::string out;
  for (const RememberedFile& f : files) {
    out += "file\t" + Escaped(f.path) + "\n";
    out += std::string("unit\t") + UnitName(f.choices.unit) + "\n";
    for (const auto& [name, label] : f.choices.groups) out += "group\t" + Escaped(name) + "\t" + Escaped(label) + "\n";
    for (const auto& [name, label] : f.choices.causes) out += "cause\t" + Escaped(name) + "\t" + Escaped(label) + "\n";
  }
  return out;
}

std::vector<RememberedFile> ParseRemembered(std::string_view text) {
  std::vector<RememberedFile> files;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::vector<std::string_view> f = Fields(text.substr(at, end - at));
    at = end + 1;
    if (f[0] == "file" && f.size() == 2 && !f[1].empty()) {
      files.push_back({.path = Unescaped(f[1])});
      continue;
    }
    // What comes before the first file, or does not read, is left out.
    if (files.empty()) continue;
    PaperChoices& c = files.back().choices;
    if (f[0] == "unit" && f.size() == 2) {
      c.unit = f[1] == "weeks" ? TimeUnit::Weeks : f[1] == "years" ? TimeUnit::Years : TimeUnit::Months;
    } else if ((f[0] == "group" || f[0] == "cause") && f.size() == 3 && !f[2].empty()) {
      (f[0] == "group" ? c.groups : c.causes).emplace_back(Unescaped(f[1]), Unescaped(f[2]));
    }
  }
  return files;
}

void Remember(std::vector<RememberedFile>& files, const std::string& path, PaperChoices choices) {
  std::erase_if(files, [&](const RememberedFile& f) { return SamePath(f.path, path); });
  files.insert(files.begin(), {path, std::move(choices)});
  if (files.size() > kRememberedFiles) files.resize(kRememberedFiles);
}

const PaperChoices* RememberedChoices(const std::vector<RememberedFile>& files, std::string_view path) {
  for (const RememberedFile& f : files) {
    if (SamePath(f.path, path)) return &f.choices;
  }
  return nullptr;
}

}  // namespace orv

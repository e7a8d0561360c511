// The streamed JSON document.
#include "cli/json_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

namespace orv::cli {

void JsonWriter::Indent(std::size_t depth) {
  static constexpr std::string_view kSpaces = "                                                                ";
  for (std::size_t n = depth * 2; n > 0;) {
    const std::size_t k = std::min(n, kSpaces.size());
    out_.Write(kSpaces.substr(0, k));
    n -= k;
  }
}

void JsonWriter::BeforeValue() {
  if (levels_.empty() || !levels_.back().array) return;
  out_.Write(levels_.back().count++ > 0 ? ",\n" : "\n");
  Indent(levels_.size());
}

void JsonWriter::Key(std::string_view name) {
  out_.Write(levels_.back().count++ > 0 ? ",\n" : "\n");
  Indent(levels_.size());
  // Member names are ASCII without characters to escape.
  out_.Write('"');
  out_.Write(name);
  out_.Write("\": ");
}

void JsonWriter::Utf8String(std::string_view utf8) {
  BeforeValue();
  // Escaped as the document tree escapes it; a broken sequence becomes U+FFFD, never an exception.
  out_.Write(nlohmann::json(std::string(utf8)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_.Write(bracket);
  levels_.push_back({bracket == '[', 0});
}

void JsonWriter::Close(char bracket) {
  const bool empty = levels_.back().count == 0;
  levels_.pop_back();
  if (!empty) {
    out_.Write('\n');
    Indent(levels_.size());
  }
  out_.Write(bracket);
}

void JsonWriter::String(std::string_view cp932) {
  BeforeValue();
  out_.WriteJsonString(cp932);
}

void JsonWriter::Double(double value) {
  BeforeValue();
  if (!std::isfinite(value)) {
    out_.Write("null");
    return;
  }
  // nlohmann-json's own shortest text of a double, as its dump writes it.
  std::array<char, 64> text{};
  const char* end = nlohmann::detail::to_chars(text.data(), text.data() + text.size(), value);
  out_.Write(std::string_view(text.data(), static_cast<std::size_t>(end - text.data())));
}

void JsonWriter::Integer(std::int64_t value) {
  BeforeValue();
  char text[24];
  const char* end = std::to_chars(text, text + sizeof text, value).ptr;
  out_.Write(std::string_view(text, static_cast<std::size_t>(end - text)));
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_.Write(value ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  out_.Write("null");
}

}  // namespace orv::cli

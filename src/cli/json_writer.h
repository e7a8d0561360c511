// A JSON document written as it is produced, laid out as nlohmann-json's dump(2) lays it
// out (two spaces of indent, "key": value, empty containers as {} and []), with its number
// text, so a streamed document is byte for byte the one a document tree would give.
#pragma once

#include <concepts>
#include <cstdint>
#include <string_view>
#include <vector>

#include "cli/output_stream.h"

namespace orv::cli {

class JsonWriter {
 public:
  explicit JsonWriter(OutputStream& out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // A member name of the object being written (ASCII, nothing to escape); its value follows.
  void Key(std::string_view name);

  // Code page 932 text, written as a UTF-8 string.
  void String(std::string_view cp932);
  // A text that is UTF-8 already (the paragraphs for the paper).
  void Utf8String(std::string_view utf8);
  // The same for a text given in parts (a character may be split between two parts).
  void BeginString() {
    BeforeValue();
    out_.BeginText(true);
  }
  void StringPart(std::string_view cp932) { out_.TextPart(cp932); }
  void EndString() { out_.EndText(); }
  // Not finite: null.
  void Double(double value);
  void Integer(std::int64_t value);
  void Bool(bool value);
  void Null();

  // A value of the C++ type it has, as a document tree would have typed it: integers as
  // integers, floating point as numbers with a fraction or exponent.
  template <typename T>
  void Value(T value) {
    if constexpr (std::same_as<T, bool>) {
      Bool(value);
    } else if constexpr (std::floating_point<T>) {
      Double(value);
    } else {
      static_assert(std::integral<T>);
      Integer(static_cast<std::int64_t>(value));
    }
  }
  template <typename T>
  void Member(std::string_view name, T value) {
    Key(name);
    Value(value);
  }

 private:
  struct Level {
    bool array;
    int count;
  };
  void Open(char bracket);
  void Close(char bracket);
  // The separator and indent before an array element; nothing after a key.
  void BeforeValue();
  void Indent(std::size_t depth);

  OutputStream& out_;
  std::vector<Level> levels_;
};

}  // namespace orv::cli

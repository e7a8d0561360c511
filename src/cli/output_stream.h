// The batch command's output, written as it is produced: a buffer that goes to the stream
// each time it fills, so no whole report is ever held as UTF-8.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace orv::cli {

class OutputStream {
 public:
  explicit OutputStream(std::FILE* out);
  // Into a string instead, for callers that want the whole text.
  explicit OutputStream(std::string& out);
  ~OutputStream() { Flush(); }
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  // UTF-8 (or ASCII) bytes as they are.
  void Write(std::string_view utf8) {
    char* at = Room(utf8.size());
    if (!utf8.empty()) std::memcpy(at, utf8.data(), utf8.size());
    used_ += utf8.size();
  }
  void Write(char c) {
    *Room(1) = c;
    ++used_;
  }
  // Code page 932 bytes as UTF-8.
  void WriteCp932(std::string_view bytes) {
    BeginText(false);
    TextPart(bytes);
    EndText();
  }
  // Code page 932 bytes as a JSON string in UTF-8, with its quotes: '"', '\' and the
  // control characters escaped as nlohmann-json escapes them (\b \f \n \r \t, else \u00xx).
  void WriteJsonString(std::string_view bytes) {
    BeginText(true);
    TextPart(bytes);
    EndText();
  }

  // One code page 932 text given in parts, converted as the whole text would be (a
  // character may be split between parts): as UTF-8, or as a JSON string.
  void BeginText(bool json);
  void TextPart(std::string_view bytes);
  void EndText();

  // Hands the buffer to the stream (or string) and flushes it; false once the stream has
  // refused bytes.
  bool Flush();

 private:
  // Where `n` more bytes can be written: the buffer is handed on first when they do not fit.
  char* Room(std::size_t n) {
    if (buffer_.size() - used_ < n) MakeRoom(n);
    return buffer_.data() + used_;
  }
  void MakeRoom(std::size_t n);
  // Converts bytes that end where a character ends, slice by slice.
  void Convert(std::string_view bytes);
  void WriteJsonEscaped(std::string_view utf8);

  std::FILE* out_ = nullptr;
  std::string* text_ = nullptr;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::vector<char> utf8_;  // one slice of a JSON string, converted before escaping
  std::string pending_;     // the end of the parts so far, which may end inside a character
  bool json_ = false;
  bool failed_ = false;
};

}  // namespace orv::cli

// The batch command's output, written as it is produced: a buffer that goes to the stream
// each time it fills, so no whole report is ever held as UTF-8.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
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
  // Code page 932 bytes as UTF-8, control characters shown as ShownControls shows them.
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
  // character or a CR LF may be split between parts): as UTF-8 with its control characters
  // shown, or as a JSON string.
  void BeginText(bool json);
  void TextPart(std::string_view bytes);
  void EndText();

  // Hands the buffer to the stream (or string) and flushes it; false once the stream has
  // refused bytes.
  bool Flush();
  // The errno of the first refused write; 0 while none was refused.
  int Error() const { return error_; }

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
  int error_ = 0;
};

// A file of --out, written under a temporary name in its folder and renamed into place once
// complete: a link, FIFO or file of that name is replaced, never followed or opened, and a
// write that fails leaves the old file (or none) rather than half a file.
class OutFile {
 public:
  OutFile(const std::string& dir, const std::string& name);
  // A stream the caller opened (a device, a pipe), named `path` in messages: written and
  // closed by Commit, nothing renamed.
  OutFile(std::FILE* file, std::string path) : path_(std::move(path)), file_(file) {}
  // Removes the temporary file unless it was renamed into place.
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  // Null when the temporary file could not be made (Commit then says why).
  std::FILE* File() const { return file_; }
  // False once a write failed; the first failure's errno is kept for Commit.
  bool Write(std::string_view bytes);
  // Records a failure of a write made past Write (errno; EIO when it is 0).
  void Failed(int error) {
    if (error_ == 0) error_ = error != 0 ? error : EIO;
  }
  // The first failure's errno, 0 while every write succeeded.
  int Error() const { return error_; }
  // Flushes and closes the file and renames it into place. Empty on success, else
  // "cannot write PATH: reason".
  std::string Commit();

 private:
  std::string path_;
  std::string temp_;
  std::FILE* file_ = nullptr;
  int error_ = 0;
};

// Writes `bytes` as the file `name` of `dir`. Empty on success, else the error line.
std::string WriteOutFile(const std::string& dir, const std::string& name, std::string_view bytes);

}  // namespace orv::cli

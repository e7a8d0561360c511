// Buffered output with the conversion to UTF-8 done slice by slice.
#include "cli/output_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>

#include "cli/encoding.h"
#include "text/cp932.h"

namespace orv::cli {
namespace {

constexpr std::size_t kBufferSize = 1 << 18;
// Long texts are converted in slices of about this many bytes.
constexpr std::size_t kSliceSize = 1 << 15;

// A byte below 0x40 is never the trail byte of a two-byte character: the text up to it
// decodes exactly as it does within the whole text. A CR is held back with what follows, so
// that the CR of a CR LF is seen with its LF.
bool EndsCharacter(char byte) { return static_cast<unsigned char>(byte) < 0x40 && byte != '\r'; }

// The end of the next slice of `bytes` from `from`: just after a byte that ends a
// character. Without such a byte in reach, the rest of the text is one slice.
std::size_t SliceEnd(std::string_view bytes, std::size_t from) {
  if (bytes.size() - from <= kSliceSize) return bytes.size();
  for (std::size_t i = from + kSliceSize; i > from; --i) {
    if (EndsCharacter(bytes[i - 1])) return i;
  }
  return bytes.size();
}

// For each byte of UTF-8 in a JSON string: 0 when it stands as it is, else the letter of
// its escape ('u' for \u00xx).
constexpr std::array<char, 256> kJsonEscapes = [] {
  std::array<char, 256> table{};
  for (int c = 0; c < 0x20; ++c) table[c] = 'u';
  table['\b'] = 'b';
  table['\f'] = 'f';
  table['\n'] = 'n';
  table['\r'] = 'r';
  table['\t'] = 't';
  table['"'] = '"';
  table['\\'] = '\\';
  return table;
}();

}  // namespace

OutputStream::OutputStream(std::FILE* out) : out_(out), buffer_(kBufferSize) {}

OutputStream::OutputStream(std::string& out) : text_(&out), buffer_(kBufferSize) {}

void OutputStream::MakeRoom(std::size_t n) {
  Flush();
  if (buffer_.size() < n) buffer_.resize(n);
}

void OutputStream::BeginText(bool json) {
  json_ = json;
  pending_.clear();
  if (json_) Write('"');
}

void OutputStream::TextPart(std::string_view bytes) {
  if (!pending_.empty()) {
    // The pending end of the earlier parts goes with this part up to its first byte that
    // surely ends a character.
    std::size_t i = 0;
    while (i < bytes.size() && !EndsCharacter(bytes[i])) ++i;
    if (i == bytes.size()) {
      pending_.append(bytes);
      return;
    }
    pending_.append(bytes.substr(0, i + 1));
    Convert(pending_);
    pending_.clear();
    bytes.remove_prefix(i + 1);
  }
  std::size_t cut = bytes.size();
  while (cut > 0 && !EndsCharacter(bytes[cut - 1])) --cut;
  Convert(bytes.substr(0, cut));
  pending_.assign(bytes.substr(cut));
}

void OutputStream::EndText() {
  Convert(pending_);
  pending_.clear();
  if (json_) Write('"');
}

void OutputStream::Convert(std::string_view bytes) {
  for (std::size_t from = 0; from < bytes.size();) {
    const std::size_t end = SliceEnd(bytes, from);
    const std::string_view slice = bytes.substr(from, end - from);
    if (json_) {
      if (utf8_.size() < 3 * slice.size()) utf8_.resize(3 * slice.size());
      const char* utf8End = WriteCp932AsUtf8(slice, utf8_.data());
      WriteJsonEscaped({utf8_.data(), static_cast<std::size_t>(utf8End - utf8_.data())});
    } else {
      char* at = Room(3 * slice.size());
      const auto length = static_cast<std::size_t>(WriteCp932AsUtf8(slice, at) - at);
      if (!HasShownControls({at, length})) {
        used_ += length;
      } else {
        // Rare: the converted text is escaped from a copy, as escaping may need more room.
        utf8_.assign(at, at + length);
        at = Room(2 * length);
        used_ += static_cast<std::size_t>(WriteShownControls({utf8_.data(), length}, at) - at);
      }
    }
    from = end;
  }
}

void OutputStream::WriteJsonEscaped(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  // No byte becomes more than six.
  char* const start = Room(6 * utf8.size());
  char* out = start;
  for (const char byte : utf8) {
    const auto c = static_cast<unsigned char>(byte);
    const char escape = kJsonEscapes[c];
    if (escape == 0) {
      *out++ = byte;
    } else if (escape != 'u') {
      *out++ = '\\';
      *out++ = escape;
    } else {
      const char text[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
      std::memcpy(out, text, sizeof text);
      out += sizeof text;
    }
  }
  used_ += static_cast<std::size_t>(out - start);
}

bool OutputStream::Flush() {
  if (text_ != nullptr) {
    text_->append(buffer_.data(), used_);
    used_ = 0;
    return true;
  }
  if (used_ > 0 && !failed_ && std::fwrite(buffer_.data(), 1, used_, out_) != used_) {
    failed_ = true;
    error_ = errno;
  }
  used_ = 0;
  if (!failed_ && std::fflush(out_) != 0) {
    failed_ = true;
    error_ = errno;
  }
  return !failed_;
}

OutFile::OutFile(const std::string& dir, const std::string& name) : path_((std::filesystem::path(dir) / name).string()) {
  // A new name of its own in the same folder (so that the rename stays within one file
  // system): O_EXCL never opens what is already there, a link included.
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string tempName = "." + name + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
    temp_ = (std::filesystem::path(dir) / tempName).string();
    const int fd = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      file_ = fdopen(fd, "wb");
      if (file_ == nullptr) {
        Failed(errno);
        close(fd);
        unlink(temp_.c_str());
        temp_.clear();
      }
      return;
    }
    if (errno != EEXIST) break;
  }
  Failed(errno);
  temp_.clear();
}

OutFile::~OutFile() {
  if (file_ != nullptr) std::fclose(file_);
  if (!temp_.empty()) unlink(temp_.c_str());
}

bool OutFile::Write(std::string_view bytes) {
  if (error_ != 0 || file_ == nullptr) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Failed(errno);
  return error_ == 0;
}

std::string OutFile::Commit() {
  if (file_ != nullptr) {
    if (error_ == 0 && std::fflush(file_) != 0) Failed(errno);
    if (std::fclose(file_) != 0) Failed(errno);
    file_ = nullptr;
  }
  if (error_ == 0 && !temp_.empty() && std::rename(temp_.c_str(), path_.c_str()) != 0) Failed(errno);
  if (error_ != 0) return "cannot write " + path_ + ": " + std::strerror(error_);
  temp_.clear();
  return {};
}

std::string WriteOutFile(const std::string& dir, const std::string& name, std::string_view bytes) {
  OutFile file(dir, name);
  file.Write(bytes);
  return file.Commit();
}

}  // namespace orv::cli

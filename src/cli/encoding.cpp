// UTF-8 to code page 932 (paths and names given on the command line) through glibc's iconv,
// and bytes made fit for a terminal.
#include "cli/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

#include "text/cp932.h"

namespace orv::cli {
namespace {

// One conversion descriptor per call: the command converts a handful of texts, and a
// descriptor kept across calls would be hidden state.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; returns false at the first byte it cannot take and leaves
  // `in` pointing there.
  bool Run(std::string_view& in, std::string& out) {
    char buffer[1024];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      std::size_t srcLeft = in.size();
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      in.remove_prefix(in.size() - srcLeft);
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string PrintableUtf8(std::string_view bytes) {
  std::string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (const std::size_t length = Utf8SequenceLength(bytes, i); length > 0) {
      out.append(bytes.substr(i, length));
      i += length;
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(bytes[i]));
      out += escape;
      ++i;
    }
  }
  return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
  std::string out;
  Converter conv("CP932", "UTF-8");
  if (!conv.ok() || !conv.Run(text, out)) return std::nullopt;
  return out;
}

}  // namespace orv::cli

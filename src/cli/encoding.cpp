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

char* WriteShownControls(std::string_view utf8, char* out) {
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const bool kept = c == '\t' || c == '\n' || (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n');
    if ((c < 0x20 && !kept) || c == 0x7F) {
      *out++ = '^';
      *out++ = static_cast<char>(c ^ 0x40);
    } else {
      *out++ = static_cast<char>(c);
    }
  }
  return out;
}

bool HasShownControls(std::string_view utf8) {
  // One pass without branches on the common bytes: tab, LF and CR are rare enough that the
  // look at the byte after a CR costs little.
  bool found = false;
  const std::size_t n = utf8.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x20 || c == 0x7F) {
      found = found || (c != '\t' && c != '\n' && (c != '\r' || i + 1 == n || utf8[i + 1] != '\n'));
    }
  }
  return found;
}

std::string ShownControls(std::string_view utf8) {
  std::string out(2 * utf8.size(), '\0');
  out.resize(static_cast<std::size_t>(WriteShownControls(utf8, out.data()) - out.data()));
  return out;
}

std::string ShownText(std::string_view cp932) { return ShownControls(orv::Cp932ToUtf8(cp932)); }

std::string PrintableUtf8(std::string_view bytes) {
  std::string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (const std::size_t length = Utf8SequenceLength(bytes, i); length > 0) {
      out += ShownControls(bytes.substr(i, length));
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

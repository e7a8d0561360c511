// Reading the data file once.
#include "cli/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>

namespace orv::cli {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

struct FreeBuffer {
  void operator()(char* p) const { std::free(p); }
};

}  // namespace

DataFileBytes ReadInput(const std::string& path, std::uint64_t maxBytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {FileRead::Unreadable, {}};
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    close(fd);
    return ReadDataFile(path, maxBytes);
  }
  // realloc moves a large block by remapping its pages, not by copying them, and leaves new
  // memory untouched until read into: the cost of an endless input is the reading alone.
  std::unique_ptr<char, FreeBuffer> buffer;
  std::size_t size = 0;
  std::uint64_t have = 0;
  bool failed = false;
  // One byte beyond the limit is enough to know the input is too large.
  while (have <= maxBytes) {
    if (have == size) {
      const std::size_t grown = static_cast<std::size_t>(std::min<std::uint64_t>(std::max(2 * size, kBlock), maxBytes + 1));
      char* p = static_cast<char*>(std::realloc(buffer.get(), grown));
      if (p == nullptr) {
        failed = true;
        break;
      }
      static_cast<void>(buffer.release());
      buffer.reset(p);
      size = grown;
    }
    const ssize_t n = read(fd, buffer.get() + have, std::min<std::size_t>(size - static_cast<std::size_t>(have), kBlock));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    have += static_cast<std::uint64_t>(n);
  }
  close(fd);
  if (failed) return {FileRead::Unreadable, {}};
  if (have > maxBytes) return {FileRead::TooLarge, {}};
  return {FileRead::Read, std::string(buffer.get() == nullptr ? "" : buffer.get(), static_cast<std::size_t>(have))};
}

}  // namespace orv::cli

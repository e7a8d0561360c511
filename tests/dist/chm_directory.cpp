// Reads the ITSF header, the ITSP directory header and its PMGL listing chunks.
#include "chm_directory.h"

#include <cstring>

namespace orv::dist {

namespace {

std::uint32_t Le32(std::string_view b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

std::uint64_t Le64(std::string_view b, std::size_t at) {
  return (static_cast<std::uint64_t>(Le32(b, at + 4)) << 32) | Le32(b, at);
}

// A directory number: big-endian groups of seven bits, the high bit marking that more follow.
bool ReadEncInt(std::string_view b, std::size_t& at, std::size_t end, std::uint64_t& value) {
  value = 0;
  for (int n = 0; n < 10 && at < end; ++n) {
    const auto byte = static_cast<unsigned char>(b[at++]);
    value = (value << 7) | (byte & 0x7Fu);
    if ((byte & 0x80u) == 0) return true;
  }
  return false;
}

}  // namespace

const ChmEntry* ChmDirectory::Find(std::string_view name) const {
  for (const ChmEntry& e : entries)
    if (e.name == name) return &e;
  return nullptr;
}

std::optional<ChmDirectory> ReadChmDirectory(std::string_view b, std::string& error) {
  constexpr std::size_t kItsfV3Size = 0x60;
  constexpr std::size_t kItspSize = 0x54;
  if (b.size() < kItsfV3Size || b.substr(0, 4) != "ITSF") {
    error = "no ITSF signature";
    return std::nullopt;
  }
  ChmDirectory dir;
  dir.version = Le32(b, 4);
  dir.language = Le32(b, 0x14);
  if (dir.version != 3 || Le32(b, 8) != kItsfV3Size) {
    error = "unexpected ITSF version or header size";
    return std::nullopt;
  }
  const std::uint64_t dirOffset = Le64(b, 0x48);
  const std::uint64_t dirLength = Le64(b, 0x50);
  dir.contentOffset = Le64(b, 0x58);
  if (dir.contentOffset > b.size()) {
    error = "content section outside the file";
    return std::nullopt;
  }
  if (dirOffset > b.size() || dirLength > b.size() - dirOffset || dirLength < kItspSize ||
      b.substr(dirOffset, 4) != "ITSP") {
    error = "directory header outside the file or without ITSP signature";
    return std::nullopt;
  }
  const std::size_t chunkSize = Le32(b, dirOffset + 0x10);
  const auto firstListing = static_cast<std::int32_t>(Le32(b, dirOffset + 0x20));
  const std::size_t chunkCount = Le32(b, dirOffset + 0x2C);
  const std::size_t chunksStart = dirOffset + Le32(b, dirOffset + 8);
  if (chunkSize < 0x20 || firstListing < 0 || chunkCount == 0 ||
      chunksStart + chunkSize * chunkCount > dirOffset + dirLength) {
    error = "directory chunks outside the directory";
    return std::nullopt;
  }

  // The listing chunks form a chain from the first one; every chunk is visited at most once.
  std::int64_t chunk = firstListing;
  for (std::size_t visited = 0; chunk >= 0; ++visited) {
    if (visited == chunkCount || static_cast<std::size_t>(chunk) >= chunkCount) {
      error = "listing chain leaves the directory";
      return std::nullopt;
    }
    const std::size_t start = chunksStart + static_cast<std::size_t>(chunk) * chunkSize;
    if (b.substr(start, 4) != "PMGL") {
      error = "listing chunk without PMGL signature";
      return std::nullopt;
    }
    const std::size_t freeSpace = Le32(b, start + 4);
    if (freeSpace > chunkSize - 0x14) {
      error = "listing chunk with impossible free space";
      return std::nullopt;
    }
    const std::size_t end = start + chunkSize - freeSpace;
    std::size_t at = start + 0x14;
    while (at < end) {
      std::uint64_t nameLength = 0;
      ChmEntry e;
      if (!ReadEncInt(b, at, end, nameLength) || nameLength > end - at) {
        error = "entry name runs past its chunk";
        return std::nullopt;
      }
      e.name.assign(b.substr(at, static_cast<std::size_t>(nameLength)));
      at += static_cast<std::size_t>(nameLength);
      if (!ReadEncInt(b, at, end, e.section) || !ReadEncInt(b, at, end, e.offset) ||
          !ReadEncInt(b, at, end, e.length)) {
        error = "entry fields run past their chunk: " + e.name;
        return std::nullopt;
      }
      if (e.section == 0 && (e.offset > b.size() || e.length > b.size() - dir.contentOffset - e.offset)) {
        error = "uncompressed entry past the end of the file: " + e.name;
        return std::nullopt;
      }
      dir.entries.push_back(std::move(e));
    }
    chunk = static_cast<std::int32_t>(Le32(b, start + 0x10));
  }
  return dir;
}

}  // namespace orv::dist

// A reader of the directory of a compiled help file (the ITSF container): the header fields
// the viewer relies on and the list of stored files, read independently of any viewer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::dist {

struct ChmEntry {
  std::string name;  // "/index.htm", "/#SYSTEM", "::DataSpace/..."
  std::uint64_t section = 0;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

struct ChmDirectory {
  std::uint32_t version = 0;
  std::uint32_t language = 0;  // LCID: the viewer takes the code page of the texts from it
  std::uint64_t contentOffset = 0;
  std::vector<ChmEntry> entries;

  const ChmEntry* Find(std::string_view name) const;
};

// Parses the header and every listing chunk. Returns nothing, with the reason in `error`,
// when the bytes are not a complete container: a wrong signature, a directory or a chunk
// outside the file, an entry that runs past its chunk, or an uncompressed entry that runs
// past the end of the file.
std::optional<ChmDirectory> ReadChmDirectory(std::string_view bytes, std::string& error);

}  // namespace orv::dist

// Helpers shared by the tests.
#include "support/test_support.h"

#include <filesystem>
#include <fstream>

namespace orv::test {

std::string WriteTempFile(std::string_view name, std::string_view bytes) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / std::string(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

}  // namespace orv::test

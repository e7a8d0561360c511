// Helpers shared by the tests.
#pragma once

#include <string>
#include <string_view>

namespace orv::test {

// Writes the bytes to a new file in the temporary folder and returns its path (a path the
// program's own file calls accept, also under Wine).
std::string WriteTempFile(std::string_view name, std::string_view bytes);

}  // namespace orv::test

// The tests that draw text with Cairo in this process release its font caches at the end, as
// the command does, so that the sanitizer build's leak check sees only the program's memory.
#include <gtest/gtest.h>

#include "cli/image_output.h"

namespace {

class FontCaches : public testing::Environment {
 public:
  void TearDown() override { orv::cli::ReleaseFontCaches(); }
};

[[maybe_unused]] testing::Environment* const kFontCaches = testing::AddGlobalTestEnvironment(new FontCaches);

}  // namespace

// The entry of the setting-window tests: the program under test is the first argument.
#include <gtest/gtest.h>

#include "dialogs/gui_driver.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: test_dialogs PATH-TO-Orvantis.exe\n");
    return 2;
  }
  orv::test::SetProgramPath(argv[1]);
  return RUN_ALL_TESTS();
}

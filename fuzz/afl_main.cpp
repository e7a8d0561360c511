// The fuzzing harness under AFL++: one process runs input after input (persistent mode),
// each read from AFL++'s shared memory.
#include <cstdlib>
#include <memory>
#include <string_view>

#include "fuzz/fuzz_job.h"

__AFL_FUZZ_INIT();

int main() {
  // Built before the fork server starts, so every child inherits it ready. make fuzz names
  // the scratch folder for the files of --out, and removes it after the run.
  const char* scratch = std::getenv("ORVANTIS_FUZZ_SCRATCH");
  auto job = std::make_unique<orv::fuzz::FuzzJob>(scratch != nullptr ? scratch : "");
  __AFL_INIT();
  const unsigned char* buffer = __AFL_FUZZ_TESTCASE_BUF;
  while (__AFL_LOOP(10000)) {
    const auto length = static_cast<std::size_t>(__AFL_FUZZ_TESTCASE_LEN);
    job->Run(std::string_view(reinterpret_cast<const char*>(buffer), length));
  }
  return 0;
}

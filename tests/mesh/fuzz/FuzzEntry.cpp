// libFuzzer entry for one mesh reader: any input must pass the reader's check. The build
// compiles it once per reader, naming the check in VANTOR_FUZZ_CHECK and the reader in
// VANTOR_FUZZ_NAME.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string problem = VANTOR_FUZZ_CHECK(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", VANTOR_FUZZ_NAME, problem.c_str());
        std::abort();
    }
    return 0;
}

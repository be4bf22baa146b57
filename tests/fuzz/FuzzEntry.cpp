// libFuzzer entry for one reader: any input must pass the reader's check. The build
// compiles it once per target, naming the check's header in VANTOR_FUZZ_HEADER, the check
// in VANTOR_FUZZ_CHECK and the target in VANTOR_FUZZ_NAME.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include VANTOR_FUZZ_HEADER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string problem = VANTOR_FUZZ_CHECK(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", VANTOR_FUZZ_NAME, problem.c_str());
        std::abort();
    }
    return 0;
}

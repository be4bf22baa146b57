// libFuzzer entry for the Nwa reader: any input must pass meshfuzz::checkNwa.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string problem = meshfuzz::checkNwa(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "Nwa: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

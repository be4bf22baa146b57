// libFuzzer entry for the PlyHeader reader: any input must pass meshfuzz::checkPlyHeader.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string problem = meshfuzz::checkPlyHeader(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "PlyHeader: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

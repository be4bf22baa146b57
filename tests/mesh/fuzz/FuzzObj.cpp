// libFuzzer entry for the Obj reader: any input must pass meshfuzz::checkObj.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string problem = meshfuzz::checkObj(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "Obj: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

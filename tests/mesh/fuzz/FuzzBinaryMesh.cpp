// libFuzzer entry for the BinaryMesh reader: any input must pass meshfuzz::checkBinaryMesh.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string problem = meshfuzz::checkBinaryMesh(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "BinaryMesh: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

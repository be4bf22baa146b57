// assetgen DATADIR [music|images|models|scenes ...]: writes the show's generated data files.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "AssetGen.h"

namespace {

struct Generator {
    const char* name;
    bool (*run)(const std::string&);
};

constexpr Generator generators[] = {
    {"images", assetgen::generateImages},
    {"models", assetgen::generateModels},
    {"music", assetgen::generateMusic},
    {"scenes", assetgen::generateSceneMeshes},
};

bool wanted(const char* name, int argc, char** argv)
{
    if (argc <= 2)
        return true;
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: assetgen DATADIR [music|images|models|scenes ...]\n");
        return 2;
    }
    const std::string dataDir = argv[1];
    bool ok = true;
    for (const Generator& generator : generators) {
        if (!wanted(generator.name, argc, argv))
            continue;
        const auto start = std::chrono::steady_clock::now();
        const bool done = generator.run(dataDir);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "assetgen: %s %s in %.2f s\n", generator.name, done ? "written" : "FAILED",
                     seconds);
        ok = ok && done;
    }
    return ok ? 0 : 1;
}

// What the studio's benchmarks share: a scratch copy of the show's data to run in, and the
// options they take alike.
#pragma once

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "studio/StudioOptions.h"
#include "support/BenchSupport.h"

namespace studiobench {

// The repository's data under a scratch folder named after the bench and this process:
// what the bench writes is copied, everything else linked.
inline std::filesystem::path scratchData(const std::filesystem::path& source, const std::string& bench,
    const std::set<std::string>& copied)
{
    namespace fs = std::filesystem;
    const fs::path root = benchsupport::scratchFolder("vantor-" + bench);
    fs::create_directories(root / "data");
    for (const auto& entry : fs::directory_iterator(source)) {
        const std::string name = entry.path().filename().string();
        if (copied.count(name))
            fs::copy(entry.path(), root / "data" / name, fs::copy_options::recursive);
        else
            fs::create_symlink(fs::absolute(entry.path()), root / "data" / name);
    }
    return root;
}

// The studio on the test card at 640x360 unless --scene NAME or --size WxH says otherwise.
inline studio::StudioOptions benchOptions()
{
    studio::StudioOptions options;
    options.scene = "testcard";
    options.width = 640;
    options.height = 360;
    return options;
}

// Takes --scene and --size into options; false for any other name.
inline bool readSceneOption(const std::string& name, const char* value, studio::StudioOptions& options)
{
    if (name == "--scene")
        options.scene = value;
    else if (name == "--size")
        std::sscanf(value, "%dx%d", &options.width, &options.height);
    else
        return false;
    return true;
}

} // namespace studiobench

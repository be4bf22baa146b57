// Temporaries are matched by name, the way a person cleaning a folder would find them.
#include "Temporaries.h"

namespace testsupport {

std::vector<std::string> temporariesBeside(const std::filesystem::path& path)
{
    const std::string prefix = path.filename().string() + ".";
    const std::string suffix = ".part";
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > prefix.size() + suffix.size() && name.rfind(prefix, 0) == 0 &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back(name);
    }
    return found;
}

} // namespace testsupport

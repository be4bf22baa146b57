// Built on std::filesystem, so the same answers hold on every platform the programs run on.
#include "base/FileIdentity.h"

#include <filesystem>
#include <system_error>

namespace Tarvo {

namespace {

namespace fs = std::filesystem;

// Links chased before a chain counts as a loop (the kernel's own limit is 40).
constexpr int maxLinkHops = 40;

} // namespace

std::vector<std::string> linkChain(const std::string& path)
{
    std::vector<std::string> chain{path};
    std::error_code error;
    fs::path at = path;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        if (!fs::is_symlink(fs::symlink_status(at, error)))
            return chain;
        fs::path next = fs::read_symlink(at, error);
        if (error)
            return chain;
        at = next.is_absolute() ? next : at.parent_path() / next;
        chain.push_back(at.string());
    }
    return {path};
}

std::string followLinks(const std::string& path)
{
    return linkChain(path).back();
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error))
        return fs::equivalent(a, b, error);
    const fs::path left = fs::weakly_canonical(fs::absolute(followLinks(a), error), error);
    const fs::path right = fs::weakly_canonical(fs::absolute(followLinks(b), error), error);
    return !left.empty() && left == right;
}

} // namespace Tarvo

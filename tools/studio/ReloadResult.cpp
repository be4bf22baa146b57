#include "studio/ReloadResult.h"

#include <algorithm>

namespace studio {

std::string ReloadResult::line() const
{
    std::string text = "reload ";
    if (kind == Kind::Timeline) {
        text += ok ? "timeline ok " + std::to_string(tracks) + " tracks"
                   : "timeline failed " + (errors.empty() ? path + ": unknown error" : errors.front());
    } else {
        text += std::string("shader ") + (ok ? "ok " : "failed ") + path;
    }
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

std::string ReloadResult::described() const
{
    std::string text = (when.empty() ? std::string() : when + " ") + line();
    if (!changes.empty())
        text += ": " + changes;
    return text;
}

void ReloadBoard::record(const ReloadResult& result)
{
    latest.assign(1, result);
    const auto same = std::find_if(broken.begin(), broken.end(), [&](const ReloadResult& old) {
        return old.kind == result.kind && old.path == result.path;
    });
    if (result.ok) {
        if (same != broken.end())
            broken.erase(same);
    } else if (same != broken.end()) {
        *same = result;
    } else {
        broken.push_back(result);
    }
}

} // namespace studio

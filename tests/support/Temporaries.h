// What a file writer may leave behind when it fails to clean up: its temporaries, written
// beside the target under names of their own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// The temporaries beside path (NAME.XXXXXX.part in its folder); empty when the writer
// cleaned up, as it must after a commit or a failure.
std::vector<std::string> temporariesBeside(const std::filesystem::path& path);

} // namespace testsupport

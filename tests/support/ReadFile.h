// A whole file as bytes, for tests that compare what a program or a writer left on disk.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// Empty when the file cannot be read.
std::string readFile(const std::filesystem::path& path);
std::vector<unsigned char> readBytes(const std::filesystem::path& path);

} // namespace testsupport

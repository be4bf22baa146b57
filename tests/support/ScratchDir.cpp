// Scratch folders for tests.
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace testsupport {

namespace {

// The running test's "Suite.Name" with anything a file name should not hold replaced,
// or "test" outside a test (a static helper's folder).
std::string folderLabel()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string label = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : label)
        if (c == '/' || c == ' ')
            c = '_';
    return label.substr(0, 100);
}

} // namespace

ScratchDir::ScratchDir()
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("vantor-" + folderLabel() + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a scratch folder from " + pattern);
    root = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string ScratchDir::file(const std::filesystem::path& name) const
{
    return (root / name).string();
}

std::string ScratchDir::write(const std::filesystem::path& name, std::string_view contents) const
{
    const std::filesystem::path target = root / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out)
        throw std::runtime_error("cannot write " + target.string());
    return target.string();
}

std::string ScratchDir::write(const std::filesystem::path& name,
    std::span<const unsigned char> bytes) const
{
    return write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<std::string> ScratchDir::list(const std::filesystem::path& folder) const
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root / folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace testsupport

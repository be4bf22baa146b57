// A fresh, empty folder per test, named after the running test and the process, removed
// when the test ends: the one scratch folder that tests writing files share.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

class ScratchFolder {
public:
    // prefix tells a left-over folder's test group (after a crash): "vantor-<prefix>-...".
    explicit ScratchFolder(const std::string& prefix = "test")
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "vantor-" + prefix + "-" + info->test_suite_name() + "-" + info->name() + "-" +
            std::to_string(::getpid());
        // Parameterised tests are named "Instance/Suite.Case/Parameter": one folder, not three.
        for (char& c : name)
            if (c == '/')
                c = '_';
        path = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const std::string& name) const { return (path / name).string(); }

    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const
    {
        const std::string target = file(name);
        std::ofstream(target, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
        return target;
    }

    std::string writeText(const std::string& name, const std::string& text) const
    {
        const std::string target = file(name);
        std::ofstream(target, std::ios::binary) << text;
        return target;
    }

    std::filesystem::path path;
};

} // namespace testsupport

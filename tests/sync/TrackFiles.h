// Helpers for the sync tests: a scratch folder per test, track files assembled byte by
// byte from the file layout, independent of the writer under test, and synctool run as
// a script runs it.
#pragma once

#include "sync/SyncTracks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace synctest {

using Bytes = std::vector<unsigned char>;

inline void putInt32(Bytes& bytes, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(bits >> shift));
}

inline void putKey(Bytes& bytes, int32_t row, float value, unsigned char type)
{
    putInt32(bytes, row);
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    putInt32(bytes, static_cast<int32_t>(bits));
    bytes.push_back(type);
}

// A fresh, empty folder named after the running test, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        path = std::filesystem::temp_directory_path() /
            ("vantor-sync-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }

    std::string file(const std::string& name) const { return (path / name).string(); }

    std::string write(const std::string& name, const Bytes& bytes) const
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

inline Bytes readBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::string readText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

#ifdef SYNCTOOL_PATH
struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs synctool with arguments already quoted for the shell.
inline ToolRun runTool(const ScratchFolder& folder, const std::string& arguments)
{
    const std::string out = folder.file("tool.out");
    const std::string err = folder.file("tool.err");
    const std::string command = std::string("'") + SYNCTOOL_PATH + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readText(out);
    run.err = readText(err);
    return run;
}
#endif

} // namespace synctest

// Scratch files for the mesh tests: a private temporary folder, builders for the binary
// ".bobj" layout so a test states its counts and records directly, and a command run as a
// script runs it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace meshtest {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return root; }
    // Writes the bytes to a file under the folder (creating sub-folders) and returns
    // its full path.
    std::string write(const std::string& name, const std::string& contents) const;

private:
    std::filesystem::path root;
};

// Little-endian ".bobj" bytes, built in file order.
class BobjBytes {
public:
    BobjBytes& counts(std::uint32_t np, std::uint32_t nt, std::uint32_t nn, std::uint32_t ni);
    BobjBytes& floats(std::initializer_list<float> values);
    BobjBytes& indices(std::initializer_list<std::uint32_t> values);
    const std::string& str() const { return bytes; }

private:
    void word(std::uint32_t value);
    std::string bytes;
};

// Reads a whole file as bytes; empty when it cannot be read.
std::string readFile(const std::string& path);

struct ToolRun {
    int status = -1; // the exit status; -1 when the command did not exit normally
    std::string out;
};

// Runs a shell command line and collects its standard output.
ToolRun runCommand(const std::string& command);

} // namespace meshtest

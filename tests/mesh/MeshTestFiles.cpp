// Scratch folders and ".bobj" byte builders for the mesh tests.
#include "MeshTestFiles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

namespace meshtest {

ScratchDir::ScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vantor-mesh-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a scratch folder");
    root = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string ScratchDir::write(const std::string& name, const std::string& contents) const
{
    const std::filesystem::path file = root / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return file.string();
}

void BobjBytes::word(std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

BobjBytes& BobjBytes::counts(std::uint32_t np, std::uint32_t nt, std::uint32_t nn,
                             std::uint32_t ni)
{
    word(np);
    word(nt);
    word(nn);
    word(ni);
    return *this;
}

BobjBytes& BobjBytes::floats(std::initializer_list<float> values)
{
    for (float value : values) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        word(bits);
    }
    return *this;
}

BobjBytes& BobjBytes::indices(std::initializer_list<std::uint32_t> values)
{
    for (std::uint32_t value : values)
        word(value);
    return *this;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

ToolRun runCommand(const std::string& command)
{
    ToolRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace meshtest

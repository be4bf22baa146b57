// ".bobj" byte builders and loader runs for the mesh tests.
#include "MeshTestFiles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/CapturedOutput.h"

#include <sys/wait.h>

namespace meshtest {

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

Loaded loadMesh(MeshLoader loader, const std::string& path, Loaded into)
{
    testsupport::CapturedOutput captured;
    into.ok = loader(path.c_str(), into.positions, into.texCoords, into.normals);
    into.output = captured.take();
    return into;
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

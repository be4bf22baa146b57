// Mesh files for the mesh tests: builders for the binary ".bobj" layout, so a test states
// its counts and records directly, a run of a per-corner loader with its output, and a
// command run as a script runs it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace meshtest {

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

// What a per-corner loader (loadOBJ, loadBinaryMesh) gave: its verdict, what it printed
// and the arrays it appends to.
struct Loaded {
    bool ok = false;
    std::string output;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec3> normals;
};

using MeshLoader = bool (*)(const char* path, std::vector<glm::vec3>& positions,
    std::vector<glm::vec2>& texCoords, std::vector<glm::vec3>& normals);

// Runs the loader on the file, appending to the arrays of into, and keeps its output.
Loaded loadMesh(MeshLoader loader, const std::string& path, Loaded into = {});

struct ToolRun {
    int status = -1; // the exit status; -1 when the command did not exit normally
    std::string out;
};

// Runs a shell command line and collects its standard output.
ToolRun runCommand(const std::string& command);

} // namespace meshtest

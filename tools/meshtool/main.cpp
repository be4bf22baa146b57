// meshtool: inspects and converts mesh files with the show's own readers.
//   meshtool dump FORMAT FILE       reader output, then "corners N" and one corner a line
//   meshtool obj2bobj IN.obj OUT.bobj
//   meshtool nwa FILE TIME          one evaluated key a line: px py pz rx ry rz
//   meshtool import IN.obj OUT.bobj|OUT.obj
//                                   an OBJ as modelling programs export it, in the engine's formats
//   meshtool --help                 this list, on standard output
// Machine-readable output goes to standard output; usage and errors to standard error.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ObjImport.h"
#include "mesh/BinaryMesh.h"
#include "mesh/MeshFormat.h"
#include "mesh/NwaFile.h"
#include "mesh/ObjReader.h"
#include "mesh/ObjWriter.h"
#include "mesh/PlyReader.h"

namespace {

const char usageText[] = "usage: meshtool dump FORMAT FILE\n"
                         "       meshtool obj2bobj IN.obj OUT.bobj\n"
                         "       meshtool nwa FILE TIME\n"
                         "       meshtool import IN.obj OUT.bobj|OUT.obj\n"
                         "FORMAT selects the reader as models do: 0 OBJ, 1 PLY header, 2 .bobj,\n"
                         "any other integer OBJ.\n";

int usage()
{
    std::fputs(usageText, stderr);
    return 2;
}

// Asked for, the usage is the result: standard output, success.
int help()
{
    std::fputs(usageText, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

bool parseInt(const char* text, long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && errno == 0;
}

bool parseDouble(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

// The reader that MeshFormat selects. A PLY file gives no corners; it counts as read
// when its header ends properly.
bool readMesh(const char* path, long format, std::vector<glm::vec3>& positions,
              std::vector<glm::vec2>& texCoords, std::vector<glm::vec3>& normals)
{
    switch (format) {
    case Tarvo::MeshFormatPly:
        return Tarvo::readPlyHeaderFile(path);
    case Tarvo::MeshFormatBinary:
        return Tarvo::loadBinaryMesh(path, positions, texCoords, normals);
    default:
        return Tarvo::loadOBJ(path, positions, texCoords, normals);
    }
}

int dump(const char* formatText, const char* path)
{
    long format = 0;
    if (!parseInt(formatText, format)) {
        std::fprintf(stderr, "meshtool: FORMAT must be an integer, not '%s'\n", formatText);
        return 2;
    }
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec3> normals;
    const bool read = readMesh(path, format, positions, texCoords, normals);
    std::printf("corners %zu\n", positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const glm::vec3& p = positions[i];
        const glm::vec2& t = texCoords[i];
        const glm::vec3& n = normals[i];
        std::printf("%.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g\n", p.x, p.y, p.z, t.x, t.y, n.x,
                    n.y, n.z);
    }
    return read ? 0 : 1;
}

int obj2bobj(const char* in, const char* out)
{
    Tarvo::ObjMesh mesh;
    if (!Tarvo::readObjFile(in, mesh) || !Tarvo::checkObjMesh(in, mesh))
        return 1;
    std::string why;
    if (!Tarvo::writeBinaryMesh(out, mesh, why)) {
        std::fprintf(stderr, "meshtool: cannot write %s: %s\n", out, why.c_str());
        return 1;
    }
    std::fprintf(stderr, "meshtool: wrote %s (%zu %s)\n", out, mesh.triangleCount(),
                 mesh.triangleCount() == 1 ? "triangle" : "triangles");
    return 0;
}

int nwa(const char* path, const char* timeText)
{
    double time = 0.0;
    if (!parseDouble(timeText, time)) {
        std::fprintf(stderr, "meshtool: TIME must be a number, not '%s'\n", timeText);
        return 2;
    }
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "meshtool: cannot open %s\n", path);
        return 1;
    }
    Tarvo::NwaFile file;
    std::string error;
    if (!Tarvo::parseNwa(in, file, error)) {
        std::fprintf(stderr, "meshtool: %s: %s\n", path, error.c_str());
        return 1;
    }
    for (std::size_t p = 0; p < file.partNames.size(); ++p) {
        Tarvo::AniPart part;
        part.length = file.length;
        part.spacing = file.spacing;
        part.keys = file.partKeys(p);
        const Tarvo::AniKey key = part.evaluate(time);
        std::printf("%.9g %.9g %.9g %.9g %.9g %.9g\n", key.position.x, key.position.y,
                    key.position.z, key.rotation.x, key.rotation.y, key.rotation.z);
    }
    return 0;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + i])) != suffix[i])
            return false;
    return true;
}

int import(const std::string& in, const std::string& out)
{
    const bool binary = endsWith(out, ".bobj");
    if (!binary && !endsWith(out, ".obj")) {
        std::fprintf(stderr, "meshtool: %s: the output must end in .bobj or .obj\n", out.c_str());
        return 1;
    }
    Tarvo::ObjMesh mesh;
    meshtool::ImportReport report;
    std::string why;
    if (!meshtool::importObjFile(in, mesh, report, why)) {
        std::fprintf(stderr, "meshtool: %s\n", why.c_str());
        return 1;
    }
    if (binary) {
        if (!Tarvo::writeBinaryMesh(out.c_str(), mesh, why)) {
            std::fprintf(stderr, "meshtool: cannot write %s: %s\n", out.c_str(), why.c_str());
            return 1;
        }
    } else if (!Tarvo::writeObjMesh(out, mesh, "imported from " + in + " by meshtool", why)) {
        std::fprintf(stderr, "meshtool: cannot write %s: %s\n", out.c_str(), why.c_str());
        return 1;
    }
    std::fprintf(stderr, "meshtool: wrote %s: %zu %s from %zu %s, %zu %s computed%s\n", out.c_str(),
                 report.triangles, report.triangles == 1 ? "triangle" : "triangles", report.faces,
                 report.faces == 1 ? "face" : "faces", report.computedNormals,
                 report.computedNormals == 1 ? "normal" : "normals",
                 report.zeroTexCoords ? ", zero texture coordinates where the file had none" : "");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return help();
    if (argc == 4 && std::strcmp(argv[1], "dump") == 0)
        return dump(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "obj2bobj") == 0)
        return obj2bobj(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "nwa") == 0)
        return nwa(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "import") == 0)
        return import(argv[2], argv[3]);
    return usage();
}

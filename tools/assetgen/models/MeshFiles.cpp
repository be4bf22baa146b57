// Mesh file writing. Numbers are printed with enough digits to survive the round trip
// through text at the precision the meshes are built with (a tenth of a millimetre).
#include "models/MeshFiles.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "mesh/BinaryMesh.h"

namespace assetgen::models {

namespace {

// "%.6f" leaves "-0.000000" for tiny negatives; both read back as zero, but a plain
// "0" keeps the files tidy and byte-for-byte stable.
void printNumber(std::FILE* file, float value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
    if (std::string(text) == "-0.000000")
        std::snprintf(text, sizeof text, "0.000000");
    std::fputs(text, file);
}

} // namespace

bool makeParentDirectories(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty())
        return true;
    std::error_code error;
    std::filesystem::create_directories(parent, error);
    if (error) {
        std::fprintf(stderr, "assetgen: cannot create %s: %s\n", parent.string().c_str(),
                     error.message().c_str());
        return false;
    }
    return true;
}

bool writeObjFile(const std::string& path, const Tarvo::ObjMesh& mesh, const std::string& title)
{
    if (!makeParentDirectories(path))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    std::fprintf(file, "# %s: %zu triangles\n", title.c_str(), mesh.triangleCount());
    for (const glm::vec3& p : mesh.positions) {
        std::fputs("v ", file);
        printNumber(file, p.x);
        std::fputc(' ', file);
        printNumber(file, p.y);
        std::fputc(' ', file);
        printNumber(file, p.z);
        std::fputc('\n', file);
    }
    for (const glm::vec2& t : mesh.texCoords) {
        std::fputs("vt ", file);
        printNumber(file, t.x);
        std::fputc(' ', file);
        printNumber(file, t.y);
        std::fputc('\n', file);
    }
    for (const glm::vec3& n : mesh.normals) {
        std::fputs("vn ", file);
        printNumber(file, n.x);
        std::fputc(' ', file);
        printNumber(file, n.y);
        std::fputc(' ', file);
        printNumber(file, n.z);
        std::fputc('\n', file);
    }
    const auto& c = mesh.corners;
    for (std::size_t i = 0; i + 8 < c.size(); i += 9)
        std::fprintf(file, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", c[i], c[i + 1], c[i + 2], c[i + 3],
                     c[i + 4], c[i + 5], c[i + 6], c[i + 7], c[i + 8]);
    const bool written = !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool writeBinaryMeshFile(const std::string& path, const Tarvo::ObjMesh& mesh)
{
    return makeParentDirectories(path) && Tarvo::writeBinaryMesh(path.c_str(), mesh);
}

} // namespace assetgen::models

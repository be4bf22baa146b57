// Data file writing for the generators. The file formats themselves belong to the mesh
// library; this adds the folders and the generator's own failure lines.
#include "geometry/MeshFiles.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/AtomicFile.h"
#include "mesh/BinaryMesh.h"
#include "mesh/ObjWriter.h"

namespace assetgen {

namespace {

bool report(const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), why.c_str());
    return false;
}

} // namespace

bool makeParentDirectories(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty())
        return true;
    std::error_code error;
    std::filesystem::create_directories(parent, error);
    if (error)
        return report(path, "cannot create " + parent.string() + ": " + error.message());
    return true;
}

bool writeObjFile(const std::string& path, const Tarvo::ObjMesh& mesh, const std::string& title)
{
    if (!makeParentDirectories(path))
        return false;
    std::string why;
    const std::string comment = title + ": " + std::to_string(mesh.triangleCount()) + " triangles";
    return Tarvo::writeObjMesh(path, mesh, comment, why) || report(path, why);
}

bool writeBinaryMeshFile(const std::string& path, const Tarvo::ObjMesh& mesh)
{
    return makeParentDirectories(path) && Tarvo::writeBinaryMesh(path.c_str(), mesh);
}

bool writeTextFile(const std::string& path, const std::string& text)
{
    if (!makeParentDirectories(path))
        return false;
    std::string why;
    return Tarvo::writeFileAtomically(path, text.data(), text.size(), why) || report(path, why);
}

} // namespace assetgen

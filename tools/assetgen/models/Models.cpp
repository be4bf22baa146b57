// Writing the model files. Each animation's parts go beside its ".nwa" file, which names
// them; a part listed more than once (the truck's dual axles) is written once.
#include "models/Models.h"

#include <cstdio>
#include <filesystem>
#include <set>

#include "AssetGen.h"
#include "geometry/MeshFiles.h"
#include "models/Bridge.h"
#include "models/NwaWriter.h"
#include "models/PumpJack.h"
#include "models/SkyBox.h"
#include "models/Truck.h"

namespace assetgen::models {

namespace {

std::string join(const std::string& dir, const std::string& relative)
{
    return (std::filesystem::path(dir) / relative).generic_string();
}

std::string besides(const std::string& nwaPath, const std::string& name)
{
    return (std::filesystem::path(nwaPath).parent_path() / name).generic_string();
}

void report(const std::string& path, std::size_t triangles)
{
    std::fprintf(stderr, "assetgen: %s (%zu triangles)\n", path.c_str(), triangles);
}

bool writeAnimation(const std::string& nwaPath, const PartAnimation& animation,
                    const std::vector<Tarvo::ObjMesh>& parts)
{
    bool ok = writeNwaFile(nwaPath, animation);
    std::set<std::string> written;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const std::string& name = animation.partNames[p];
        if (!written.insert(name).second)
            continue;
        const std::string path = besides(nwaPath, name);
        ok = writeObjFile(path, parts[p], "part " + name) && ok;
        report(path, parts[p].triangleCount());
    }
    return ok;
}

} // namespace

std::vector<std::string> modelFiles()
{
    std::vector<std::string> files = {kBridgePath, kTruckPath, kSkyBoxPath, kTruckAnimationPath,
                                      kPumpJackAnimationPath};
    const PartAnimation truck = truckAnimation();
    std::set<std::string> truckParts(truck.partNames.begin(), truck.partNames.end());
    for (const std::string& name : truckParts)
        files.push_back(besides(kTruckAnimationPath, name));
    for (const char* name : kPumpJackParts)
        files.push_back(besides(kPumpJackAnimationPath, name));
    return files;
}

bool writeModels(const std::string& dataDir)
{
    bool ok = true;

    const Tarvo::ObjMesh bridge = buildBridge();
    ok = writeBinaryMeshFile(join(dataDir, kBridgePath), bridge) && ok;
    report(join(dataDir, kBridgePath), bridge.triangleCount());

    const Tarvo::ObjMesh truck = buildStaticTruck();
    ok = writeBinaryMeshFile(join(dataDir, kTruckPath), truck) && ok;
    report(join(dataDir, kTruckPath), truck.triangleCount());

    const Tarvo::ObjMesh sky = buildSkyBox();
    ok = writeObjFile(join(dataDir, kSkyBoxPath), sky, "sky box") && ok;
    report(join(dataDir, kSkyBoxPath), sky.triangleCount());

    std::vector<Tarvo::ObjMesh> truckParts = {buildTractor(), buildTrailer(), buildFrontAxle()};
    const Tarvo::ObjMesh dual = buildDualAxle();
    for (std::size_t i = 1; i < std::size(kTruckAxles); ++i)
        truckParts.push_back(dual);
    ok = writeAnimation(join(dataDir, kTruckAnimationPath), truckAnimation(), truckParts) && ok;

    const PumpJackGeometry jack;
    ok = writeAnimation(join(dataDir, kPumpJackAnimationPath), pumpJackAnimation(jack),
                        buildPumpJackParts(jack))
         && ok;
    return ok;
}

} // namespace assetgen::models

bool assetgen::generateModels(const std::string& dataDir)
{
    return models::writeModels(dataDir);
}

// Shapes of the alternative scenes' meshes, and the generator entry that writes them.
// The frame has inner corners (walls meeting the floor and each other, pillars under
// beams) where ambient occlusion gathers; the terrain has a flat floor that reflects and
// hills whose silhouettes streak when they turn.
#include "SceneMeshes.h"

#include <cmath>

#include "AssetGen.h"
#include "geometry/MeshBuilder.h"
#include "geometry/MeshFiles.h"

namespace assetgen::scenes {

namespace {

constexpr float frameHalf = 1.3f;    // the base slab's half width
constexpr float pillarAt = 1.0f;     // pillar centres at (+-pillarAt, +-pillarAt)
constexpr float pillarHalf = 0.15f;
constexpr float beamBottom = 0.85f;
constexpr float beamTop = 1.1f;
constexpr float wallTop = beamBottom;
constexpr float wallThickness = 0.12f;
constexpr float frameUvScale = 1.0f;
constexpr int latheSegments = 40;

constexpr float terrainHalf = 40.0f;
constexpr int terrainCells = 96;
constexpr float terrainUvScale = 4.0f;
// Keeps the floor just under the frame's underside, so the two never share a plane.
constexpr float terrainFloor = floorBottom - 0.02f;
constexpr float flatRadius = 6.0f;
constexpr float hillRadius = 20.0f;

constexpr float skyboxHalf = 50.0f;

float smoothstep(float edge0, float edge1, float x)
{
    const float t = std::fmin(std::fmax((x - edge0) / (edge1 - edge0), 0.0f), 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

float terrainHeight(float x, float z)
{
    const float r = std::hypot(x, z);
    const float hills = 1.8f + 1.2f * std::sin(0.31f * x + 0.7f) * std::cos(0.23f * z - 0.4f) +
                        0.6f * std::sin(0.77f * x - 0.52f * z) + 0.3f * std::cos(1.3f * z + 0.2f * x);
    return terrainFloor + smoothstep(flatRadius, hillRadius, r) * std::fmax(hills, 0.0f);
}

Tarvo::ObjMesh buildNokka()
{
    // A nose cone standing on the frame's floor, with a collar whose underside and the
    // floor close in on each other. Profile points are (height, radius), base to tip.
    const std::vector<LathePoint> profile = {
        {floorTop, 0.0f},  {floorTop, 0.42f}, {-0.68f, 0.5f}, {-0.56f, 0.5f}, {-0.5f, 0.38f},
        {-0.2f, 0.34f},    {0.15f, 0.25f},    {0.45f, 0.13f}, {0.62f, 0.04f}, {0.66f, 0.0f},
    };
    MeshBuilder builder;
    // The lathe turns about its local x axis: stand that axis up along y, with the radius
    // swinging from +x towards +z.
    builder.pushTransform(glm::mat4(glm::vec4(0, 1, 0, 0), glm::vec4(1, 0, 0, 0), glm::vec4(0, 0, 1, 0),
                                    glm::vec4(0, 0, 0, 1)));
    // The texture runs once from the base to the tip; every profile corner is a crease.
    builder.setUvScale(profileLength(profile));
    builder.addLathe(profile, latheSegments, 0.0f);
    return builder.mesh();
}

Tarvo::ObjMesh buildRunko()
{
    MeshBuilder builder;
    builder.setUvScale(frameUvScale);
    auto box = [&](const glm::vec3& lo, const glm::vec3& hi) { builder.addBox(lo, hi, BoxTexture::PerFace); };
    box({-frameHalf, floorBottom, -frameHalf}, {frameHalf, floorTop, frameHalf});
    for (float x : {-pillarAt, pillarAt})
        for (float z : {-pillarAt, pillarAt})
            box({x - pillarHalf, floorTop, z - pillarHalf}, {x + pillarHalf, beamBottom, z + pillarHalf});
    // Beams along x and along z over the pillars.
    for (float z : {-pillarAt, pillarAt})
        box({-pillarAt - pillarHalf, beamBottom, z - pillarHalf}, {pillarAt + pillarHalf, beamTop, z + pillarHalf});
    for (float x : {-pillarAt, pillarAt})
        box({x - pillarHalf, beamBottom, -pillarAt + pillarHalf}, {x + pillarHalf, beamTop, pillarAt - pillarHalf});
    // Two walls on the far sides (from the scenes' cameras at +x, +z) close the frame
    // into the corner of a room: floor and walls meet in an inner corner.
    box({-pillarAt - wallThickness * 0.5f, floorTop, -pillarAt}, {-pillarAt + wallThickness * 0.5f, wallTop, pillarAt});
    box({-pillarAt, floorTop, -pillarAt - wallThickness * 0.5f}, {pillarAt, wallTop, -pillarAt + wallThickness * 0.5f});
    // A step block in that corner.
    box({-pillarAt + 0.06f, floorTop, -pillarAt + 0.06f}, {-0.45f, -0.5f, -0.45f});
    return builder.mesh();
}

Tarvo::ObjMesh buildCube()
{
    MeshBuilder builder;
    builder.setUvScale(2.0f);
    builder.addBox(glm::vec3(-1.0f), glm::vec3(1.0f), BoxTexture::PerFace);
    return builder.mesh();
}

Tarvo::ObjMesh buildTerrain()
{
    HeightGrid grid;
    grid.corner = glm::vec2(-terrainHalf);
    grid.cell = glm::vec2(2.0f * terrainHalf / static_cast<float>(terrainCells));
    grid.cellsX = terrainCells;
    grid.cellsZ = terrainCells;
    grid.slopeStep = grid.cell.x * 0.5f;
    grid.uvOrigin = grid.corner;
    grid.uvMetres = terrainUvScale;
    MeshBuilder builder;
    builder.addHeightField(grid, terrainHeight);
    return builder.mesh();
}

Tarvo::ObjMesh buildSkybox()
{
    MeshBuilder builder;
    builder.setUvScale(2.0f * skyboxHalf);
    builder.addBox(glm::vec3(-skyboxHalf), glm::vec3(skyboxHalf), BoxTexture::PerFace, true);
    return builder.mesh();
}

} // namespace assetgen::scenes

namespace assetgen {

bool generateSceneMeshes(const std::string& dataDir)
{
    using namespace scenes;
    struct Item {
        const char* path;
        Tarvo::ObjMesh (*build)();
        const char* title;
    };
    const Item items[] = {
        {"/models/nokka.obj", buildNokka, "nokka: a nose cone on the frame's floor"},
        {"/models/runko.obj", buildRunko, "runko: a frame of floor, pillars, beams and two walls"},
        {"/cube.obj", buildCube, "cube: two units wide, one texture per face"},
        {"/models/terrain.obj", buildTerrain, "terrain: a flat floor rising into hills"},
        {"/models/skybox.obj", buildSkybox, "skybox: a box seen from inside"},
    };
    bool ok = true;
    for (const Item& item : items)
        ok = writeObjFile(dataDir + item.path, item.build(), item.title) && ok;
    return ok;
}

} // namespace assetgen

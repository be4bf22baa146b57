// Terrain: a valley profile across the river, with noise only where it cannot disturb
// anything placed on the ground (the banks, the river bed, the far hills).
#include "models/Terrain.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace assetgen::models {

namespace {

// Cells are fine where the camera sees the ground from near or from the air (the valley
// and the land around the bridge) and coarse out to the edges.
constexpr float kFineHalfX = 160.0f;
constexpr float kFineHalfZ = 200.0f;
constexpr float kFineCell = 3.2f;
constexpr float kFineCellZ = 3.125f;
constexpr float kCoarseCell = 10.0f;
constexpr float kRiverHalfWidth = 30.0f;
constexpr float kRiverBed = -27.0f;
constexpr float kBankFoot = -25.0f;
// The valley floor between the south bank and the river is flat: the oil field whose
// pump jacks stand under the bridge.
constexpr float kFloorSouth = -80.0f;
constexpr float kFloorNorth = kRiverCentre - kRiverHalfWidth;
constexpr float kRoadCut = 0.3f;

// Grid lines from -half to half: steps of `fine` within fineHalf of the centre, of
// `coarse` beyond. Both halves are whole numbers of steps.
std::vector<float> gridLines(float half, float fineHalf, float fine, float coarse)
{
    std::vector<float> lines;
    const int coarseSteps = static_cast<int>(std::lround((half - fineHalf) / coarse));
    const int fineSteps = static_cast<int>(std::lround(2.0f * fineHalf / fine));
    for (int i = 0; i < coarseSteps; ++i)
        lines.push_back(-half + coarse * static_cast<float>(i));
    for (int i = 0; i < fineSteps; ++i)
        lines.push_back(-fineHalf + fine * static_cast<float>(i));
    for (int i = 0; i <= coarseSteps; ++i)
        lines.push_back(fineHalf + coarse * static_cast<float>(i));
    return lines;
}

float smoothstep(float e0, float e1, float x)
{
    const float t = std::fmin(1.0f, std::fmax(0.0f, (x - e0) / (e1 - e0)));
    return t * t * (3.0f - 2.0f * t);
}

float lattice(std::int32_t x, std::int32_t z)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u
                      ^ static_cast<std::uint32_t>(z) * 0xd8163841u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xffffu) / 32767.5f - 1.0f;
}

} // namespace

float valueNoise(float x, float z)
{
    const float fx = std::floor(x);
    const float fz = std::floor(z);
    const auto ix = static_cast<std::int32_t>(fx);
    const auto iz = static_cast<std::int32_t>(fz);
    const float tx = smoothstep(0.0f, 1.0f, x - fx);
    const float tz = smoothstep(0.0f, 1.0f, z - fz);
    const float a = lattice(ix, iz) + (lattice(ix + 1, iz) - lattice(ix, iz)) * tx;
    const float b = lattice(ix, iz + 1) + (lattice(ix + 1, iz + 1) - lattice(ix, iz + 1)) * tx;
    return a + (b - a) * tz;
}

float terrainHeight(float x, float z)
{
    const float d = std::fabs(z);
    float y = 0.0f;
    const float river = std::fabs(z - kRiverCentre);
    if (river < kRiverHalfWidth) {
        const float t = river / kRiverHalfWidth;
        y = kRiverBed + (kBankFoot - kRiverBed) * t * t + 0.6f * valueNoise(x / 23.0f, z / 17.0f);
    } else if (z >= kFloorSouth && z <= kFloorNorth) {
        y = kBankFoot;
    } else if (d < kPlateauStart) {
        const float foot = z < 0.0f ? -kFloorSouth : kRiverCentre + kRiverHalfWidth;
        const float t = (d - foot) / (kPlateauStart - foot);
        const float rough = 0.7f * valueNoise(x / 35.0f, z / 35.0f)
                            + 0.3f * valueNoise(x / 11.0f + 7.0f, z / 11.0f)
                            + 0.12f * valueNoise(x / 4.0f + 3.0f, z / 4.0f); // gullies and boulders
        const float profile = kBankFoot * (1.0f - smoothstep(0.0f, 1.0f, t));
        // Bumps never rise past half the bank's depth, so near the abutments, where the
        // bank meets the deck, the ground stays under the road.
        y = std::fmin(profile + 2.5f * rough * std::sin(std::numbers::pi_v<float> * t), 0.5f * profile);
    }
    // The road's bed: a shallow cut along x = 0 from the valley's rim outwards, so the
    // road on the plateaus lies flush with the deck at y = 0.
    y -= kRoadCut * (1.0f - smoothstep(8.0f, 16.0f, std::fabs(x)))
         * smoothstep(kPlateauStart - 20.0f, kPlateauStart, d);
    // Hills beyond the plateau: they start clear of the valley's rim and leave a cut
    // for the road along x = 0.
    const float outward = std::fmax(smoothstep(kPlateauEnd, kPlateauEnd + 150.0f, d),
                                    smoothstep(kPlateauHalfX, kPlateauHalfX + 140.0f, std::fabs(x)));
    const float hills = outward * smoothstep(kPlateauStart, kPlateauStart + 40.0f, d)
                        * smoothstep(12.0f, 52.0f, std::fabs(x));
    if (hills > 0.0f)
        y += hills * (30.0f + 12.0f * valueNoise(x / 90.0f, z / 90.0f)
                      + 4.0f * valueNoise(x / 25.0f, z / 25.0f) + 1.2f * valueNoise(x / 8.0f, z / 8.0f));
    // The valley closes at both ends with hillsides, leaving a gorge for the river, so
    // the views along it under the bridge end in lit slopes rather than the land's edge.
    const float ends = smoothstep(kValleyEndX, kValleyEndX + 140.0f, std::fabs(x))
                       * smoothstep(24.0f, 95.0f, std::fabs(z - kRiverCentre)) * (1.0f - hills);
    if (ends > 0.0f)
        y += ends * (34.0f + 10.0f * valueNoise(x / 70.0f + 4.0f, z / 70.0f)
                     + 3.0f * valueNoise(x / 20.0f, z / 20.0f) + 1.2f * valueNoise(x / 8.0f, z / 8.0f));
    return y;
}

void addTerrain(MeshBuilder& b, float bridgeEnd, float roadHalfWidth)
{
    HeightGrid grid;
    grid.slopeStep = 1.0f;
    grid.uvMetres = 16.0f;
    b.setMaterial(Material::Terrain);
    b.addHeightField(gridLines(kTerrainHalfX, kFineHalfX, kFineCell, kCoarseCell),
                     gridLines(kTerrainHalfZ, kFineHalfZ, kFineCellZ, kCoarseCell), grid, terrainHeight);

    // River surface in strips, so no triangle spans the whole valley.
    const float riverHalf = kRiverHalfWidth - 2.0f;
    b.setMaterial(Material::Water);
    for (float x = -kTerrainHalfX; x < kTerrainHalfX; x += 60.0f)
        b.addFlatQuad({x, kRiverLevel, -riverHalf}, {x + 60.0f, kRiverLevel, -riverHalf},
                      {x + 60.0f, kRiverLevel, riverHalf}, {x, kRiverLevel, riverHalf},
                      {0.0f, 1.0f, 0.0f});

    // The road runs on from the bridge's ends at the deck's level, on its bed in the
    // ground and through the cut in the hills.
    b.setMaterial(Material::Asphalt);
    for (float side : {-1.0f, 1.0f}) {
        for (float z = bridgeEnd; z < kTerrainHalfZ; z += 30.0f) {
            const float za = side * z;
            const float zb = side * std::fmin(z + 30.0f, kTerrainHalfZ);
            b.addBox({-roadHalfWidth, -kRoadCut - 0.1f, std::fmin(za, zb)},
                     {roadHalfWidth, 0.0f, std::fmax(za, zb)});
        }
    }
}

} // namespace assetgen::models

// Materials carried in texture coordinates: the builder's encoding and its round trip,
// every triangle of the show's models named with a material whose surface coordinate
// decodes unambiguously, the surfaces each model needs, and the main scene's shaders
// agreeing with the generator on the numbers and the stride.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ModelTestUtil.h"
#include "geometry/Materials.h"
#include "geometry/MeshBuilder.h"
#include "models/Bridge.h"
#include "models/PumpJack.h"
#include "models/Truck.h"
#include "support/ReadFile.h"

using namespace assetgen;
using namespace assetgen::models;

namespace {

std::set<Material> materialsOf(const Tarvo::ObjMesh& mesh)
{
    std::set<Material> found;
    for (const modeltest::Corner& c : modeltest::corners(mesh))
        found.insert(static_cast<Material>(materialOf(c.uv.x)));
    return found;
}

TEST(ModelMaterials, RoundTripThroughTheTextureCoordinate)
{
    for (int m : {0, 1, 13, kMaterialCount - 1}) {
        for (float u : {0.0f, 0.25f, -0.75f, 37.5f, -150.0f, 511.0f, -511.0f}) {
            const float stored = u + static_cast<float>(m) * kMaterialStride;
            EXPECT_EQ(materialOf(stored), m) << m << " " << u;
            EXPECT_NEAR(surfaceU(stored), u, 1e-3f) << m << " " << u;
        }
    }
}

TEST(ModelMaterials, BuilderTagsWhatFollowsAndAppendKeepsTheParts)
{
    MeshBuilder part;
    part.setMaterial(Material::Glass);
    part.addBox({0, 0, 0}, {1, 1, 1});
    EXPECT_EQ(materialsOf(part.mesh()), std::set<Material>{Material::Glass});

    MeshBuilder whole;
    whole.setMaterial(Material::Concrete);
    whole.addBox({2, 0, 0}, {3, 1, 1});
    whole.append(part.mesh());
    EXPECT_EQ(materialsOf(whole.mesh()), (std::set<Material>{Material::Glass, Material::Concrete}));
    EXPECT_EQ(whole.currentMaterial(), Material::Concrete); // appending leaves it as it was

    // The surface's own coordinates are the untagged builder's.
    MeshBuilder plain;
    plain.addBox({0, 0, 0}, {1, 1, 1});
    const auto tagged = modeltest::corners(part.mesh());
    const auto untagged = modeltest::corners(plain.mesh());
    ASSERT_EQ(tagged.size(), untagged.size());
    for (std::size_t i = 0; i < tagged.size(); ++i) {
        EXPECT_FLOAT_EQ(surfaceU(tagged[i].uv.x), untagged[i].uv.x);
        EXPECT_EQ(tagged[i].uv.y, untagged[i].uv.y);
    }
}

struct ShowModel {
    const char* name;
    Tarvo::ObjMesh mesh;
    std::set<Material> needs;
};

std::vector<ShowModel> showModels()
{
    MeshBuilder truck;
    for (const Tarvo::ObjMesh& part : {buildTractor(), buildTrailer(), buildFrontAxle(), buildDualAxle()})
        truck.append(part);
    MeshBuilder jack;
    for (const Tarvo::ObjMesh& part : buildPumpJackParts(PumpJackGeometry{}))
        jack.append(part);
    using enum Material;
    return {
        {"bridge", buildBridge(),
         {Concrete, Cable, Railing, LampPost, StreetLamp, Asphalt, Kerb, Terrain, Water, Tank, Pipe}},
        {"truck", truck.mesh(),
         {CabPaint, Glass, Chrome, Rubber, DarkSteel, TrailerPanel, Livery, HeadLamp, TailLamp}},
        {"pump jack", jack.mesh(), {JackPaint, JackAccent, ConcretePad, DarkSteel, Cable}},
    };
}

TEST(ModelMaterials, EveryShowSurfaceHasAMaterialThatDecodes)
{
    for (const ShowModel& model : showModels()) {
        std::size_t plain = 0, outOfRange = 0, ambiguous = 0;
        for (const modeltest::Corner& c : modeltest::corners(model.mesh)) {
            const int m = materialOf(c.uv.x);
            plain += m == static_cast<int>(Material::Plain);
            outOfRange += m < 0 || m >= kMaterialCount;
            ambiguous += std::fabs(surfaceU(c.uv.x)) >= kMaterialStride / 2.0f;
        }
        EXPECT_EQ(plain, 0u) << model.name;
        EXPECT_EQ(outOfRange, 0u) << model.name;
        EXPECT_EQ(ambiguous, 0u) << model.name;
        const std::set<Material> found = materialsOf(model.mesh);
        for (Material needed : model.needs)
            EXPECT_TRUE(found.count(needed)) << model.name << " lacks material " << static_cast<int>(needed);
    }
}

TEST(ModelMaterials, ShadersAgreeOnTheNumbersAndTheStride)
{
    const std::string shader = testsupport::readFile(VANTOR_SOURCE_DIR "/data/shaders/envmap/materials.glsl");
    const std::string vertex = testsupport::readFile(VANTOR_SOURCE_DIR "/data/shaders/envmap/envmap.vs");
    std::map<std::string, int> constants;
    const std::regex constant(R"(const int (MAT\w+|MATERIAL_COUNT) = (\d+);)");
    for (auto it = std::sregex_iterator(shader.begin(), shader.end(), constant); it != std::sregex_iterator(); ++it)
        constants[(*it)[1]] = std::stoi((*it)[2]);
    using enum Material;
    const std::map<std::string, Material> expected = {
        {"MAT_PLAIN", Plain}, {"MAT_CAB_PAINT", CabPaint}, {"MAT_GLASS", Glass}, {"MAT_CHROME", Chrome},
        {"MAT_RUBBER", Rubber}, {"MAT_DARK_STEEL", DarkSteel}, {"MAT_TRAILER_PANEL", TrailerPanel},
        {"MAT_LIVERY", Livery}, {"MAT_HEAD_LAMP", HeadLamp}, {"MAT_TAIL_LAMP", TailLamp},
        {"MAT_JACK_PAINT", JackPaint}, {"MAT_JACK_ACCENT", JackAccent}, {"MAT_CONCRETE_PAD", ConcretePad},
        {"MAT_CONCRETE", Concrete}, {"MAT_CABLE", Cable}, {"MAT_RAILING", Railing}, {"MAT_LAMP_POST", LampPost},
        {"MAT_STREET_LAMP", StreetLamp}, {"MAT_ASPHALT", Asphalt}, {"MAT_KERB", Kerb}, {"MAT_TERRAIN", Terrain},
        {"MAT_WATER", Water}, {"MAT_TANK", Tank}, {"MAT_PIPE", Pipe},
    };
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kMaterialCount));
    EXPECT_EQ(constants["MATERIAL_COUNT"], kMaterialCount);
    for (const auto& [name, material] : expected) {
        ASSERT_TRUE(constants.count(name)) << name << " missing from materials.glsl";
        EXPECT_EQ(constants[name], static_cast<int>(material)) << name;
    }
    // One table row per material in each of the shader's tables.
    for (const char* table : {"ALBEDO", "FINISH", "GLOW"})
        EXPECT_NE(shader.find(std::string(table) + "[MATERIAL_COUNT] = "), std::string::npos) << table;
    std::smatch stride;
    ASSERT_TRUE(std::regex_search(vertex, stride, std::regex(R"(MATERIAL_STRIDE = ([0-9.]+);)")));
    EXPECT_EQ(std::stof(stride[1]), kMaterialStride);
}

} // namespace

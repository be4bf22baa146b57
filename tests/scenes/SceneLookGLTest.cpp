// The show's look on its own data: at a few rows of the timeline, every major surface in
// view carries detail (formwork, markings, grass and dirt, livery, grime), not one flat
// colour. Each row is drawn twice: once as the show draws it, once through a copy of the
// data whose two object shaders write each pixel's material number instead of its
// colour, which says which pixels of the first picture belong to which surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "runtime/Demo.h"
#include "scenes/SceneUno.h"
#include "support/CapturedOutput.h"
#include "support/DemoTestContext.h"
#include "support/GLTestContext.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;

constexpr int width = 480;
constexpr int height = 270;

// Material numbers as the meshes carry them (tools/assetgen/geometry/Materials.h).
enum Surface { CabPaint = 1, TrailerPanel = 6, JackPaint = 10, Concrete = 13, Asphalt = 18, Terrain = 20 };

const char* const materialShader = R"(#version 330 core
flat in float material;
in vec3 viewPos;
in vec3 viewNormal;
#include "../scenetargets.glsl"
void main()
{
    outColor = vec4(material, 0.0, 0.0, 1.0);
    outNormalDepth = vec4(normalize(viewNormal) * 0.5 + 0.5, 1.0);
    outVelocity = vec4(0.0, 0.0, 0.0, 1.0);
    outPosition = vec4(viewPos, 1.0);
}
)";

// A data folder under the scratch folder that is the show's own, entry by entry through
// links, except that both object shaders write material numbers into the show's targets.
void linkDataWithMaterialShaders(const fs::path& real, const testsupport::ScratchDir& scratch)
{
    const fs::path objectShaders = fs::path("shaders") / "envmap";
    const fs::path copy = scratch.path() / "data";
    for (const fs::path& folder : {fs::path(), fs::path("shaders"), objectShaders}) {
        fs::create_directories(copy / folder);
        for (const fs::directory_entry& entry : fs::directory_iterator(real / folder)) {
            const fs::path name = folder / entry.path().filename();
            if (name != fs::path("shaders") && name != objectShaders)
                fs::create_symlink(entry.path(), copy / name);
        }
    }
    for (const char* name : {"envmap.fs", "rekka.fs"}) {
        fs::remove(copy / objectShaders / name);
        scratch.write(fs::path("data") / objectShaders / name, materialShader);
    }
    // What they include is copied: the shader loader follows no include out of the data folder.
    const fs::path targets = fs::path("shaders") / "scenetargets.glsl";
    fs::remove(copy / targets);
    fs::copy_file(real / targets, copy / targets);
}

struct Targets {
    std::vector<float> colour;   // target 0: lit colour, or material numbers in red
    std::vector<float> normal;   // target 1: view-space normal * 0.5 + 0.5
    std::vector<float> position; // target 3: alpha 1 where geometry was drawn, 0 for the sky
};

// The scene's targets after it has drawn a row.
Targets renderRow(OrvelDemo::SceneUno& scene, float row)
{
    gDemo->setRow(row);
    gDemo->setFrameTime(16.5);
    scene.render(row / 20.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "row " << row;
    const Tarvo::Fbo& fbo = *scene.getSceneFbo();
    return {testsupport::readTexture(fbo.getTexture(0), width, height),
            testsupport::readTexture(fbo.getTexture(1), width, height),
            testsupport::readTexture(fbo.getTexture(3), width, height)};
}

constexpr float kSameFace = 0.995f; // cosine: normals within about 6 degrees

struct SurfaceDetail {
    int pixels = 0;
    double detail = 0.0; // mean relative departure from the local mean brightness
};

// For every material in view: how far each pixel's brightness departs from the mean of
// its neighbours on the same surface (5 x 5, same material, normals within a few
// degrees), relative to that mean. Smooth light and haze over a plain surface give next
// to nothing, and corners between faces are left out; texture, lines and patches count.
std::map<int, SurfaceDetail> detailBySurface(const std::vector<float>& lit, const Targets& labels)
{
    auto brightness = [&](int x, int y) {
        const float* p = &lit[(static_cast<size_t>(y) * width + x) * 4];
        return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
    };
    auto material = [&](int x, int y) {
        const size_t i = (static_cast<size_t>(y) * width + x) * 4;
        return labels.position[i + 3] > 0.5f ? static_cast<int>(std::lround(labels.colour[i])) : -1; // -1: sky
    };
    auto normal = [&](int x, int y) {
        const float* p = &labels.normal[(static_cast<size_t>(y) * width + x) * 4];
        return glm::vec3(p[0], p[1], p[2]) * 2.0f - 1.0f;
    };
    std::map<int, SurfaceDetail> result;
    for (int y = 2; y < height - 2; ++y) {
        for (int x = 2; x < width - 2; ++x) {
            const int m = material(x, y);
            if (m < 0)
                continue;
            const glm::vec3 n = normal(x, y);
            double sum = 0.0;
            int count = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    if (material(x + dx, y + dy) == m && glm::dot(normal(x + dx, y + dy), n) > kSameFace) {
                        sum += brightness(x + dx, y + dy);
                        ++count;
                    }
            if (count < 20)
                continue; // an edge or a sliver: too few neighbours to judge
            const double mean = sum / count;
            SurfaceDetail& s = result[m];
            s.detail += std::fabs(brightness(x, y) - mean) / std::max(mean, 1e-3);
            ++s.pixels;
        }
    }
    for (auto& [m, s] : result)
        s.detail /= s.pixels;
    return result;
}

struct RowExpectation {
    float row;
    std::vector<int> surfaces; // each must fill enough of the picture to be judged
};

// The deck behind the truck, under the bridge, round a pump jack, alongside the truck,
// the wide view.
const RowExpectation kRows[] = {
    {597.3f, {Asphalt, Terrain, TrailerPanel}},
    {1250.0f, {Concrete, Terrain}},
    {1792.0f, {JackPaint, Terrain}},
    {2090.8f, {TrailerPanel, CabPaint, Terrain}},
    {3285.6f, {Concrete, Terrain, Asphalt}},
};

constexpr int kMinPixels = 150;
// Plain colour under the show's light measures below 0.009 on these surfaces at this
// size; the patterns lift each of them above 0.02.
constexpr double kMinDetail = 0.012;

TEST(SceneLook, MajorSurfacesCarryDetailAtTheShowsRows)
{
    const fs::path source = VANTOR_SOURCE_DIR;
    ASSERT_TRUE(fs::exists(source / "data/models/silta2.bobj")) << "build the assets target first";
    testsupport::ScratchDir scratch;
    linkDataWithMaterialShaders(source / "data", scratch);

    fs::current_path(source);
    testsupport::DemoTestContext::reloadTracks();
    REQUIRE_DEMO_CONTEXT(width, height);
    ASSERT_EQ(gDemo->getWidth(), width) << "another case made the window first";

    std::map<float, std::vector<float>> lit;
    {
        testsupport::CapturedOutput quiet;
        OrvelDemo::SceneUno scene;
        for (const RowExpectation& r : kRows)
            lit[r.row] = renderRow(scene, r.row).colour;
    }
    fs::current_path(scratch.path());
    std::map<float, std::map<int, SurfaceDetail>> found;
    {
        testsupport::CapturedOutput quiet;
        OrvelDemo::SceneUno labelled;
        for (const RowExpectation& r : kRows)
            found[r.row] = detailBySurface(lit[r.row], renderRow(labelled, r.row));
    }
    fs::current_path(source);

    for (const RowExpectation& r : kRows) {
        for (int surface : r.surfaces) {
            const auto it = found[r.row].find(surface);
            ASSERT_NE(it, found[r.row].end()) << "material " << surface << " not in view at row " << r.row;
            std::printf("row %g material %d: %d pixels, detail %.4f\n", r.row, surface, it->second.pixels,
                        it->second.detail);
            EXPECT_GE(it->second.pixels, kMinPixels) << "material " << surface << " at row " << r.row;
            EXPECT_GT(it->second.detail, kMinDetail) << "material " << surface << " at row " << r.row;
        }
    }
}

} // namespace

#include "AltSceneTestData.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <sstream>

#include "AssetGen.h"
#include "support/DemoTestContext.h"
#include "support/GLTestContext.h"
#include "sync/TrackWriter.h"

namespace altscenetest {

namespace fs = std::filesystem;

namespace {

using Shade = std::function<std::vector<std::uint8_t>(int x, int y)>;

void writeImage(const fs::path& path, int side, int channels, const Shade& shade)
{
    fs::create_directories(path.parent_path());
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const std::vector<std::uint8_t> p = shade(x, y);
            pixels.insert(pixels.end(), p.begin(), p.begin() + channels);
        }
    stbi_write_png(path.string().c_str(), side, side, channels, pixels.data(), side * channels);
}

Shade flat(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255)
{
    return [=](int, int) { return std::vector<std::uint8_t>{r, g, b, a}; };
}

Shade checker(std::uint8_t dark, std::uint8_t light, int cell)
{
    return [=](int x, int y) {
        const std::uint8_t v = ((x / cell + y / cell) % 2) ? light : dark;
        return std::vector<std::uint8_t>{v, v, v, 255};
    };
}

void copyShaders(const fs::path& data)
{
    const fs::path source = fs::path(VANTOR_SOURCE_DIR) / "data";
    fs::copy(source / "shaders", data / "shaders", fs::copy_options::recursive);
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".fs" || ext == ".vs"))
            fs::copy_file(entry.path(), data / entry.path().filename());
    }
}

} // namespace

void makeAltSceneData(const testsupport::ScratchDir& scratch, const Tracks& tracks)
{
    const fs::path data = scratch.path() / "data";
    fs::remove_all(data); // a later data set in the same folder replaces the earlier one
    fs::create_directories(data / "science");
    copyShaders(data);
    assetgen::generateSceneMeshes(data.string());

    writeImage(data / "models" / "nokka_diffuse.png", 16, 3, flat(210, 205, 195));
    writeImage(data / "img" / "brass2.png", 16, 3, flat(190, 150, 70));
    writeImage(data / "img" / "skytex.png", 16, 3, flat(70, 110, 200));
    writeImage(data / "crack.png", 16, 3, checker(40, 230, 4));
    writeImage(data / "vignette.png", 16, 3, flat(255, 255, 255));
    writeImage(data / "space.png", 16, 3, flat(25, 25, 60));
    writeImage(data / "tavlo.png", 16, 3, flat(240, 130, 30));
    writeImage(data / "zebra.png", 32, 3, checker(0, 255, 4));
    // A white disc that fades out at its rim, like a snowflake sprite.
    writeImage(data / "img" / "particle.png", 32, 4, [](int x, int y) {
        const float dx = (static_cast<float>(x) + 0.5f) / 16.0f - 1.0f;
        const float dy = (static_cast<float>(y) + 0.5f) / 16.0f - 1.0f;
        const float edge = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
        return std::vector<std::uint8_t>{255, 255, 255, static_cast<std::uint8_t>(std::fmin(1.0f, edge * 3.0f) * 255)};
    });

    for (const auto& [trackName, keys] : tracks)
        writeTrackFile((data / "science" / ("sync_" + trackName + ".track")).string(), keys);
    fs::current_path(scratch.path());
    testsupport::DemoTestContext::reloadTracks();
}

Picture Picture::of(GLuint texture, int width, int height)
{
    return Picture{width, height, testsupport::readTexture(texture, width, height)};
}

const float* Picture::at(int x, int y) const
{
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
}

float Picture::mean() const
{
    double sum = 0.0;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
    return rgba.empty() ? 0.0f : static_cast<float>(sum / (static_cast<double>(rgba.size()) / 4.0 * 3.0));
}

float Picture::meanAround(int x, int y, int radius) const
{
    double sum = 0.0;
    int count = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const float* p = at(x + dx, y + dy);
            sum += (p[0] + p[1] + p[2]) / 3.0;
            ++count;
        }
    return static_cast<float>(sum / count);
}

double Picture::edgeEnergy() const
{
    double sum = 0.0;
    for (int y = 0; y + 1 < height; ++y)
        for (int x = 0; x + 1 < width; ++x)
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(at(x + 1, y)[c] - at(x, y)[c]);
                sum += std::abs(at(x, y + 1)[c] - at(x, y)[c]);
            }
    return sum;
}

int Picture::pixelsUnlike(float r, float g, float b, float limit) const
{
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float* p = at(x, y);
            if (std::abs(p[0] - r) + std::abs(p[1] - g) + std::abs(p[2] - b) > limit)
                ++count;
        }
    return count;
}

void keepPicture(const Picture& picture, const std::string& name)
{
    const char* folder = std::getenv("VANTOR_TEST_PICTURES");
    if (folder == nullptr || *folder == '\0')
        return;
    std::vector<std::uint8_t> bytes;
    // PNG rows run top first.
    for (int y = picture.height - 1; y >= 0; --y)
        for (int x = 0; x < picture.width; ++x)
            for (int c = 0; c < 3; ++c)
                bytes.push_back(static_cast<std::uint8_t>(std::clamp(picture.at(x, y)[c], 0.0f, 1.0f) * 255.0f + 0.5f));
    const fs::path path = fs::path(folder) / (name + ".png");
    stbi_write_png(path.string().c_str(), picture.width, picture.height, 3, bytes.data(), picture.width * 3);
}

glm::ivec2 pixelOf(const glm::mat4& projectionView, const glm::vec3& world, int width, int height)
{
    const glm::vec4 clip = projectionView * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2(static_cast<int>((ndc.x * 0.5f + 0.5f) * static_cast<float>(width)),
                      static_cast<int>((ndc.y * 0.5f + 0.5f) * static_cast<float>(height)));
}

std::vector<std::string> loadEvents(const std::string& log)
{
    std::vector<std::string> events;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        for (const char* prefix : {"Compiling: ", "Loading OBJ file ", "texID_[", "SYNC TRACK "}) {
            if (line.rfind(prefix, 0) == 0) {
                events.push_back(line);
                break;
            }
        }
    }
    return events;
}

} // namespace altscenetest

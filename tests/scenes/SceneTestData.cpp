#include "SceneTestData.h"

#include <stb_image_write.h>

#include <cstdint>
#include <sstream>

#include "mesh/BinaryMesh.h"
#include "mesh/ObjReader.h"
#include "support/DemoTestContext.h"
#include "sync/TrackWriter.h"

namespace scenetest {

namespace fs = std::filesystem;

namespace {

void writeImage(const fs::path& path, int width, int height, int channels, const std::vector<std::uint8_t>& pixel)
{
    fs::create_directories(path.parent_path());
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), pixel.begin(), pixel.end());
    stbi_write_png(path.string().c_str(), width, height, channels, pixels.data(), width * channels);
}

void writeBox(const fs::path& path, float halfSize)
{
    const std::string text = boxObj(halfSize);
    Tarvo::ObjMesh mesh;
    std::string failWord;
    Tarvo::parseObjText(text.data(), text.size(), mesh, failWord);
    fs::create_directories(path.parent_path());
    Tarvo::writeBinaryMesh(path.string().c_str(), mesh);
}

} // namespace

std::string boxObj(float h)
{
    std::ostringstream obj;
    const float p[8][3] = {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                           {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
    for (const auto& v : p)
        obj << "v " << v[0] << ' ' << v[1] << ' ' << v[2] << '\n';
    obj << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    obj << "vn 0 0 -1\nvn 0 0 1\nvn -1 0 0\nvn 1 0 0\nvn 0 -1 0\nvn 0 1 0\n";
    // Each face as two triangles, counter-clockwise seen from outside.
    const int faces[6][4] = {{1, 4, 3, 2}, {5, 6, 7, 8}, {1, 5, 8, 4}, {2, 3, 7, 6}, {1, 2, 6, 5}, {4, 8, 7, 3}};
    for (int f = 0; f < 6; ++f) {
        const int* q = faces[f];
        const int n = f + 1;
        obj << "f " << q[0] << "/1/" << n << ' ' << q[1] << "/2/" << n << ' ' << q[2] << "/3/" << n << '\n';
        obj << "f " << q[0] << "/1/" << n << ' ' << q[2] << "/3/" << n << ' ' << q[3] << "/4/" << n << '\n';
    }
    return obj.str();
}

void makeSceneData(const testsupport::ScratchDir& scratch, const Tracks& tracks)
{
    const fs::path data = scratch.path() / "data";
    fs::remove_all(data); // a later data set in the same folder replaces the earlier one
    fs::create_directories(data / "science");
    fs::copy(fs::path(VANTOR_SOURCE_DIR) / "data" / "shaders", data / "shaders", fs::copy_options::recursive);

    writeBox(data / "models" / "silta2.bobj", 1.0f);
    writeBox(data / "models" / "truck.bobj", 0.5f);
    scratch.write("data/models/taivaslaatikko.obj", boxObj(1.0f));
    for (const char* anim : {"anims/pumppujaakko060514/test.nwa", "anims/truck/anim.nwa"}) {
        const fs::path nwa = fs::path("data/models") / anim;
        scratch.write(nwa.parent_path() / "part.obj", boxObj(0.3f));
        scratch.write(nwa, "part.obj\n10 10\n0 0 0 0 0 0\n0 0 0 0 0 0\n");
    }
    writeImage(data / "img" / "envmap.png", 8, 8, 3, {150, 150, 160});
    writeImage(data / "img" / "skytex.png", 8, 8, 3, {40, 60, 120});
    writeImage(data / "crack.png", 8, 8, 3, {128, 128, 128});
    writeImage(data / "img" / "vignette.png", 8, 8, 3, {255, 255, 255});
    writeImage(data / "img" / "vantor.png", 8, 8, 4, {0, 255, 0, 255});

    for (const auto& [trackName, keys] : tracks)
        writeTrackFile((data / "science" / ("sync_" + trackName + ".track")).string(), keys);
    fs::current_path(scratch.path());
    testsupport::DemoTestContext::reloadTracks();
}

} // namespace scenetest

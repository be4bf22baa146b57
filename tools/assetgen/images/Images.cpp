// Writes every image of the show. The table below is the one place that says which
// file holds what, at which size; generation is deterministic, so the files are
// identical from run to run and machine to machine (same compiler and flags).
#include "AssetGen.h"
#include "images/EnvMap.h"
#include "images/ImageSet.h"
#include "images/Logo.h"
#include "images/Masks.h"
#include "images/Patterns.h"
#include "images/Sky.h"
#include "images/Space.h"
#include "images/Surfaces.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace assetgen::images {

const std::vector<ImageFile>& imageFiles()
{
    static const std::vector<ImageFile> files = {
        {"img/skytex.png", 2048, 1024, 3, true, [](int w, int h) { return shadedPanorama(w, h, skyColor); }},
        {"img/envmap.png", 1024, 512, 3, true, [](int w, int h) { return shadedPanorama(w, h, environmentColor); }},
        {"img/vignette.png", 1024, 576, 3, true, makeVignette},
        {"vignette.png", 1024, 576, 3, true, makeVignette},
        {"img/vantor.png", 2048, 512, 4, false, makeLogo},
        {"img/particle.png", 64, 64, 4, false, [](int size, int) { return makeParticle(size); }},
        {"crack.png", 1024, 1024, 3, false, [](int size, int) { return makeCrack(size); }},
        {"zebra.png", 512, 512, 3, false, [](int size, int) { return makeZebra(size); }},
        {"models/nokka_diffuse.png", 512, 512, 3, false, [](int size, int) { return makeNokka(size); }},
        {"img/brass2.png", 512, 512, 3, false, [](int size, int) { return makeBrass(size); }},
        {"space.png", 1024, 1024, 3, false, [](int size, int) { return makeSpace(size); }},
        {"tavlo.png", 512, 512, 3, false, [](int size, int) { return makeTavlo(size); }},
    };
    return files;
}

bool writeImageFile(const ImageFile& file, const std::string& dataDir)
{
    const std::filesystem::path path = std::filesystem::path(dataDir) / file.path;
    std::error_code error;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        std::fprintf(stderr, "assetgen: cannot create %s: %s\n", path.parent_path().string().c_str(),
                     error.message().c_str());
        return false;
    }
    const Raster raster = file.make(file.width, file.height);
    if (!raster.allFinite()) {
        std::fprintf(stderr, "assetgen: %s has non-finite pixels; not written\n", path.string().c_str());
        return false;
    }
    return writePng(raster, path.string(), file.channels, file.dither);
}

} // namespace assetgen::images

namespace assetgen {

bool generateImages(const std::string& dataDir)
{
    bool ok = true;
    for (const images::ImageFile& file : images::imageFiles())
        ok = writeImageFile(file, dataDir) && ok;
    return ok;
}

} // namespace assetgen

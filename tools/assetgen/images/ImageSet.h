// The list of images the show reads from its data directory, with the size and channel
// count each is written with, and the writer that puts them on disk.
#pragma once

#include "images/Raster.h"

#include <string>
#include <vector>

namespace assetgen::images {

struct ImageFile {
    const char* path; // relative to the data directory, '/'-separated
    int width;
    int height;
    int channels; // 3 (RGB) or 4 (RGBA): the texture loader uploads nothing else
    bool dither;  // ordered dither against banding in smooth gradients
    Raster (*make)(int width, int height);
};

const std::vector<ImageFile>& imageFiles();

// Generates one image and writes it under dataDir, creating missing folders; reports
// any failure on standard error and returns false.
bool writeImageFile(const ImageFile& file, const std::string& dataDir);

} // namespace assetgen::images

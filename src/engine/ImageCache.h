// Decoded images by path. Several models of a scene share one image (the environment map
// of every part of an animation), so each path is decoded once, and an image that does not
// decode is reported once, naming the file and the reason. The pixels are kept until
// release(), which the program calls once everything has loaded.
#pragma once

#include <memory>
#include <string>

namespace Tarvo {

struct DecodedImage {
    int width = 0;
    int height = 0;
    int components = 0; // 0 when the file did not decode
    // Rows as the decoder delivers them, 8 bits a channel; null when it did not decode.
    std::shared_ptr<const unsigned char> pixels;
};

class ImageCache {
public:
    // The image at path, decoding it on the first request. Safe to call from several
    // threads: a second request for a path being decoded waits for that decode.
    static std::shared_ptr<const DecodedImage> get(const std::string& path);
    // Drops every decoded image; paths already reported as broken stay reported.
    static void release();
};

} // namespace Tarvo

// Decoded images by path. Several models of a scene share one image (the environment map
// of every part of an animation), so each path is decoded once, and an image that does not
// decode is reported once, naming the file and the reason. The pixels are kept until
// release(), which the cache's owner calls once everything has loaded.
#pragma once

#include <memory>
#include <string>

namespace Tarvo {

struct DecodedImage {
    int width = 0;
    int height = 0;
    int components = 0; // the file's own channels; 0 when it did not decode
    // Channels of pixels: an RGB file comes widened to RGBA, which GL takes without
    // converting it on the GL thread (the texture stays RGB).
    int channels = 0;
    // Rows as the decoder delivers them, 8 bits a channel; null when it did not decode.
    std::shared_ptr<const unsigned char> pixels;
    std::string failure; // the decoder's reason when it did not decode
};

// One per loading (Loading owns it); used from any thread. Not copyable: it holds the
// decodes in flight.
class ImageCache {
public:
    ImageCache();
    ~ImageCache();

    // The image at path, decoding it on the first request (or waiting for the decode
    // prefetch started). A file that does not decode is reported here, on the caller's
    // thread, the first time it is asked for.
    std::shared_ptr<const DecodedImage> get(const std::string& path);
    // Starts decoding the image on a thread of its own, unless it is decoded or being
    // decoded already; get() collects it.
    void prefetch(const std::string& path);
    // Drops every decoded image; paths already reported as broken stay reported.
    void release();

private:
    struct State;
    std::unique_ptr<State> state;
};

} // namespace Tarvo

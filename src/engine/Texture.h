// Image files into GL textures. loadTexture is the one every user calls (PNG and the other
// formats the image decoder knows); the BMP and DDS readers serve hand-made assets.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

// Decodes the image and uploads it as a mip-mapped 2D texture (RGB and RGBA images only).
// Always returns a texture name: an image that cannot be read gives a texture without an
// image, which samples as incomplete. The texture is left bound on the active unit.
// mirrored selects mirrored-repeat wrapping instead of repeat.
GLuint loadTexture(const char* path, bool mirrored);

namespace Tarvo {

class Loading;

// While one lives (on the GL thread) and its loading is current, loadTexture hands its
// texture back at once and the image is decoded on another thread; finish(), or the end of
// the scope, uploads every image in the order they were asked for. A scene built inside one
// decodes its images while it compiles shaders and reads meshes; it must not draw before
// the upload.
class BackgroundTextureLoads {
public:
    explicit BackgroundTextureLoads(Loading& loading);
    ~BackgroundTextureLoads();
    BackgroundTextureLoads(const BackgroundTextureLoads&) = delete;
    BackgroundTextureLoads& operator=(const BackgroundTextureLoads&) = delete;

    void finish();
    void defer(GLuint texture, const std::string& path);

private:
    struct Pending {
        GLuint texture;
        std::string path;
    };
    Loading& loading;
    std::vector<Pending> textures;
};

} // namespace Tarvo

// Uncompressed 24-bit BMP files. Returns 0 (with a message) for anything else.
GLuint loadBmpTexture(const char* path);

// DDS files holding DXT1, DXT3 or DXT5 data, with their mip levels. Returns 0 (with a
// message) for anything else.
GLuint loadDdsTexture(const char* path);

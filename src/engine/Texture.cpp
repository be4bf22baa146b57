// Texture loaders: the decoder-based loader every image of the show goes through, and the
// BMP and DDS readers. The file layouts are judged without GL (ImageFiles); a short or
// lying file gives a message and no texture instead of a read past its end.
#include "engine/Texture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "engine/ImageCache.h"
#include "engine/ImageFiles.h"
#include "engine/LoadProgress.h"
#include "engine/Loading.h"

namespace {

// Sets GL's row alignment for uploads for as long as it lives, then gives the caller's
// back, so a loader never leaves its own alignment behind.
class ScopedUnpackAlignment {
public:
    explicit ScopedUnpackAlignment(GLint alignment)
    {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &previous);
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    }
    ~ScopedUnpackAlignment() { glPixelStorei(GL_UNPACK_ALIGNMENT, previous); }
    ScopedUnpackAlignment(const ScopedUnpackAlignment&) = delete;
    ScopedUnpackAlignment& operator=(const ScopedUnpackAlignment&) = delete;

private:
    GLint previous = 4;
};

void setMipmappedParameters(GLint wrap)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
}

} // namespace

namespace Tarvo {

namespace {

// The image at path from the current loading's cache; without one, decoded for this call
// alone.
std::shared_ptr<const DecodedImage> imageAt(const std::string& path)
{
    if (Loading* loading = Loading::current())
        return loading->images().get(path);
    return ImageCache().get(path);
}

// Level 0 and the mipmaps of the bound texture, for RGB and RGBA images; other images
// (grey ones, and files that did not decode) leave the texture without an image.
void uploadImage(const DecodedImage* image)
{
    const int components = image ? image->components : 0;
    if (components != 3 && components != 4)
        return;
    const unsigned char* pixels = image->pixels.get();
    GLenum format = image->channels == 4 ? GL_RGBA : GL_RGB;
#ifdef __EMSCRIPTEN__
    // OpenGL ES (WebGL) takes only pixels of the texture's own layout: an RGB file widened
    // to RGBA gives up its alpha here, where desktop GL drops it while uploading.
    std::vector<unsigned char> repacked;
    if (components == 3 && image->channels == 4) {
        const std::size_t count = static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
        repacked.resize(count * 3);
        for (std::size_t i = 0; i < count; ++i)
            std::copy_n(pixels + 4 * i, 3, repacked.data() + 3 * i);
        pixels = repacked.data();
        format = GL_RGB;
    }
#endif
    {
        // Decoded rows are tightly packed; with GL's default alignment of 4 an RGB image
        // whose width is not a multiple of 4 would be read past its end.
        const ScopedUnpackAlignment packed(1);
        const GLenum internal = components == 3 ? GL_RGB : GL_RGBA;
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internal), image->width, image->height, 0, format,
            GL_UNSIGNED_BYTE, pixels);
    }
    glGenerateMipmap(GL_TEXTURE_2D);
}

} // namespace

BackgroundTextureLoads::BackgroundTextureLoads(Loading& loading) : loading(loading)
{
    if (loading.deferred)
        std::fprintf(stderr, "BackgroundTextureLoads: one is active already; textures load in the outer one\n");
    else
        loading.deferred = this;
}

BackgroundTextureLoads::~BackgroundTextureLoads()
{
    finish();
}

void BackgroundTextureLoads::finish()
{
    if (loading.deferred != this)
        return;
    loading.deferred = nullptr;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    for (const Pending& pending : textures) {
        const LoadStep step(LoadPhase::Textures, false);
        const auto image = loading.images().get(pending.path);
        glBindTexture(GL_TEXTURE_2D, pending.texture);
        uploadImage(image.get());
    }
    textures.clear();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

void BackgroundTextureLoads::defer(GLuint texture, const std::string& path)
{
    loading.images().prefetch(path);
    textures.push_back({ texture, path });
}

} // namespace Tarvo

GLuint loadTexture(const char* path, bool mirrored)
{
    const Tarvo::LoadStep step(Tarvo::LoadPhase::Textures);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    setMipmappedParameters(mirrored ? GL_MIRRORED_REPEAT : GL_REPEAT);
    Tarvo::Loading* loading = Tarvo::Loading::current();
    if (path && loading && loading->deferredTextures()) {
        loading->deferredTextures()->defer(texture, path);
        return texture;
    }
    // A missing or broken image is an empty texture, reported once by the cache.
    const auto image = path ? Tarvo::imageAt(path) : nullptr;
    Tarvo::uploadImage(image.get());
    return texture;
}

GLuint loadBmpTexture(const char* path)
{
    const Tarvo::LoadStep step(Tarvo::LoadPhase::Textures);
    std::printf("Reading image %s\n", path);
    std::vector<std::uint8_t> bytes;
    if (!Tarvo::readFileBytes(path, bytes)) {
        std::printf("%s could not be opened. Are you in the right directory ? Don't forget "
                    "to read the FAQ !\n",
            path);
        return 0;
    }
    Tarvo::BmpImage image;
    std::string tooLarge;
    if (!Tarvo::parseBmp(bytes, image, &tooLarge)) {
        std::printf("Not a correct BMP file\n");
        if (!tooLarge.empty())
            std::printf("%s: %s\n", path, tooLarge.c_str());
        return 0;
    }

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLenum order = GL_BGR;
#ifdef __EMSCRIPTEN__
    // OpenGL ES has no BGR uploads: the rows are turned into RGB here.
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t(3);
    for (std::size_t row = 0; row < static_cast<std::size_t>(image.height); ++row)
        for (std::size_t x = 0; x < static_cast<std::size_t>(image.width); ++x)
            std::swap(image.pixels[row * stride + 3 * x], image.pixels[row * stride + 3 * x + 2]);
    order = GL_RGB;
#endif
    {
        // BMP rows are padded to 4 bytes.
        const ScopedUnpackAlignment padded(4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, image.width, image.height, 0, order,
            GL_UNSIGNED_BYTE, image.pixels.data());
    }
    setMipmappedParameters(GL_REPEAT);
    glGenerateMipmap(GL_TEXTURE_2D);
    return texture;
}

GLuint loadDdsTexture(const char* path)
{
    const Tarvo::LoadStep step(Tarvo::LoadPhase::Textures);
    std::vector<std::uint8_t> bytes;
    if (!Tarvo::readFileBytes(path, bytes)) {
        std::printf("%s could not be opened.\n", path);
        return 0;
    }
    Tarvo::DdsImage image;
    std::string tooLarge;
    switch (Tarvo::parseDds(bytes, image, &tooLarge)) {
    case Tarvo::DdsResult::NotDds:
        std::printf("%s is not a DDS file.\n", path);
        return 0;
    case Tarvo::DdsResult::Unsupported:
        std::printf("%s: unsupported DDS data.\n", path);
        return 0;
    case Tarvo::DdsResult::TooLarge:
        std::printf("%s: %s.\n", path, tooLarge.c_str());
        return 0;
    case Tarvo::DdsResult::NoImage:
        std::printf("%s: DDS file ends before its first image.\n", path);
        return 0;
    case Tarvo::DdsResult::Ok:
        break;
    }
    const GLenum format = image.format == Tarvo::DdsFormat::Dxt1 ? GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
        : image.format == Tarvo::DdsFormat::Dxt3                 ? GL_COMPRESSED_RGBA_S3TC_DXT3_EXT
                                                                 : GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const ScopedUnpackAlignment packed(1);
    for (std::size_t level = 0; level < image.levels.size(); ++level) {
        const Tarvo::DdsLevel& l = image.levels[level];
        glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), format,
            static_cast<GLsizei>(l.width), static_cast<GLsizei>(l.height), 0,
            static_cast<GLsizei>(l.size), bytes.data() + l.offset);
    }
    // Only the levels that were uploaded exist; sampling stays complete.
    const auto levels = static_cast<GLint>(image.levels.size());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, levels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    return texture;
}

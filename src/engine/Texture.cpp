// Texture loaders: the decoder-based loader every image of the show goes through, and the
// BMP and DDS readers. Every reader checks sizes against the bytes it actually has, so a
// short or lying file gives a message and no texture instead of a read past its end.
#include "engine/Texture.h"

#include <stb_image.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Largest side the readers accept; far above anything the show loads, it keeps size
// arithmetic from overflowing on a corrupt header.
constexpr std::uint32_t maxTextureSide = 16384;

std::uint32_t readLe32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8)
        | (static_cast<std::uint32_t>(bytes[2]) << 16)
        | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::uint16_t readLe16(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

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

GLuint loadTexture(const char* path, bool mirrored)
{
    int width = 0;
    int height = 0;
    int components = 0;
    // The decoder keeps its own failure reason; a missing image is an empty texture.
    unsigned char* pixels = path ? stbi_load(path, &width, &height, &components, 0) : nullptr;
    if (pixels == nullptr)
        components = 0;

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);

    {
        // Decoded rows are tightly packed; with GL's default alignment of 4 an RGB image
        // whose width is not a multiple of 4 would be read past its end.
        const ScopedUnpackAlignment packed(1);
        if (components == 3) {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                pixels);
        } else if (components == 4) {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA,
                GL_UNSIGNED_BYTE, pixels);
        }
    }

    setMipmappedParameters(mirrored ? GL_MIRRORED_REPEAT : GL_REPEAT);
    // A texture without an image has no levels to build from.
    if (components == 3 || components == 4)
        glGenerateMipmap(GL_TEXTURE_2D);

    if (pixels)
        stbi_image_free(pixels);
    return texture;
}

GLuint loadBmpTexture(const char* path)
{
    std::printf("Reading image %s\n", path);
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        std::printf("%s could not be opened. Are you in the right directory ? Don't forget "
                    "to read the FAQ !\n",
            path);
        return 0;
    }

    constexpr std::size_t headerSize = 54;
    unsigned char header[headerSize];
    file.read(reinterpret_cast<char*>(header), headerSize);
    const bool headerComplete = static_cast<std::size_t>(file.gcount()) == headerSize;
    if (!headerComplete || header[0] != 'B' || header[1] != 'M' || readLe32(header + 30) != 0
        || readLe16(header + 28) != 24) {
        std::printf("Not a correct BMP file\n");
        return 0;
    }

    // Negative heights (top-down files) and absurd sizes are refused rather than trusted.
    const std::int32_t width = static_cast<std::int32_t>(readLe32(header + 18));
    const std::int32_t height = static_cast<std::int32_t>(readLe32(header + 22));
    if (width <= 0 || height <= 0 || static_cast<std::uint32_t>(width) > maxTextureSide
        || static_cast<std::uint32_t>(height) > maxTextureSide) {
        std::printf("Not a correct BMP file\n");
        return 0;
    }
    // BMP rows are padded to 4 bytes, which is also GL's default unpack alignment.
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    const std::size_t needed = rowBytes * static_cast<std::size_t>(height);
    std::size_t imageSize = readLe32(header + 34);
    if (imageSize == 0 || imageSize < needed)
        imageSize = needed;

    std::vector<unsigned char> data(imageSize);
    file.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(imageSize));
    if (static_cast<std::size_t>(file.gcount()) < needed) {
        std::printf("Not a correct BMP file\n");
        return 0;
    }

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    {
        const ScopedUnpackAlignment padded(4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_BGR, GL_UNSIGNED_BYTE,
            data.data());
    }
    setMipmappedParameters(GL_REPEAT);
    glGenerateMipmap(GL_TEXTURE_2D);
    return texture;
}

GLuint loadDdsTexture(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        std::printf("%s could not be opened.\n", path);
        return 0;
    }
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
        std::istreambuf_iterator<char>());

    constexpr std::size_t magicSize = 4;
    constexpr std::size_t headerSize = 124;
    if (bytes.size() < magicSize + headerSize || std::memcmp(bytes.data(), "DDS ", 4) != 0) {
        std::printf("%s is not a DDS file.\n", path);
        return 0;
    }
    const unsigned char* header = bytes.data() + magicSize;
    std::uint32_t height = readLe32(header + 8);
    std::uint32_t width = readLe32(header + 12);
    std::uint32_t mipMapCount = readLe32(header + 24);
    const char* fourCC = reinterpret_cast<const char*>(header + 80);

    GLenum format = 0;
    if (std::memcmp(fourCC, "DXT1", 4) == 0)
        format = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
    else if (std::memcmp(fourCC, "DXT3", 4) == 0)
        format = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    else if (std::memcmp(fourCC, "DXT5", 4) == 0)
        format = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    if (format == 0 || width == 0 || height == 0 || width > maxTextureSide
        || height > maxTextureSide) {
        std::printf("%s: unsupported DDS data.\n", path);
        return 0;
    }
    // Writers that leave the mip count unset mean one level.
    if (mipMapCount == 0)
        mipMapCount = 1;

    const std::size_t blockSize = (format == GL_COMPRESSED_RGBA_S3TC_DXT1_EXT) ? 8 : 16;
    const unsigned char* data = header + headerSize;
    const std::size_t available = bytes.size() - magicSize - headerSize;

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const ScopedUnpackAlignment packed(1);
    std::size_t offset = 0;
    std::uint32_t levels = 0;
    for (std::uint32_t level = 0; level < mipMapCount && (width || height); ++level) {
        const std::size_t size = static_cast<std::size_t>((width + 3) / 4)
            * ((height + 3) / 4) * blockSize;
        // A file shorter than its header claims keeps the levels it really holds.
        if (size > available - offset)
            break;
        glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), format,
            static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
            static_cast<GLsizei>(size), data + offset);
        offset += size;
        ++levels;
        width /= 2;
        height /= 2;
        // A non-square texture keeps a side of 1 until both sides are down to 1.
        if (width == 0 && height != 0)
            width = 1;
        if (height == 0 && width != 0)
            height = 1;
    }
    if (levels == 0) {
        std::printf("%s: DDS file ends before its first image.\n", path);
        glDeleteTextures(1, &texture);
        return 0;
    }
    // Only the levels that were uploaded exist; sampling stays complete.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
        levels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    return texture;
}

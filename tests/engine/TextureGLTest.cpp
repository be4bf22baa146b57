// Texture loaders: decoded PNGs with their mip chains and wrap modes, images that are not
// uploaded, and the BMP and DDS readers on good, foreign and short files.
#include <gtest/gtest.h>

#include <cstring>

#include "EngineTestUtil.h"
#include "engine/Texture.h"
#include "support/CapturedOutput.h"

using namespace enginetest;
using testsupport::CapturedOutput;

namespace {

GLint levelParameter(GLint level, GLenum parameter)
{
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

GLint textureParameter(GLenum parameter)
{
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

std::vector<std::uint8_t> level0Bytes(GLenum format, int width, int height, int channels)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

std::vector<std::uint8_t> pattern(int width, int height, int channels)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>((i * 37 + 11) % 256);
    return pixels;
}

void putLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A 24-bit BMP whose pixels are given as RGB rows, bottom row first; rows padded to 4.
std::vector<std::uint8_t> makeBmp(int width, int height, const std::vector<std::uint8_t>& rgb,
    std::uint32_t declaredImageSize)
{
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    std::vector<std::uint8_t> bytes(54 + rowBytes * height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLe32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    putLe32(bytes, 10, 54);
    putLe32(bytes, 14, 40);
    putLe32(bytes, 18, static_cast<std::uint32_t>(width));
    putLe32(bytes, 22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    putLe32(bytes, 34, declaredImageSize);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t from = (static_cast<std::size_t>(y) * width + x) * 3;
            const std::size_t to = 54 + y * rowBytes + x * 3;
            bytes[to] = rgb[from + 2]; // stored blue, green, red
            bytes[to + 1] = rgb[from + 1];
            bytes[to + 2] = rgb[from];
        }
    }
    return bytes;
}

// A DDS file of DXT1 blocks that all decode to pure red; mipCount levels declared, the
// data of dataLevels levels present.
std::vector<std::uint8_t> makeDds(const char* fourCC, std::uint32_t side, std::uint32_t mipCount,
    std::uint32_t dataLevels)
{
    std::vector<std::uint8_t> bytes(4 + 124, 0);
    std::memcpy(bytes.data(), "DDS ", 4);
    putLe32(bytes, 4, 124);
    putLe32(bytes, 4 + 8, side);
    putLe32(bytes, 4 + 12, side);
    putLe32(bytes, 4 + 16, ((side + 3) / 4) * ((side + 3) / 4) * 8);
    putLe32(bytes, 4 + 24, mipCount);
    std::memcpy(bytes.data() + 4 + 80, fourCC, 4);
    std::uint32_t w = side;
    for (std::uint32_t level = 0; level < dataLevels; ++level) {
        const std::uint32_t blocks = ((w + 3) / 4) * ((w + 3) / 4);
        for (std::uint32_t b = 0; b < blocks; ++b) {
            // colour0 = red (RGB565 0xF800), colour1 = black, every index 0.
            for (std::uint8_t byte : { 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00 })
                bytes.push_back(byte);
        }
        w = w > 1 ? w / 2 : 1;
    }
    return bytes;
}

class TextureGLTest : public EngineGLTest {};

// DDS files of DXT1 blocks, where the GL takes S3TC at all.
class DdsTextureGLTest : public TextureGLTest {
protected:
    void SetUp() override
    {
        TextureGLTest::SetUp();
        if (!GLEW_EXT_texture_compression_s3tc)
            GTEST_SKIP() << "this GL has no S3TC support";
    }
};

} // namespace

TEST_F(TextureGLTest, RgbaPngGivesRgbaTextureWithFullMipChain)
{
    const auto pixels = pattern(8, 4, 4);
    const auto path = writePng(scratch, "rgba.png", 8, 4, 4, pixels);
    const GLuint texture = loadTexture(path.c_str(), false);
    ASSERT_NE(texture, 0u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture) << "left bound on the active unit";

    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 4);
    // 8x4, 4x2, 2x1, 1x1.
    EXPECT_EQ(levelParameter(3, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelParameter(3, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(level0Bytes(GL_RGBA, 8, 4, 4), pixels) << "rows as decoded, no flip";

    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    glDeleteTextures(1, &texture);
}

TEST_F(TextureGLTest, MirroredSetsMirroredRepeatOnBothAxes)
{
    const auto path = writePng(scratch, "rgba.png", 2, 2, 4, pattern(2, 2, 4));
    const GLuint texture = loadTexture(path.c_str(), true);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);
    glDeleteTextures(1, &texture);
}

TEST_F(TextureGLTest, RgbRowsOfOddWidthArriveIntactAndAlignmentIsKept)
{
    // 5 RGB pixels make 15-byte rows: the decoder packs them tightly.
    const auto pixels = pattern(5, 3, 3);
    const auto path = writePng(scratch, "rgb.png", 5, 3, 3, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const GLuint texture = loadTexture(path.c_str(), false);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    EXPECT_EQ(level0Bytes(GL_RGB, 5, 3, 3), pixels);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    glDeleteTextures(1, &texture);
}

TEST_F(TextureGLTest, MissingOrGreyImagesGiveANameWithoutAnImage)
{
    const auto grey = writePng(scratch, "grey.png", 4, 4, 1, pattern(4, 4, 1));
    const auto greyAlpha = writePng(scratch, "greyalpha.png", 4, 4, 2, pattern(4, 4, 2));
    const auto notImage = scratch.write("text.png", "not an image");
    const auto missing = scratch.file("missing.png");
    while (glGetError() != GL_NO_ERROR) {
    }
    CapturedOutput out;
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& path : { grey, greyAlpha, notImage, missing }) {
            const GLuint texture = loadTexture(path.c_str(), false);
            EXPECT_NE(texture, 0u) << path;
            EXPECT_TRUE(glIsTexture(texture)) << path;
            EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 0) << path;
            glDeleteTextures(1, &texture);
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "nothing invalid reached GL";
    // Files that do not decode are named with the decoder's reason, once each; grey images
    // decode and are simply not uploaded.
    const std::string log = out.take();
    for (const auto& path : { notImage, missing }) {
        const std::string line = "Image " + path + " cannot be decoded: ";
        const auto first = log.find(line);
        EXPECT_NE(first, std::string::npos) << log;
        EXPECT_EQ(log.find(line, first + 1), std::string::npos) << "said once\n" << log;
    }
    EXPECT_EQ(log.find(grey), std::string::npos) << log;
}

TEST_F(TextureGLTest, BmpWithPaddedRowsUploadsAsRgb)
{
    const auto rgb = pattern(3, 2, 3);
    const auto path = scratch.write("image.bmp", makeBmp(3, 2, rgb, 0));
    CapturedOutput out;
    const GLuint texture = loadBmpTexture(path.c_str());
    EXPECT_EQ(out.take(), "Reading image " + path + "\n");
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(level0Bytes(GL_RGB, 3, 2, 3), rgb);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 1);
    glDeleteTextures(1, &texture);
}

TEST_F(TextureGLTest, BmpFailuresReturnZeroWithTheirMessages)
{
    const auto missing = scratch.file("missing.bmp");
    {
        CapturedOutput out;
        EXPECT_EQ(loadBmpTexture(missing.c_str()), 0u);
        EXPECT_EQ(out.take(), "Reading image " + missing + "\n" + missing
                + " could not be opened. Are you in the right directory ? Don't forget to read "
                  "the FAQ !\n");
    }
    auto wrongDepth = makeBmp(2, 2, pattern(2, 2, 3), 0);
    wrongDepth[28] = 32;
    auto compressed = makeBmp(2, 2, pattern(2, 2, 3), 0);
    compressed[30] = 1;
    auto truncated = makeBmp(4, 4, pattern(4, 4, 3), 0);
    truncated.resize(truncated.size() - 5);
    // A header whose image size lies about the data may not make the reader go past it.
    auto lyingSize = makeBmp(2, 2, pattern(2, 2, 3), 4);
    lyingSize.resize(54 + 4);
    // An image-size field of almost 4 GiB over a 2 x 2 picture that is not all there.
    auto hugeClaim = makeBmp(2, 2, pattern(2, 2, 3), 0xFFFFFFF0u);
    hugeClaim.resize(54 + 12);
    const std::vector<std::vector<std::uint8_t>> bad = { { 'B', 'M', 0 }, wrongDepth, compressed,
        truncated, lyingSize, hugeClaim, std::vector<std::uint8_t>(60, 'x') };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const auto path = scratch.write("bad" + std::to_string(i) + ".bmp", bad[i]);
        CapturedOutput out;
        EXPECT_EQ(loadBmpTexture(path.c_str()), 0u) << i;
        EXPECT_EQ(out.take(), "Reading image " + path + "\nNot a correct BMP file\n") << i;
    }
}

TEST_F(DdsTextureGLTest, DdsDxt1LevelsUploadAndDecode)
{
    const auto path = scratch.write("red.dds", makeDds("DXT1", 8, 4, 4));
    const GLuint texture = loadDdsTexture(path.c_str());
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_S3TC_DXT1_EXT);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE), 4 * 8);
    EXPECT_EQ(levelParameter(3, GL_TEXTURE_WIDTH), 1);
    const auto pixels = level0Bytes(GL_RGBA, 8, 8, 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i], 255);
        ASSERT_EQ(pixels[i + 1], 0);
        ASSERT_EQ(pixels[i + 2], 0);
    }
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's unpack alignment is restored";
    glDeleteTextures(1, &texture);
}

TEST_F(DdsTextureGLTest, DdsShorterThanItsHeaderKeepsTheLevelsItHolds)
{
    const auto path = scratch.write("short.dds", makeDds("DXT1", 8, 4, 2));
    const GLuint texture = loadDdsTexture(path.c_str());
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAX_LEVEL), 1);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelParameter(2, GL_TEXTURE_WIDTH), 0);
    glDeleteTextures(1, &texture);
}

TEST_F(TextureGLTest, DdsThatCannotBeUsedReturnsZero)
{
    auto noData = makeDds("DXT5", 8, 1, 0);
    auto notDds = makeDds("DXT1", 8, 1, 1);
    notDds[0] = 'X';
    const std::vector<std::vector<std::uint8_t>> bad = { makeDds("ATI2", 8, 1, 1), noData, notDds,
        { 'D', 'D', 'S', ' ' } };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const auto path = scratch.write("bad" + std::to_string(i) + ".dds", bad[i]);
        CapturedOutput out;
        EXPECT_EQ(loadDdsTexture(path.c_str()), 0u) << i;
        EXPECT_NE(out.take(), "") << "a failure says why: " << i;
    }
    const auto missing = scratch.file("missing.dds");
    CapturedOutput out;
    EXPECT_EQ(loadDdsTexture(missing.c_str()), 0u);
}

#include "support/FramePattern.h"

namespace testsupport {

namespace {

constexpr Rgb black { 0, 0, 0 };
constexpr Rgb red { 255, 0, 0 };
constexpr Rgb green { 0, 255, 0 };
constexpr Rgb blue { 0, 0, 255 };
constexpr Rgb white { 255, 255, 255 };

void clearRect(int x, int y, int w, int h, Rgb c)
{
    glScissor(x, y, w, h);
    glClearColor(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace

void fillQuadrants(GLuint framebuffer, int width, int height)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glEnable(GL_SCISSOR_TEST);
    const int w = width / 2;
    const int h = height / 2;
    clearRect(0, 0, w, h, red);
    clearRect(w, 0, width - w, h, green);
    clearRect(0, h, w, height - h, blue);
    clearRect(w, h, width - w, height - h, white);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

void expectQuadrantsAt(const std::function<Rgb(int, int)>& pixel, Placement r, int screenWidth, int screenHeight)
{
    const int inset = 3;
    const int left = r.x + inset, right = r.x + r.width - 1 - inset;
    const int bottom = r.y + inset, top = r.y + r.height - 1 - inset;
    EXPECT_EQ(pixel(left, bottom), red) << "bottom left";
    EXPECT_EQ(pixel(right, bottom), green) << "bottom right";
    EXPECT_EQ(pixel(left, top), blue) << "top left";
    EXPECT_EQ(pixel(right, top), white) << "top right";
    // The halves meet in the middle of the placement.
    EXPECT_EQ(pixel(r.x + r.width / 2 - 2, r.y + r.height / 4), red);
    EXPECT_EQ(pixel(r.x + r.width / 2 + 2, r.y + r.height / 4), green);
    // Bars, where there are any, are black right up to the picture.
    if (r.y > 0) {
        EXPECT_EQ(pixel(r.x + r.width / 2, r.y - 1), black) << "below";
        EXPECT_EQ(pixel(r.x + r.width / 2, 0), black);
        EXPECT_EQ(pixel(r.x + r.width / 2, r.y + r.height), black) << "above";
        EXPECT_EQ(pixel(5, screenHeight - 1), black);
    }
    if (r.x > 0) {
        EXPECT_EQ(pixel(r.x - 1, r.y + r.height / 2), black) << "left";
        EXPECT_EQ(pixel(r.x + r.width, r.y + r.height / 2), black) << "right";
        EXPECT_EQ(pixel(screenWidth - 1, 5), black);
    }
}

} // namespace testsupport

// A frame whose four quadrants have four colours, for tests of how a frame reaches a
// screen: a crop, a flip, a stretch or a shift each shows at a corner of where it lands.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace testsupport {

using Rgb = std::array<int, 3>;

// Fills the width x height frame in framebuffer: red bottom left, green bottom right, blue
// top left, white top right. Leaves the clear colour at (0, 0, 0, 0) and scissoring off.
void fillQuadrants(GLuint framebuffer, int width, int height);

// Where a frame landed in a screen, bottom-up as GL counts.
struct Placement {
    int x, y, width, height;
};

// Checks the quadrants at the corners of placement and black bars around it, reading the
// screen's pixels through pixel(x, y); screenWidth x screenHeight is the whole screen.
void expectQuadrantsAt(const std::function<Rgb(int, int)>& pixel, Placement placement, int screenWidth,
    int screenHeight);

} // namespace testsupport

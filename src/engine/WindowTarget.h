// The window as the bound-target stack sees it. Every frame is drawn at the frame size
// (1920x1080 for the show). When the window's framebuffer has that size the frame goes
// straight into it and presenting costs nothing; when it has another (a desktop that is
// not 1920x1080, display scaling, a resized window) the frame goes to an off-screen stand-in
// of the frame size, and presenting scales it into the framebuffer with its aspect kept
// and black bars where the shapes differ.
#pragma once

#include <GL/glew.h>

namespace Tarvo {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

// The largest rectangle of the frame's shape that fits an area, centred: the whole area
// when the shapes match, else bars on two sides (letterbox or pillarbox). Sizes below 1 give
// an empty rectangle.
PixelRect fitFrame(int frameWidth, int frameHeight, int areaWidth, int areaHeight);

class WindowTarget {
public:
    WindowTarget(int frameWidth, int frameHeight);
    ~WindowTarget();
    WindowTarget(const WindowTarget&) = delete;
    WindowTarget& operator=(const WindowTarget&) = delete;

    // Chooses where the next frames go for a window framebuffer of this size; called once
    // the window exists and again after each shown frame (the size can change at any
    // time). Makes or drops the stand-in as needed.
    void follow(int framebufferWidth, int framebufferHeight);
    // What "the window" means to the frame: 0, or the stand-in while scaling.
    GLuint framebuffer() const { return scaling() ? standIn : 0; }
    bool scaling() const { return standIn != 0; }
    int frameWidth() const { return width; }
    int frameHeight() const { return height; }
    // Where the frame lands in the framebuffer.
    PixelRect placement() const { return fitFrame(width, height, areaWidth, areaHeight); }

    // Puts the drawn frame into the window's framebuffer (or destination, as tests do),
    // scaled into placement() over black. Does nothing when not scaling. It draws a
    // textured quad rather than blitting, since a window's framebuffer may be multisampled
    // and a scaling blit into one is not allowed. GL state is left as it was found.
    void present(GLuint destination = 0);

private:
    void makeStandIn();
    void dropStandIn();
    bool makeProgram();

    int width;
    int height;
    int areaWidth;
    int areaHeight;
    GLuint standIn = 0;
    GLuint colour = 0; // a texture, sampled when presenting
    GLuint depth = 0;
    // Made the first time the frame is scaled: the scaling pass's own program and vertex
    // array (it has no vertex data: the corners come from the vertex index).
    GLuint program = 0;
    GLuint vertexArray = 0;
};

} // namespace Tarvo

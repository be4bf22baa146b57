// The studio's overlay on the window: lines of text on a translucent panel in the top-left
// corner, drawn after the scene's last pass. Text comes from the engine's font atlas (the
// DejaVu Sans Mono font Debian installs), uploaded once as a coverage texture; the panel and
// the glyphs are drawn with one small program of its own, which is reloaded like any other.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include "engine/FontAtlas.h"
#include "studio/OverlayText.h"

namespace studio {

class Overlay {
public:
    // Glyphs about windowHeight / 48 pixels tall (10 to 20).
    explicit Overlay(int windowHeight);
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // False when no text can be drawn (no font); problem() says why.
    bool ready() const { return texture != 0; }
    const std::string& problem() const { return font.error(); }
    // Characters that fit across a panel in a window this wide.
    int columns(int windowWidth) const;
    // Lines that fit down a window this tall, and the line at y pixels from the top
    // (negative above the first).
    int lines(int windowHeight) const;
    int lineAt(double y) const;
    double lineHeight() const;

    // Draws into the window (framebuffer 0) over what is there, leaving the GL state as
    // the show's passes expect it (blending and depth test as they were).
    void draw(const std::vector<OverlayLine>& lines, int windowWidth, int windowHeight);

private:
    Tarvo::FontAtlas font;
    GLuint texture = 0;
    GLuint buffer = 0;
    GLuint program = 0;
    float advance = 0.0f; // one monospaced character
    std::vector<float> vertices;
};

} // namespace studio

// A small screen-space text overlay drawn from a 16 x 16 glyph grid image. It reads the
// program "TextVertexShader.vertexshader" / "TextVertexShader.fragmentshader" from the
// working directory, whose vertex shader maps its screen-space positions to clip space.
#pragma once

// Loads the font image and the program and creates the two vertex buffers. Calling it
// again releases what the previous call created first.
void initTextOverlay(const char* fontImagePath);

// Draws text with its lower-left corner at (x, y): each character is a size x size square,
// advancing by size along x, with alpha blending on for the draw (off afterwards).
// Does nothing before initTextOverlay.
void printTextOverlay(const char* text, int x, int y, int size);

// Releases the buffers, the font texture and the program.
void cleanupTextOverlay();

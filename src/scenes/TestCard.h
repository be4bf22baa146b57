// A test picture rendered through the whole post-processing scene pipeline (scene
// framebuffer, compositing, post-processing, FXAA): bars that move with time, a vertical
// brightness ramp and a colour that cycles once a second. Every row gives a different
// picture and the top of the picture is bright, so a capture that mixes up rows or turns
// pictures upside down shows it.
#pragma once

#include <GL/glew.h>

#include "engine/FullScreenQuad.h"
#include "engine/PostScene.h"

namespace OrvelDemo {

class TestCard : public Tarvo::PostScene {
public:
    TestCard();
    ~TestCard();
    TestCard(const TestCard&) = delete;
    TestCard& operator=(const TestCard&) = delete;

    void drawScene(const double& time) override;

private:
    GLuint cardProgram = 0;
    Tarvo::FullScreenQuad cardQuad;
    GLint vertexLocation = -1;
    GLint timeLocation = -1;
};

} // namespace OrvelDemo

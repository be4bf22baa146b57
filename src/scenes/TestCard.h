// A test picture rendered through the whole post-processing scene pipeline (scene
// framebuffer, compositing, post-processing, FXAA): bars that move with time, a vertical
// brightness ramp and a colour that cycles once a second. Every row gives a different
// picture and the top of the picture is bright, so a capture that mixes up rows or turns
// pictures upside down shows it. The track "cardfade" darkens it (0 or no keys: as
// drawn, 1: black), so that tools that edit tracks can see an edit in the picture.
#pragma once

#include <GL/glew.h>

#include "engine/FullScreenQuad.h"
#include "engine/PostScene.h"
#include "sync/Sync.h"

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
    GLint fadeLocation = -1;
    TrackHandle fade;
};

} // namespace OrvelDemo

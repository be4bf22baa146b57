// Milliseconds per frame of the post-processing scene's pipeline with a trivial scene
// (one full-screen pass into four outputs), beside a floor: the same number of full-screen
// passes with a plain copy shader, one target each, in the same process; and the copy
// shader run through the pipeline's own binds, clears and four-texture targets.
//
// Usage: postscene_bench [width height [frames]]. Without a size it runs 960x540 and
// 1920x1080, each in a process of its own (the window size is fixed per process).
// Results go to standard output, one line per size; engine logs are silenced.
#include <GL/glew.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Fbo.h"
#include "engine/ImageFx.h"
#include "engine/PostScene.h"
#include "runtime/Demo.h"
#include "support/BenchSupport.h"

namespace {

constexpr int warmupFrames = 5;
constexpr int defaultFrames = 30;
constexpr int pipelinePasses = 4; // scene, composite, post-processing, FXAA

const char* const sceneShader = "#version 330 core\n"
                                "in vec2 UV;\n"
                                "layout(location = 0) out vec4 colour;\n"
                                "layout(location = 1) out vec4 normal;\n"
                                "layout(location = 2) out vec4 velocity;\n"
                                "layout(location = 3) out vec4 depth;\n"
                                "void main() {\n"
                                "  colour = vec4(UV, 0.5, 1.0);\n"
                                "  normal = vec4(0.0, 0.0, 1.0, 1.0);\n"
                                "  velocity = vec4(0.0);\n"
                                "  depth = vec4(UV.y);\n"
                                "}\n";

const char* const copyShader = "#version 330 core\n"
                               "in vec2 UV;\n"
                               "uniform sampler2D inputtex;\n"
                               "out vec4 color;\n"
                               "void main() { color = texture(inputtex, UV); }\n";

class TrivialScene : public Tarvo::PostScene {
public:
    explicit TrivialScene(const std::string& drawShader)
        : PostScene("./data/shaders/trivial.fs", 4), draw(drawShader)
    {
    }
    void drawScene(const double& time) override { draw.render(time); }

private:
    Tarvo::ImageFx draw;
};

template <typename Frame>
double msPerFrame(int frames, Frame frame)
{
    for (int i = 0; i < warmupFrames; ++i)
        frame(i);
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        frame(i);
        // Software rendering runs behind the calls; each frame counts only when done.
        glFinish();
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / frames;
}

// The size's extra value is how many copy passes the floor draws (another scene's pass
// count can be given to compare it with the same number of plain passes).
int runOne(const benchsupport::SizeArguments& size)
{
    const int width = size.width, height = size.height, frames = size.frames;
    const int floorPasses = static_cast<int>(size.extra);
    if (floorPasses < 1)
        return 2;
    if (!benchsupport::enterFolder(VANTOR_SOURCE_DIR, "postscene_bench"))
        return 1;
    Tarvo::DemoOptions options;
    options.windowed = true;
    options.visible = false;
    options.musicPath.clear();
    const auto scratch = benchsupport::scratchFolder("vantor-bench");
    const auto scenePath = (scratch / "scene.fs").string();
    const auto copyPath = (scratch / "copy.fs").string();
    std::ofstream(scenePath) << sceneShader;
    std::ofstream(copyPath) << copyShader;

    double pipeline = 0;
    double floor = 0;
    double structured = 0;
    try {
        benchsupport::QuietStdout quiet;
        gDemo = new Tarvo::aDemo(width, height, options);
        TrivialScene scene(scenePath);
        Tarvo::ImageFx copy(copyPath);
        Tarvo::Fbo ping(width, height, 1, 1, GL_RGBA16F);
        Tarvo::Fbo pong(width, height, 1, 1, GL_RGBA16F);

        pipeline = msPerFrame(frames, [&](int i) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            scene.render(i / 60.0);
        });
        // The floor: as many full-screen passes, each into a freshly bound target, the
        // last one into the window.
        floor = msPerFrame(frames, [&](int) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            GLuint input = pong.getTexture(0);
            for (int pass = 0; pass < floorPasses - 1; ++pass) {
                Tarvo::Fbo& target = pass % 2 ? pong : ping;
                target.bind();
                copy.setInput(input);
                copy.render(0.0);
                target.unbind();
                input = target.getTexture(0);
            }
            copy.setInput(input);
            copy.render(0.0);
        });
        // The same passes, binds and clears as the pipeline, with the copy shader in every
        // pass: what the pipeline's shaders add on top of its targets' traffic.
        Tarvo::Fbo sceneTarget(width, height, 1, 4, GL_RGBA16F);
        Tarvo::Fbo compositeTarget(width, height, 1, 4, GL_RGBA16F);
        Tarvo::Fbo postTarget(width, height, 1, 4, GL_RGBA16F);
        structured = msPerFrame(frames, [&](int) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            sceneTarget.bind();
            copy.setInput(pong.getTexture(0));
            copy.render(0.0);
            sceneTarget.unbind();
            postTarget.bind();
            compositeTarget.bind();
            copy.setInput(sceneTarget.getTexture(0));
            copy.render(0.0);
            compositeTarget.unbind();
            copy.setInput(compositeTarget.getTexture(0));
            copy.render(0.0);
            postTarget.unbind();
            copy.setInput(postTarget.getTexture(0));
            copy.render(0.0);
        });
    } catch (const std::exception& error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        std::filesystem::remove_all(scratch);
        return 1;
    }
    std::filesystem::remove_all(scratch);

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::printf("%dx%d  postscene %.2f ms/frame  floor(%d copy passes) %.2f ms/frame  "
                "ratio %.2f  copy-through-same-targets %.2f ms/frame  frames %d  renderer %s\n",
        width, height, pipeline, floorPasses, floor, floor > 0 ? pipeline / floor : 0.0,
        structured, frames, renderer ? renderer : "?");
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runSizes(argc, argv, defaultFrames, pipelinePasses, "floor-passes", runOne);
}

// Shaders saved while the studio runs: a change to a shader or to a file it includes is
// rebuilt into the program its owner holds (same name, new picture); one that fails to
// compile or to link is reported with its log and the last good code keeps drawing. And
// the overlay: a darkened panel with light text in the corner, the rest of the picture and
// the GL state left as they were. And the keys, as the window delivers them.
#include <gtest/gtest.h>

#include "support/CapturedOutput.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <optional>

#include "engine/FullScreenQuad.h"
#include "engine/ShaderProgram.h"
#include "studio/KeyInput.h"
#include "studio/Overlay.h"
#include "studio/Reloader.h"
#include "support/GLTestContext.h"
#include "support/ScratchDir.h"

namespace studio {
namespace {

using testsupport::readPixel;

constexpr int width = 160;
constexpr int height = 90;

const char* const vertexSource = "#version 330 core\n"
                                 "in vec3 trivial_vertices;\n"
                                 "void main() { gl_Position = vec4(trivial_vertices, 1.0); }\n";

std::string fragmentSource(const std::string& body)
{
    return "#version 330 core\n#include \"colour.glsl\"\nout vec4 color;\n" + body + "\n";
}

const char* const plainBody = "void main() { color = vec4(COLOUR, 1.0); }";

class StudioShaderGLTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT(width, height);
        quad.emplace();
        folder.write("q.vs", vertexSource);
        folder.write("colour.glsl", "const vec3 COLOUR = vec3(1.0, 0.0, 0.0);\n");
        folder.write("q.fs", fragmentSource(plainBody));
        testsupport::CapturedOutput captured;
        program = loadShaderProgram(folder.file("q.vs").c_str(), folder.file("q.fs").c_str());
        captured.take();
        reloader.watchFiles();
    }
    void TearDown() override { deleteShaderProgram(program); }

    // The centre pixel of a full-screen draw with the program.
    std::vector<std::uint8_t> draw()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, width, height);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (Tarvo::programLinked(program)) {
            glUseProgram(program);
            quad->draw(Tarvo::attributeLocation(program, "trivial_vertices"));
        }
        return readPixel(width / 2, height / 2);
    }

    // What the next frame's check finds: exactly one reload.
    ReloadResult save(const std::string& name, const std::string& text)
    {
        folder.write(name, text);
        const std::vector<ReloadResult> results = reloader.poll();
        EXPECT_EQ(results.size(), 1u);
        return results.empty() ? ReloadResult{} : results[0];
    }

    testsupport::ScratchDir folder;
    Reloader reloader{nullptr, folder.file("timeline.txt")};
    std::optional<Tarvo::FullScreenQuad> quad; // made once the context exists
    GLuint program = 0;
};

TEST_F(StudioShaderGLTest, ASavedIncludeRebuildsTheProgramUnderTheSameName)
{
    EXPECT_EQ(draw(), (std::vector<std::uint8_t>{255, 0, 0, 255}));
    const ReloadResult result = save("colour.glsl", "const vec3 COLOUR = vec3(0.0, 1.0, 0.0);\n");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.line(), "reload shader ok " + reportedPath(folder.file("colour.glsl")));
    EXPECT_EQ(draw(), (std::vector<std::uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(Tarvo::programGeneration(program), 1u);
}

TEST_F(StudioShaderGLTest, CompileAndLinkFailuresKeepTheLastGoodCodeUntilFixed)
{
    const std::string path = reportedPath(folder.file("q.fs"));
    ReloadResult result = save("q.fs", fragmentSource("void main() { color = vec4(COLOUR, 1.0) }"));
    EXPECT_EQ(result.line(), "reload shader failed " + path);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_NE(result.errors[0].find("error"), std::string::npos) << result.errors[0];
    // With an include, the log says which file each of the driver's source numbers is.
    EXPECT_NE(result.errors[0].find("Source numbers: 0 " + folder.file("q.fs") + ", 1 " + folder.file("colour.glsl")),
        std::string::npos)
        << result.errors[0];
    EXPECT_EQ(draw(), (std::vector<std::uint8_t>{255, 0, 0, 255}));

    // Compiles (a declared function), but nothing defines it: the link fails.
    result = save("q.fs", fragmentSource("vec3 tint();\nvoid main() { color = vec4(tint(), 1.0); }"));
    EXPECT_EQ(result.line(), "reload shader failed " + path);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_NE(result.errors[0].find("tint"), std::string::npos) << result.errors[0];
    EXPECT_TRUE(Tarvo::programLinked(program));
    EXPECT_EQ(draw(), (std::vector<std::uint8_t>{255, 0, 0, 255}));

    result = save("q.fs", fragmentSource("void main() { color = vec4(COLOUR.bgr, 1.0); }"));
    EXPECT_EQ(result.line(), "reload shader ok " + path);
    EXPECT_EQ(draw(), (std::vector<std::uint8_t>{0, 0, 255, 255}));
}

TEST(StudioOverlayGLTest, APanelOfLightTextInTheCornerAndTheStateAsItWas)
{
    REQUIRE_GL_CONTEXT(width, height);
    testsupport::CapturedOutput captured2;
    Overlay overlay(height);
    captured2.take();
    ASSERT_TRUE(overlay.ready()) << overlay.problem();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    overlay.draw({{"MMMM", false}, {"MMMM", true}}, width, height);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    // Rows are read bottom up: the panel is at the top left.
    int brightest = 0;
    int darkest = 255;
    for (int x = 8; x < 60; ++x) {
        for (int y = height - 40; y < height - 8; ++y) {
            const auto pixel = readPixel(x, y);
            brightest = std::max<int>(brightest, pixel[1]);
            darkest = std::min<int>(darkest, pixel[1]);
        }
    }
    EXPECT_GT(brightest, 160);   // glyphs, brighter than the grey behind the panel
    EXPECT_LT(darkest, 60);      // the panel between them
    EXPECT_EQ(readPixel(width - 2, 2), (std::vector<std::uint8_t>{128, 128, 128, 255})); // outside it
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

// The window's key events, as GLFW delivers them during the swap, queue the commands the
// transport obeys; brackets and L come as typed characters.
TEST(StudioKeysGLTest, KeysBecomeCommandsWithShiftForEightBars)
{
    REQUIRE_GL_CONTEXT(width, height);
    GLFWwindow* window = glfwGetCurrentContext();
    KeyInput keys(window);
    const GLFWkeyfun onKey = glfwSetKeyCallback(window, nullptr);
    const GLFWcharfun onChar = glfwSetCharCallback(window, nullptr);
    ASSERT_TRUE(onKey && onChar);
    onKey(window, GLFW_KEY_RIGHT, 0, GLFW_PRESS, GLFW_MOD_SHIFT);
    onKey(window, GLFW_KEY_LEFT, 0, GLFW_REPEAT, 0);
    onKey(window, GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
    onKey(window, GLFW_KEY_SPACE, 0, GLFW_REPEAT, 0); // held: one toggle only
    onKey(window, GLFW_KEY_SPACE, 0, GLFW_RELEASE, 0);
    onKey(window, GLFW_KEY_HOME, 0, GLFW_PRESS, 0);
    onChar(window, '[');
    onChar(window, ']');
    onChar(window, 'L');
    onKey(window, GLFW_KEY_TAB, 0, GLFW_PRESS, 0);
    onKey(window, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    const std::vector<Command> commands = keys.take();
    const std::vector<CommandKind> kinds = {CommandKind::SeekBars, CommandKind::SeekBars, CommandKind::TogglePause,
        CommandKind::Home, CommandKind::MarkLoopStart, CommandKind::MarkLoopEnd, CommandKind::ToggleLoop,
        CommandKind::ToggleOverlay, CommandKind::EditorKey};
    ASSERT_EQ(commands.size(), kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(commands[i].kind, kinds[i]) << i;
    EXPECT_EQ(commands[0].first, 8.0);
    EXPECT_EQ(commands[1].first, -1.0);
    EXPECT_EQ(commands.back().first, GLFW_KEY_ESCAPE); // the editor's first: it may be dropping a typed value
    EXPECT_TRUE(keys.take().empty());
}

} // namespace
} // namespace studio

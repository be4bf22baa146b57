// The shader program loader: its log lines, its sources and what it returns for missing
// and broken files.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "EngineTestUtil.h"
#include "engine/ShaderProgram.h"
#include "support/CapturedOutput.h"

using namespace enginetest;
using testsupport::CapturedOutput;

namespace {

const char* const vertexSource = "#version 330 core\n"
                                 "in vec3 trivial_vertices;\n"
                                 "void main() { gl_Position = vec4(trivial_vertices, 1.0); }\n";
const char* const fragmentSource = "#version 330 core\n"
                                   "out vec4 color;\n"
                                   "void main() { color = vec4(1.0); }\n";

GLint linkStatus(GLuint program)
{
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status;
}

// Both programs linked; they are deleted either way.
void expectLinkedThenDelete(GLuint a, GLuint b)
{
    EXPECT_EQ(linkStatus(a), GL_TRUE);
    EXPECT_EQ(linkStatus(b), GL_TRUE);
    glDeleteProgram(a);
    glDeleteProgram(b);
}

// The sources of the shaders still attached to a program, vertex first.
std::vector<std::string> attachedSources(GLuint program)
{
    GLuint shaders[2] = { 0, 0 };
    GLsizei count = 0;
    glGetAttachedShaders(program, 2, &count, shaders);
    std::vector<std::string> sources;
    for (GLsizei i = 0; i < count; ++i) {
        GLint length = 0;
        glGetShaderiv(shaders[i], GL_SHADER_SOURCE_LENGTH, &length);
        std::string text(static_cast<std::size_t>(length), '\0');
        GLsizei written = 0;
        glGetShaderSource(shaders[i], length, &written, text.data());
        text.resize(static_cast<std::size_t>(written));
        GLint type = 0;
        glGetShaderiv(shaders[i], GL_SHADER_TYPE, &type);
        if (type == GL_VERTEX_SHADER)
            sources.insert(sources.begin(), text);
        else
            sources.push_back(text);
    }
    return sources;
}

class ShaderProgramGLTest : public EngineGLTest {};

} // namespace

TEST_F(ShaderProgramGLTest, CleanPairPrintsOnlyItsProgressLinesAndLinks)
{
    const auto vs = scratch.write("a.vs", vertexSource);
    const auto fs = scratch.write("a.fs", fragmentSource);
    glUseProgram(0);
    CapturedOutput out;
    const GLuint program = loadShaderProgram(vs.c_str(), fs.c_str());
    EXPECT_EQ(out.take(), "Compiling: " + vs + "\nCompiling: " + fs + "\nLinking\n");
    ASSERT_NE(program, 0u);
    EXPECT_EQ(linkStatus(program), GL_TRUE);
    EXPECT_EQ(currentProgram(), 0) << "the loader makes no program current";
    glDeleteProgram(program);
}

TEST_F(ShaderProgramGLTest, MissingVertexFileReturnsZeroWithItsMessage)
{
    const auto fs = scratch.write("a.fs", fragmentSource);
    const auto missing = scratch.file("missing.vs");
    CapturedOutput out;
    EXPECT_EQ(loadShaderProgram(missing.c_str(), fs.c_str()), 0u);
    EXPECT_EQ(out.take(), "Failed to open " + missing + ".\n");
}

TEST_F(ShaderProgramGLTest, MissingFragmentFileIsNamedAndItsProgramIsNeverUsed)
{
    const auto vs = scratch.write("a.vs", vertexSource);
    const auto missing = scratch.file("missing.fs");
    CapturedOutput out;
    const GLuint program = loadShaderProgram(vs.c_str(), missing.c_str());
    const std::string log = out.take();
    EXPECT_NE(log.find("Failed to open " + missing + ".\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Linking\n"), std::string::npos) << log;
    ASSERT_NE(program, 0u) << "the program is kept, so that the file can still appear";
    EXPECT_EQ(linkStatus(program), GL_FALSE);
    EXPECT_FALSE(Tarvo::programLinked(program));
    EXPECT_EQ(Tarvo::uniformLocation(program, "anything"), -1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    deleteShaderProgram(program);
}

TEST_F(ShaderProgramGLTest, CompileErrorPrintsTheDriverLogAndReturnsTheProgram)
{
    const auto vs = scratch.write("a.vs", vertexSource);
    const auto fs = scratch.write("broken.fs", "#version 330 core\nout vec4 color;\n"
                                               "void main() { color = undeclared; }\n");
    CapturedOutput out;
    const GLuint program = loadShaderProgram(vs.c_str(), fs.c_str());
    const std::string log = out.take();
    const std::string compiling = "Compiling: " + fs + "\n";
    const auto afterCompiling = log.find(compiling);
    const auto linking = log.find("Linking\n");
    ASSERT_NE(afterCompiling, std::string::npos) << log;
    ASSERT_NE(linking, std::string::npos) << log;
    EXPECT_GT(linking, afterCompiling + compiling.size()) << "the compile log comes before Linking";
    EXPECT_NE(log.find("undeclared"), std::string::npos) << log;
    EXPECT_NE(program, 0u);
    EXPECT_EQ(linkStatus(program), GL_FALSE);
    glDeleteProgram(program);
}

TEST_F(ShaderProgramGLTest, BrokenProgramsAreListedUntilDeletedAndGoodOnesNever)
{
    const auto vs = scratch.write("a.vs", vertexSource);
    const auto good = scratch.write("a.fs", fragmentSource);
    const auto broken = scratch.write("broken.fs", "#version 330 core\nout vec4 color;\nvoid main() { color = x; }\n");
    // Cases before this one in the same process may have left programs of their own.
    const std::vector<std::string> before = Tarvo::unlinkedPrograms();
    CapturedOutput out;
    const GLuint linked = loadShaderProgram(vs.c_str(), good.c_str());
    const GLuint failed = loadShaderProgram(vs.c_str(), broken.c_str());
    std::vector<std::string> expected = before;
    expected.push_back(vs + " + " + broken);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Tarvo::unlinkedPrograms(), expected);
    deleteShaderProgram(failed);
    EXPECT_EQ(Tarvo::unlinkedPrograms(), before);
    deleteShaderProgram(linked);
}

// Built-in passes (the window's scaling, the test card) must draw with no files at all, and
// never with a program that did not link.
TEST_F(ShaderProgramGLTest, BuiltInSourcesLinkQuietlyAndABrokenOneGivesZeroWithItsLog)
{
    CapturedOutput err(CapturedOutput::Stream::err);
    const GLuint program = Tarvo::buildBuiltInProgram(vertexSource, fragmentSource, "The pass");
    const GLuint broken = Tarvo::buildBuiltInProgram(vertexSource,
        "#version 330 core\nout vec4 color;\nvoid main() { color = undeclared; }\n", "The broken pass");
    const std::string log = err.take();
    ASSERT_NE(program, 0u);
    EXPECT_EQ(linkStatus(program), GL_TRUE);
    EXPECT_EQ(broken, 0u);
    EXPECT_EQ(log.rfind("The broken pass does not build\n", 0), 0u) << log;
    EXPECT_NE(log.find("undeclared"), std::string::npos) << log;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteProgram(program);
}

TEST_F(ShaderProgramGLTest, SourceIsAssembledLineByLineWhateverTheFinalLineBreak)
{
    const std::string body = "#version 330 core\r\nin vec3 trivial_vertices;\n"
                             "void main() { gl_Position = vec4(trivial_vertices, 1.0); }";
    const auto withBreak = scratch.write("with.vs", body + "\n");
    const auto without = scratch.write("without.vs", body);
    const auto fs = scratch.write("a.fs", fragmentSource);

    const GLuint a = loadShaderProgram(withBreak.c_str(), fs.c_str());
    const GLuint b = loadShaderProgram(without.c_str(), fs.c_str());
    const auto sourcesA = attachedSources(a);
    const auto sourcesB = attachedSources(b);
    ASSERT_EQ(sourcesA.size(), 2u);
    ASSERT_EQ(sourcesB.size(), 2u);
    EXPECT_EQ(sourcesA[0], sourcesB[0]);
    EXPECT_EQ(sourcesA[0],
        "#version 330 core\nin vec3 trivial_vertices;\n"
        "void main() { gl_Position = vec4(trivial_vertices, 1.0); }");
    EXPECT_EQ(sourcesA[1], "#version 330 core\nout vec4 color;\nvoid main() { color = vec4(1.0); }");
    expectLinkedThenDelete(a, b);
}

TEST_F(ShaderProgramGLTest, LoadingTheSamePairTwiceGivesTwoPrograms)
{
    const auto vs = scratch.write("a.vs", vertexSource);
    const auto fs = scratch.write("a.fs", fragmentSource);
    const GLuint a = loadShaderProgram(vs.c_str(), fs.c_str());
    const GLuint b = loadShaderProgram(vs.c_str(), fs.c_str());
    EXPECT_NE(a, 0u);
    EXPECT_NE(b, 0u);
    EXPECT_NE(a, b);
    expectLinkedThenDelete(a, b);
}

TEST_F(ShaderProgramGLTest, CompileErrorsNameTheLineOfTheFileTheyAreIn)
{
    const auto vs = scratch.write("a.vs", vertexSource);
    scratch.write("lib/shade.glsl", "// shared\nvec4 shade() { return missingInInclude; }\n");
    const auto fs = scratch.write("broken.fs", "#version 330 core\n"
                                               "#include \"lib/shade.glsl\"\n"
                                               "out vec4 color;\n"
                                               "void main() { color = shade() + missingInMain; }\n");
    CapturedOutput out;
    const GLuint program = loadShaderProgram(vs.c_str(), fs.c_str());
    const std::string log = out.take();
    EXPECT_NE(log.find("1:2("), std::string::npos) << "line 2 of the include, file 1\n" << log;
    EXPECT_NE(log.find("0:4("), std::string::npos) << "line 4 of the main file\n" << log;
    glDeleteProgram(program);
}

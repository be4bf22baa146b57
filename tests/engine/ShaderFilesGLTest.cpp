// Every GLSL file under data/ compiles under Mesa, and every one links in a pair: a
// vertex shader with the fragment shader of its own name, and a full-screen fragment
// shader (one without a vertex shader of its own name) with trivial.vs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "EngineTestUtil.h"
#include "engine/ShaderProgram.h"

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> shaderFiles(const std::string& extension)
{
    std::vector<fs::path> files;
    const fs::path data = fs::path(VANTOR_SOURCE_DIR) / "data";
    for (const auto& entry : fs::recursive_directory_iterator(data)) {
        if (entry.is_regular_file() && entry.path().extension() == extension)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string compileLog(GLenum type, const fs::path& file, GLint& status)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    const std::string source = text.str();
    const char* pointer = source.c_str();
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &pointer, nullptr);
    glCompileShader(shader);
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    char log[4096] = { 0 };
    glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
    glDeleteShader(shader);
    return log;
}

bool links(const fs::path& vertex, const fs::path& fragment, std::string& log)
{
    CaptureOut out;
    const GLuint program = loadShaderProgram(vertex.string().c_str(), fragment.string().c_str());
    log = out.take();
    GLint status = GL_FALSE;
    if (program != 0)
        glGetProgramiv(program, GL_LINK_STATUS, &status);
    glDeleteProgram(program);
    return status == GL_TRUE;
}

class ShaderFilesGLTest : public EngineGLTest {};

} // namespace

TEST_F(ShaderFilesGLTest, EngineShadersArePresent)
{
    for (const char* name : { "trivial.vs", "trivial.fs", "fxaa.fs", "postproc.fs", "glowtot.fs",
             "blurvert.fs", "blurhoriz.fs", "toy.fs" })
        EXPECT_TRUE(fs::exists(fs::path(VANTOR_SOURCE_DIR) / "data/shaders" / name)) << name;
}

TEST_F(ShaderFilesGLTest, EveryShaderFileCompilesCleanly)
{
    for (const auto& [extension, type] :
        std::map<std::string, GLenum> { { ".vs", GL_VERTEX_SHADER }, { ".fs", GL_FRAGMENT_SHADER } }) {
        for (const auto& file : shaderFiles(extension)) {
            GLint status = GL_FALSE;
            const std::string log = compileLog(type, file, status);
            EXPECT_EQ(status, GL_TRUE) << file << "\n" << log;
        }
    }
}

TEST_F(ShaderFilesGLTest, EveryShaderFileLinksInItsPair)
{
    const fs::path trivial = fs::path(VANTOR_SOURCE_DIR) / "data/shaders/trivial.vs";
    for (const auto& fragment : shaderFiles(".fs")) {
        fs::path vertex = fragment;
        vertex.replace_extension(".vs");
        if (!fs::exists(vertex))
            vertex = trivial;
        std::string log;
        EXPECT_TRUE(links(vertex, fragment, log)) << vertex << " + " << fragment << "\n" << log;
    }
    for (const auto& vertex : shaderFiles(".vs")) {
        fs::path fragment = vertex;
        fragment.replace_extension(".fs");
        if (vertex == trivial || !fs::exists(fragment))
            continue;
        std::string log;
        EXPECT_TRUE(links(vertex, fragment, log)) << vertex << " + " << fragment << "\n" << log;
    }
}

// Every GLSL file under data/ compiles under Mesa and links in the pairs the code loads:
// literal loadShaderProgram pairs, and every other fragment shader the code names (image
// effects, compositing passes) with trivial.vs. Files no code names link with the vertex
// shader of their own name, or else with trivial.vs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "EngineTestUtil.h"
#include "engine/ShaderProgram.h"
#include "engine/ShaderSource.h"
#include "support/CapturedOutput.h"
#include "support/ReadFile.h"

using namespace enginetest;
using testsupport::CapturedOutput;
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

// Compiled as the loader assembles it, includes spliced in.
std::string compileLog(GLenum type, const fs::path& file, GLint& status)
{
    Tarvo::ShaderSource assembled;
    if (!assembled.read(file.string()) || !assembled.problems().empty()) {
        status = GL_FALSE;
        return assembled.problems().empty() ? "unreadable" : assembled.problems().front();
    }
    const std::string& source = assembled.text();
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
    CapturedOutput out;
    const GLuint program = loadShaderProgram(vertex.string().c_str(), fragment.string().c_str());
    log = out.take();
    GLint status = GL_FALSE;
    if (program != 0)
        glGetProgramiv(program, GL_LINK_STATUS, &status);
    glDeleteProgram(program);
    return status == GL_TRUE;
}

using ShaderPair = std::pair<std::string, std::string>;

// The shader pairs named by string literals in the program's sources ("./data/..." paths).
std::set<ShaderPair> pairsInSources()
{
    const std::regex pairCall(R"re(loadShaderProgram\(\s*"(\./data/[^"]+)"\s*,\s*"(\./data/[^"]+)"\s*\))re");
    const std::regex fragmentLiteral(R"re("(\./data/[^"]+\.fs)")re");
    std::set<ShaderPair> pairs;
    std::set<std::string> paired;
    std::set<std::string> fragments;
    for (const char* folder : { "src", "tools" }) {
        const fs::path root = fs::path(VANTOR_SOURCE_DIR) / folder;
        if (!fs::exists(root))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const auto extension = entry.path().extension();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h"))
                continue;
            const std::string source = testsupport::readFile(entry.path());
            for (std::sregex_iterator it(source.begin(), source.end(), pairCall), end; it != end; ++it) {
                pairs.insert({ (*it)[1], (*it)[2] });
                paired.insert((*it)[2]);
            }
            for (std::sregex_iterator it(source.begin(), source.end(), fragmentLiteral), end; it != end; ++it)
                fragments.insert((*it)[1]);
        }
    }
    for (const auto& fragment : fragments) {
        if (!paired.count(fragment))
            pairs.insert({ "./data/shaders/trivial.vs", fragment });
    }
    return pairs;
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

TEST_F(ShaderFilesGLTest, EveryShaderFileTheCodeLoadsExists)
{
    const auto pairs = pairsInSources();
    EXPECT_TRUE(pairs.count({ "./data/shaders/trivial.vs", "./data/shaders/fxaa.fs" }));
    std::set<std::string> missing;
    for (const auto& [vertex, fragment] : pairs) {
        for (const auto& file : { vertex, fragment }) {
            if (!fs::exists(file))
                missing.insert(file);
        }
    }
    for (const auto& file : missing)
        ADD_FAILURE() << file << " is loaded by the program but missing";
}

TEST_F(ShaderFilesGLTest, EveryPairTheCodeLoadsLinks)
{
    for (const auto& [vertex, fragment] : pairsInSources()) {
        if (!fs::exists(vertex) || !fs::exists(fragment))
            continue;
        std::string log;
        EXPECT_TRUE(links(vertex, fragment, log)) << vertex << " + " << fragment << "\n" << log;
    }
}

TEST_F(ShaderFilesGLTest, ShaderFilesNoCodeNamesLinkInTheirOwnPair)
{
    const auto used = pairsInSources();
    std::set<fs::path> named;
    for (const auto& [vertex, fragment] : used) {
        named.insert(fs::weakly_canonical(vertex));
        named.insert(fs::weakly_canonical(fragment));
    }
    const fs::path trivial = fs::path(VANTOR_SOURCE_DIR) / "data/shaders/trivial.vs";
    for (const auto& fragment : shaderFiles(".fs")) {
        if (named.count(fs::weakly_canonical(fragment)))
            continue;
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
        if (named.count(fs::weakly_canonical(vertex)) || !fs::exists(fragment))
            continue;
        std::string log;
        EXPECT_TRUE(links(vertex, fragment, log)) << vertex << " + " << fragment << "\n" << log;
    }
}

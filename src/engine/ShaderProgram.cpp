// The shader program loader: reads both sources (with their includes), compiles, links and
// prints whatever the driver has to say. Nothing is made current and no locations are
// bound. It keeps a record of each program it built (its files, whether it linked, its
// locations), which lets draws skip broken programs and changed files be built again.
#include "engine/ShaderProgram.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "engine/GlslEs.h"
#include "engine/LoadProgress.h"
#include "engine/ShaderSource.h"

namespace {

using Locations = std::vector<std::pair<std::string, GLint>>;

struct ProgramRecord {
    std::string vertexPath;
    std::string fragmentPath;
    std::vector<std::string> files;
    bool linked = false;
    unsigned outputMask = 1; // the fragment shader's output locations
    unsigned generation = 0;
    Locations uniforms;   // looked up since the last link
    Locations attributes;
};

// Programs built by the loader and not yet deleted through it. GL thread only.
std::unordered_map<GLuint, ProgramRecord>& records()
{
    static std::unordered_map<GLuint, ProgramRecord> programs;
    return programs;
}

// Shaders and programs keep their logs behind the same pair of calls.
void appendLog(std::string& log, GLuint object, PFNGLGETSHADERIVPROC getLength,
    PFNGLGETSHADERINFOLOGPROC getLog)
{
    GLint length = 0;
    getLength(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return;
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    getLog(object, length, nullptr, text.data());
    log += text.data();
    log += '\n';
}

// One attempt at a program: the two compiled shaders linked into a new program, with the
// log the loader prints ("Compiling: ...", the driver's logs, "Linking").
struct Build {
    GLuint program = 0;
    bool vertexFound = false;
    bool linked = false;
    unsigned outputMask = 1;
    std::vector<std::string> files;
    std::string log;
};

// Compiles one stage, saying what the loader says about it. A file that is missing is
// still one of the program's files: creating it later is a change worth a rebuild.
void compileInto(Build& build, GLuint shader, const std::string& path, const Tarvo::ShaderSource& source,
    bool found)
{
    if (!found) {
        build.log += "Failed to open " + path + ".\n";
        build.files.push_back(path);
    }
    for (const std::string& problem : source.problems())
        build.log += problem + "\n";
    build.files.insert(build.files.end(), source.files().begin(), source.files().end());

    build.log += "Compiling: " + path + "\n";
    const std::string forThisGl = Tarvo::shaderSourceForThisGl(source.text());
    const char* text = forThisGl.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    const size_t before = build.log.size();
    appendLog(build.log, shader, glGetShaderiv, glGetShaderInfoLog);
    // The driver numbers lines "FILE:LINE" by source string; with includes, say which file
    // each number is, so "2:15(1): error" can be found.
    if (build.log.size() > before && source.files().size() > 1) {
        build.log += "Source numbers:";
        for (size_t i = 0; i < source.files().size(); ++i)
            build.log += (i ? ", " : " ") + std::to_string(i) + " " + source.files()[i];
        build.log += "\n";
    }
}

Build build(const std::string& vertexPath, const std::string& fragmentPath)
{
    Build result;
    Tarvo::ShaderSource vertex;
    result.vertexFound = vertex.read(vertexPath);
    if (!result.vertexFound) {
        result.log = "Failed to open " + vertexPath + ".\n";
        result.files.push_back(vertexPath);
        return result;
    }
    Tarvo::ShaderSource fragment;
    const bool fragmentFound = fragment.read(fragmentPath);
    result.outputMask = Tarvo::fragmentOutputMask(fragment.text());

    const GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
    const GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    compileInto(result, vertexShader, vertexPath, vertex, true);
    compileInto(result, fragmentShader, fragmentPath, fragment, fragmentFound);

    result.log += "Linking\n";
    result.program = glCreateProgram();
    glAttachShader(result.program, vertexShader);
    glAttachShader(result.program, fragmentShader);
    glLinkProgram(result.program);
    GLint status = GL_FALSE;
    glGetProgramiv(result.program, GL_LINK_STATUS, &status);
    result.linked = status == GL_TRUE;
    appendLog(result.log, result.program, glGetProgramiv, glGetProgramInfoLog);
    // The shaders stay attached, so they live on with the program and are freed with it.
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    return result;
}

// Moves a freshly linked program's shaders into the program that owners hold, so their
// name stays valid; the fresh program is deleted. True when the held program linked with
// them, as the same sources just did.
bool replaceCode(GLuint program, GLuint fresh)
{
    GLuint shaders[4] = {};
    GLsizei count = 0;
    glGetAttachedShaders(program, 4, &count, shaders);
    for (GLsizei i = 0; i < count; ++i)
        glDetachShader(program, shaders[i]);
    glGetAttachedShaders(fresh, 4, &count, shaders);
    for (GLsizei i = 0; i < count; ++i)
        glAttachShader(program, shaders[i]);
    glLinkProgram(program);
    glDeleteProgram(fresh);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

GLint cachedLocation(GLuint program, const char* name, bool uniform)
{
    auto found = records().find(program);
    if (found == records().end())
        return program ? (uniform ? glGetUniformLocation(program, name) : glGetAttribLocation(program, name)) : -1;
    ProgramRecord& record = found->second;
    if (!record.linked)
        return -1;
    Locations& known = uniform ? record.uniforms : record.attributes;
    for (const auto& [knownName, location] : known)
        if (knownName == name)
            return location;
    const GLint location = uniform ? glGetUniformLocation(program, name) : glGetAttribLocation(program, name);
    known.emplace_back(name, location);
    return location;
}

} // namespace

GLuint loadShaderProgram(const char* vertexPath, const char* fragmentPath)
{
    const Tarvo::LoadStep step(Tarvo::LoadPhase::Shaders);
    Build result = build(vertexPath ? vertexPath : "(null)", fragmentPath ? fragmentPath : "(null)");
    std::fputs(result.log.c_str(), stdout);
    std::fflush(stdout);
    if (result.program == 0)
        return 0;
    ProgramRecord& record = records()[result.program];
    record = ProgramRecord {};
    record.vertexPath = vertexPath;
    record.fragmentPath = fragmentPath ? fragmentPath : "";
    record.files = std::move(result.files);
    record.linked = result.linked;
    record.outputMask = result.outputMask;
    return result.program;
}

void deleteShaderProgram(GLuint program)
{
    records().erase(program);
    glDeleteProgram(program);
}

namespace Tarvo {

bool programLinked(GLuint program)
{
    if (program == 0)
        return false;
    const auto found = records().find(program);
    return found == records().end() || found->second.linked;
}

unsigned programGeneration(GLuint program)
{
    const auto found = records().find(program);
    return found == records().end() ? 0 : found->second.generation;
}

unsigned programOutputMask(GLuint program)
{
    const auto found = records().find(program);
    return found == records().end() ? 1u : found->second.outputMask;
}

bool useLinkedProgram(GLuint program)
{
    if (!programLinked(program))
        return false;
    glUseProgram(program);
    return true;
}

void bindSampler(GLuint program, const char* name, GLuint unit, GLuint texture)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(uniformLocation(program, name), static_cast<GLint>(unit));
}

GLuint buildBuiltInProgram(const char* vertexSource, const char* fragmentSource, const char* what)
{
    std::string log;
    const GLuint program = glCreateProgram();
    for (const auto& [kind, source] : {std::pair{GL_VERTEX_SHADER, vertexSource}, {GL_FRAGMENT_SHADER, fragmentSource}}) {
        const GLuint shader = glCreateShader(kind);
        const std::string forThisGl = shaderSourceForThisGl(source);
        const char* text = forThisGl.c_str();
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint compiled = GL_FALSE;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
        if (compiled != GL_TRUE)
            appendLog(log, shader, glGetShaderiv, glGetShaderInfoLog);
        // Attached, it lives on with the program and is freed with it.
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE)
        return program;
    appendLog(log, program, glGetProgramiv, glGetProgramInfoLog);
    std::fprintf(stderr, "%s does not build\n%s", what, log.c_str());
    glDeleteProgram(program);
    return 0;
}

GLint uniformLocation(GLuint program, const char* name)
{
    return cachedLocation(program, name, true);
}

GLint attributeLocation(GLuint program, const char* name)
{
    return cachedLocation(program, name, false);
}

std::string fragmentPathOf(GLuint program)
{
    const auto found = records().find(program);
    return found == records().end() ? std::string() : found->second.fragmentPath;
}

std::vector<std::string> unlinkedPrograms()
{
    std::vector<std::string> failed;
    for (const auto& [program, record] : records())
        if (!record.linked)
            failed.push_back(record.vertexPath + " + " + record.fragmentPath);
    std::sort(failed.begin(), failed.end());
    return failed;
}

std::vector<std::string> shaderFiles()
{
    std::vector<std::string> files;
    for (const auto& [program, record] : records())
        for (const std::string& file : record.files)
            if (std::find(files.begin(), files.end(), file) == files.end())
                files.push_back(file);
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<ShaderRebuild> rebuildShadersUsing(const std::string& file)
{
    std::vector<ShaderRebuild> rebuilt;
    for (auto& [program, record] : records()) {
        if (std::find(record.files.begin(), record.files.end(), file) == record.files.end())
            continue;
        Build attempt = build(record.vertexPath, record.fragmentPath);
        ShaderRebuild outcome { program, record.vertexPath, record.fragmentPath, attempt.linked, attempt.log };
        if (attempt.linked) {
            // Should the held program refuse what a fresh one took, it is reported as not
            // linked and drawn with no more.
            record.linked = replaceCode(program, attempt.program);
            outcome.linked = record.linked;
            record.files = std::move(attempt.files);
            record.outputMask = attempt.outputMask;
            ++record.generation;
            record.uniforms.clear();
            record.attributes.clear();
        } else if (attempt.program != 0) {
            glDeleteProgram(attempt.program);
        }
        rebuilt.push_back(std::move(outcome));
    }
    return rebuilt;
}

} // namespace Tarvo

// Desktop shaders as the browser build compiles them: the ES header goes where ES wants it,
// the rest of the source is untouched, and the compiler's line numbers still point into the
// file the line came from.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "engine/GlslEs.h"

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    out.push_back(text.substr(start));
    return out;
}

// The number a GLSL compiler gives each line of source string 0, following "#line N"
// directives as ES 3.00 does (the next line is N); lines of other strings are skipped.
std::map<int, std::string> numberedLines(const std::string& text)
{
    std::map<int, std::string> numbered;
    int number = 1;
    int sourceString = 0;
    for (const std::string& line : lines(text)) {
        int next = 0;
        int string = 0;
        const int fields = std::sscanf(line.c_str(), " #line %d %d", &next, &string);
        if (fields >= 1) {
            number = next;
            if (fields == 2)
                sourceString = string;
            continue;
        }
        if (sourceString == 0)
            numbered[number] = line;
        ++number;
    }
    return numbered;
}

struct Case {
    const char* name;
    const char* source;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class GlslEsLines : public testing::TestWithParam<Case> {};

TEST_P(GlslEsLines, EsHeaderFirstAndEveryOtherLineKeepsItsNumber)
{
    const std::string desktop = GetParam().source;
    const std::string es = Tarvo::toGlslEs(desktop);
    const auto esLines = lines(es);
    std::size_t first = 0;
    while (esLines[first].empty() || esLines[first].rfind("//", 0) == 0)
        ++first;
    EXPECT_EQ(esLines[first], "#version 300 es");
    EXPECT_NE(es.find("precision highp float;"), std::string::npos);
    EXPECT_NE(es.find("precision highp sampler2D;"), std::string::npos);

    const auto before = numberedLines(desktop);
    const auto after = numberedLines(es);
    for (const auto& [number, line] : before) {
        if (line.find("#version") != std::string::npos)
            continue;
        ASSERT_TRUE(after.count(number)) << "line " << number << " lost: " << line;
        EXPECT_EQ(after.at(number), line) << "line " << number;
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, GlslEsLines,
    testing::Values(
        Case {"VersionFirst", "#version 330 core\nin vec2 UV;\nout vec4 color;\nvoid main() { color = vec4(UV, 0.0, 1.0); }\n"},
        Case {"CommentsBeforeVersion", "// blur\n\n#version 330 core\nuniform sampler2D t;\nvoid main() {}"},
        Case {"NoVersion", "uniform float k;\nvoid main() {}"},
        Case {"Extensions", "#version 330 core\n#extension GL_EXT_x : enable\n\n#extension GL_EXT_y : require\nint a;\n"},
        Case {"IncludedFiles", "#version 330 core\n#line 1 1\nout vec4 c;\n#line 2 0\nvoid main() {}"},
        Case {"VersionOnly", "#version 330 core"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(GlslEsTest, PrecisionsFollowExtensionDirectives)
{
    const std::string es = Tarvo::toGlslEs("#version 330 core\n#extension GL_EXT_x : enable\nint a;\n");
    EXPECT_LT(es.find("#extension"), es.find("precision"));
    EXPECT_LT(es.find("precision"), es.find("int a;"));
}

TEST(GlslEsTest, AnEsSourceComesBackUnchanged)
{
    const std::string es = "#version 300 es\nprecision mediump float;\nvoid main() {}\n";
    EXPECT_EQ(Tarvo::toGlslEs(es), es);
}

TEST(GlslEsTest, ConvertingTwiceChangesNothingMore)
{
    const std::string once = Tarvo::toGlslEs("#version 330 core\nvoid main() {}\n");
    EXPECT_EQ(Tarvo::toGlslEs(once), once);
}

TEST(GlslEsTest, DesktopBuildsCompileTheSourceAsWritten)
{
    const std::string desktop = "#version 330 core\nvoid main() {}\n";
#ifdef __EMSCRIPTEN__
    EXPECT_EQ(Tarvo::shaderSourceForThisGl(desktop), Tarvo::toGlslEs(desktop));
#else
    EXPECT_EQ(Tarvo::shaderSourceForThisGl(desktop), desktop);
#endif
}

struct OutputsCase {
    const char* name;
    const char* source;
    unsigned mask;
};

void PrintTo(const OutputsCase& c, std::ostream* out)
{
    *out << c.name;
}

class FragmentOutputs : public testing::TestWithParam<OutputsCase> {};

TEST_P(FragmentOutputs, EachDeclaredLocationIsOneBit)
{
    EXPECT_EQ(Tarvo::fragmentOutputMask(GetParam().source), GetParam().mask);
}

INSTANTIATE_TEST_SUITE_P(Declarations, FragmentOutputs,
    testing::Values(
        OutputsCase {"OneWithoutLocation", "#version 330 core\nin vec2 UV;\nout vec4 color;\n", 0x1u},
        OutputsCase {"FourWithLocations",
            "layout(location = 0) out vec4 a;\nlayout(location = 1) out vec4 b;\n"
            "layout (location=2) out vec4 c;\n  layout(location = 3) out highp vec4 d;\n", 0xFu},
        OutputsCase {"GapsKept", "layout(location = 1) out vec4 b;\nlayout(location = 3) out vec4 d;\n", 0xAu},
        OutputsCase {"ArrayTakesItsSize", "layout(location = 1) out vec4 targets[3];\n", 0xEu},
        OutputsCase {"InputsAndParametersAreNotOutputs",
            "in vec4 colour;\nvoid shade(out vec3 n,\n    out float d);\nvec4 outside;\n// out vec4 no;\n", 0x0u},
        OutputsCase {"FlatQualifier", "flat out int id;\n", 0x1u}),
    [](const testing::TestParamInfo<OutputsCase>& info) { return std::string(info.param.name); });

} // namespace

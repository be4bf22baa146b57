// Shader sources with includes: what the compiler is given, which files it came from, and
// what is said about includes that cannot be honoured.
#include <gtest/gtest.h>

#include "engine/ShaderSource.h"
#include "support/ScratchDir.h"

using testsupport::ScratchDir;

namespace {

TEST(ShaderSourceTest, IncludesAreSplicedWithLineDirectivesAndListedOnce)
{
    ScratchDir dir;
    dir.write("common/out.glsl", "out vec4 color;\r\n");
    dir.write("common/both.glsl", "#include \"out.glsl\"\nconst float K = 1.0;");
    const auto main = dir.write("a.fs", "#version 330 core\n#include \"common/both.glsl\"\n"
                                        "#include \"common/out.glsl\"\nvoid main() {}\n");
    Tarvo::ShaderSource source;
    ASSERT_TRUE(source.read(main));
    EXPECT_EQ(source.text(), "#version 330 core\n"
                             "#line 1 1\n#line 1 2\nout vec4 color;\n#line 2 1\nconst float K = 1.0;\n#line 3 0\n"
                             "#line 1 2\nout vec4 color;\n#line 4 0\nvoid main() {}");
    ASSERT_EQ(source.files().size(), 3u);
    EXPECT_EQ(source.files()[0], main);
    EXPECT_EQ(source.files()[2], (dir.path() / "common/out.glsl").string());
    EXPECT_TRUE(source.problems().empty());
}

TEST(ShaderSourceTest, MissingAndCircularIncludesAreReportedAndLeaveTheirLineEmpty)
{
    ScratchDir dir;
    dir.write("loop.glsl", "#include \"loop.glsl\"\nint x;");
    const auto main = dir.write("a.fs", "#version 330 core\n#include \"gone.glsl\"\n"
                                        "#include \"loop.glsl\"\nvoid main() {}");
    Tarvo::ShaderSource source;
    ASSERT_TRUE(source.read(main));
    EXPECT_EQ(source.text(), "#version 330 core\n\n#line 1 1\n\nint x;\n#line 4 0\nvoid main() {}");
    ASSERT_EQ(source.problems().size(), 2u);
    EXPECT_EQ(source.problems()[0], main + ":2: cannot open " + (dir.path() / "gone.glsl").string());
    EXPECT_NE(source.problems()[1].find("loop.glsl:1: "), std::string::npos);
    EXPECT_NE(source.problems()[1].find("includes itself"), std::string::npos);
}

TEST(ShaderSourceTest, AMissingMainFileIsNoSource)
{
    ScratchDir dir;
    Tarvo::ShaderSource source;
    EXPECT_FALSE(source.read((dir.path() / "none.fs").string()));
    EXPECT_TRUE(source.files().empty());
}

} // namespace

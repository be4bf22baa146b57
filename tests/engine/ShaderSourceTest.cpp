// Shader sources with includes: what the compiler is given, which files it came from, and
// what is said about includes that cannot be honoured.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

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

// Includes that must not be followed, each refused with the including file and line and
// left out, the rest of the source intact.
struct Refused {
    const char* name;
    std::string include; // the name in quotes; "@" stands for the scratch folder
    std::string says;
};

void PrintTo(const Refused& r, std::ostream* out)
{
    *out << r.name;
}

class HostileInclude : public testing::TestWithParam<Refused> {};

TEST_P(HostileInclude, IsRefusedNamingTheFileAndLine)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "data" / "shaders");
    dir.write("secret.glsl", "int secret;");
    dir.write("data/shaders/ok.glsl", "int ok;");
    ASSERT_EQ(mkfifo((dir.path() / "data/shaders/pipe.glsl").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir.path() / "secret.glsl", dir.path() / "data/shaders/link.glsl");
    std::string include = GetParam().include;
    if (const auto at = include.find('@'); at != std::string::npos)
        include.replace(at, 1, dir.path().string());
    const auto main = dir.write("data/shaders/a.fs", "#version 330 core\n#include \"" + include
            + "\"\n#include \"ok.glsl\"\nvoid main() {}");
    Tarvo::ShaderSource source;
    ASSERT_TRUE(source.read(main));
    EXPECT_EQ(source.text(), "#version 330 core\n\n#line 1 1\nint ok;\n#line 4 0\nvoid main() {}");
    ASSERT_EQ(source.problems().size(), 1u);
    const std::string& problem = source.problems()[0];
    EXPECT_EQ(problem.rfind(main + ":2: ", 0), 0u) << problem;
    EXPECT_NE(problem.find(GetParam().says), std::string::npos) << problem;
}

INSTANTIATE_TEST_SUITE_P(ShaderSourceTest, HostileInclude,
    testing::Values(Refused{"DeviceThatNeverEnds", "/dev/zero", "/dev/zero: not a regular file"},
        Refused{"FifoThatWouldBlock", "pipe.glsl", "pipe.glsl: not a regular file"},
        Refused{"SystemFile", "/etc/passwd", "/etc/passwd: outside the data folder"},
        Refused{"ClimbingOutOfTheDataFolder", "../../secret.glsl", "secret.glsl: outside the data folder"},
        Refused{"AbsolutePathOutside", "@/secret.glsl", "secret.glsl: outside the data folder"},
        Refused{"LinkLeadingOutside", "link.glsl", "link.glsl: outside the data folder"},
        Refused{"Folder", "../shaders", "not a regular file"}),
    [](const testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

// Files anywhere in the data folder may share code: data/x.fs includes from data/shaders/,
// data/shaders/envmap/ from data/shaders/common/, as the show's own shaders do.
TEST(ShaderSourceTest, IncludesMayReachAnywhereInsideTheDataFolder)
{
    ScratchDir dir;
    dir.write("data/shaders/common/c.glsl", "int c;");
    dir.write("data/shaders/envmap/e.glsl", "#include \"../common/c.glsl\"");
    const auto top = dir.write("data/top.fs", "#include \"shaders/envmap/e.glsl\"");
    Tarvo::ShaderSource source;
    ASSERT_TRUE(source.read(top));
    EXPECT_TRUE(source.problems().empty()) << source.problems()[0];
    EXPECT_EQ(source.files().size(), 3u);
}

// Ten includes a file, six deep: a million copies without a limit. The count stops it at
// the limit, the problems stay few, and it all takes no time.
TEST(ShaderSourceTest, AFanOfIncludesStopsAtTheIncludeLimit)
{
    ScratchDir dir;
    for (int level = 0; level < 6; ++level) {
        // Appended rather than added: GCC 12 warns wrongly on "text" + std::string.
        const std::string name = std::string("f").append(std::to_string(level));
        const std::string next = std::string("f").append(std::to_string(level + 1));
        std::string text = std::string("int ").append(name).append(";\n");
        for (int i = 0; i < 10; ++i)
            text.append("#include \"").append(next).append(".glsl\"\n");
        dir.write(name + ".glsl", text);
    }
    dir.write("f6.glsl", "int leaf;");
    const auto main = dir.write("a.fs", "#include \"f0.glsl\"");
    Tarvo::ShaderSource source;
    ASSERT_TRUE(source.read(main));
    std::size_t included = 0;
    for (auto at = source.text().find("#line 1 "); at != std::string::npos; at = source.text().find("#line 1 ", at + 1))
        ++included;
    EXPECT_EQ(included, static_cast<std::size_t>(Tarvo::ShaderSource::maxIncludes));
    EXPECT_LE(source.text().size(), Tarvo::ShaderSource::maxSourceBytes);
    ASSERT_FALSE(source.problems().empty());
    EXPECT_NE(source.problems()[0].find("more than 256 includes"), std::string::npos) << source.problems()[0];
    EXPECT_EQ(source.problems()[0].rfind(dir.file("f") , 0), 0u) << "named with the including file";
    EXPECT_LE(source.problems().size(), 33u);
    EXPECT_NE(source.problems().back().find("more include problems"), std::string::npos);
}

// The assembled text stays under its size limit: an include that would pass it is refused
// before it is read, and so is a main file larger than the limit.
TEST(ShaderSourceTest, SourceSizeIsCappedBeforeAnythingLargeIsRead)
{
    ScratchDir dir;
    const std::string big(Tarvo::ShaderSource::maxSourceBytes * 6 / 10, 'x');
    dir.write("big.glsl", "// " + big);
    const auto main = dir.write("a.fs", "#include \"big.glsl\"\n#include \"big.glsl\"\nvoid main() {}");
    Tarvo::ShaderSource source;
    ASSERT_TRUE(source.read(main));
    EXPECT_LE(source.text().size(), Tarvo::ShaderSource::maxSourceBytes);
    ASSERT_EQ(source.problems().size(), 1u);
    EXPECT_EQ(source.problems()[0].rfind(main + ":2: cannot include ", 0), 0u) << source.problems()[0];
    EXPECT_NE(source.problems()[0].find("past 1048576 bytes"), std::string::npos);
    EXPECT_NE(source.text().find("void main() {}"), std::string::npos);

    const auto huge = dir.write("huge.fs", std::string(Tarvo::ShaderSource::maxSourceBytes + 1, '\n'));
    ASSERT_TRUE(source.read(huge));
    EXPECT_EQ(source.text(), "");
    ASSERT_EQ(source.problems().size(), 1u);
    EXPECT_NE(source.problems()[0].find("over the limit of 1048576"), std::string::npos);
}

TEST(ShaderSourceTest, AMainFileThatIsNoRegularFileIsNoSource)
{
    ScratchDir dir;
    ASSERT_EQ(mkfifo(dir.file("pipe.fs").c_str(), 0600), 0);
    Tarvo::ShaderSource source;
    EXPECT_FALSE(source.read(dir.file("pipe.fs")));
    EXPECT_FALSE(source.read("/dev/zero"));
    EXPECT_FALSE(source.read(dir.path().string()));
}

} // namespace

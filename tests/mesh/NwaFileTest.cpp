// ".nwa" parsing: part names, A and B, key-major key order, files that cannot animate,
// missing numbers, and where part meshes are looked for.
#include <gtest/gtest.h>

#include <sstream>

#include "mesh/NwaFile.h"

namespace {

bool parse(const std::string& text, Tarvo::NwaFile& nwa, std::string& error)
{
    std::istringstream in(text);
    return Tarvo::parseNwa(in, nwa, error);
}

std::string numbers(int from, int to)
{
    std::string text;
    for (int i = from; i <= to; ++i)
        text += std::to_string(i) + ((i % 6 == 0) ? "\n" : " ");
    return text;
}

} // namespace

TEST(NwaFileTest, KeysAreKeyMajorAcrossParts)
{
    // Three parts and two keys per part (A = 10, B = 10).
    Tarvo::NwaFile nwa;
    std::string error;
    ASSERT_TRUE(parse("a.obj b.obj  c.obj\n10 10\n" + numbers(1, 36), nwa, error)) << error;
    ASSERT_EQ(nwa.partNames, (std::vector<std::string>{"a.obj", "b.obj", "c.obj"}));
    EXPECT_EQ(nwa.length, 10);
    EXPECT_EQ(nwa.spacing, 10);
    EXPECT_EQ(nwa.keysPerPart(), 2);
    const auto part0 = nwa.partKeys(0);
    const auto part1 = nwa.partKeys(1);
    const auto part2 = nwa.partKeys(2);
    ASSERT_EQ(part0.size(), 2u);
    EXPECT_EQ(part0[0].position, glm::vec3(1, 2, 3));
    EXPECT_EQ(part0[0].rotation, glm::vec3(4, 5, 6));
    EXPECT_EQ(part1[0].position, glm::vec3(7, 8, 9));
    EXPECT_EQ(part2[0].rotation, glm::vec3(16, 17, 18));
    EXPECT_EQ(part0[1].position, glm::vec3(19, 20, 21));
    EXPECT_EQ(part2[1].rotation, glm::vec3(34, 35, 36));
}

TEST(NwaFileTest, LineBreaksBetweenNumbersAreFreeAndCarriageReturnsAreWhiteSpace)
{
    Tarvo::NwaFile nwa;
    std::string error;
    ASSERT_TRUE(parse("p.obj\r\n100 10\r\n0.5\n-1.25e1 3\n\n4 5 6", nwa, error)) << error;
    ASSERT_EQ(nwa.partNames, std::vector<std::string>{"p.obj"});
    ASSERT_EQ(nwa.keys.size(), 1u);
    EXPECT_EQ(nwa.keys[0].position, glm::vec3(0.5f, -12.5f, 3));
    EXPECT_EQ(nwa.keysPerPart(), 11);
}

TEST(NwaFileTest, MissingOrUnreadableNumbersReadAsZero)
{
    Tarvo::NwaFile nwa;
    std::string error;
    ASSERT_TRUE(parse("a b\n20 10\n1 2 3 4 5 6 7 8", nwa, error)) << error;
    ASSERT_EQ(nwa.keys.size(), 2u) << "keys are kept only as far as the file supplies them";
    EXPECT_EQ(nwa.keys[1].position, glm::vec3(7, 8, 0));
    EXPECT_EQ(nwa.keys[1].rotation, glm::vec3(0));

    Tarvo::NwaFile bad;
    ASSERT_TRUE(parse("a\n20 10\n1 2 3 x 5 6 7 8 9 10 11 12", bad, error)) << error;
    ASSERT_EQ(bad.keys.size(), 1u) << "reading stops at the first number that is not one";
    EXPECT_EQ(bad.keys[0].position, glm::vec3(1, 2, 3));
    EXPECT_EQ(bad.keys[0].rotation, glm::vec3(0));

    Tarvo::NwaFile overflow;
    ASSERT_TRUE(parse("a\n20 10\n1 2 1e99 4", overflow, error)) << error;
    EXPECT_EQ(overflow.keys[0].position, glm::vec3(1, 2, 0))
        << "an out-of-range number is not kept";
}

TEST(NwaFileTest, HugeLengthsAllocateOnlyWhatTheFileHolds)
{
    Tarvo::NwaFile nwa;
    std::string error;
    ASSERT_TRUE(parse("a b c\n2147483647 1\n" + numbers(1, 12), nwa, error)) << error;
    EXPECT_EQ(nwa.keysPerPart(), 2147483648LL);
    EXPECT_EQ(nwa.keys.size(), 2u);
    EXPECT_EQ(nwa.partKeys(2).size(), 0u);
}

TEST(NwaFileTest, FilesThatCannotAnimateAreRejectedWithAReason)
{
    const char* files[] = {
        "",                      // nothing at all
        "\n100 10\n1 2 3 4 5 6", // no part names
        "a.obj",                 // no line 2
        "a.obj\nten 10\n",       // A is not a number
        "a.obj\n100\n",          // B missing
        "a.obj\n100 0\n1 2 3",   // B = 0
        "a.obj\n5 10\n1 2 3",    // A < B: no key interval
        "a.obj\n-100 10\n",      // negative length
        "a.obj\n100 -10\n",      // negative spacing
        "a.obj\n99999999999 10\n",
    };
    for (const char* text : files) {
        Tarvo::NwaFile nwa;
        std::string error;
        EXPECT_FALSE(parse(text, nwa, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(NwaFileTest, PartPathsResolveLexicallyInTheNwaDirectory)
{
    EXPECT_EQ(Tarvo::resolvePartPath("./data/models/anims/truck/anim.nwa", "wheel.obj"),
              "data/models/anims/truck/wheel.obj");
    EXPECT_EQ(Tarvo::resolvePartPath("/abs/dir/test.nwa", "p.obj"), "/abs/dir/p.obj");
    EXPECT_EQ(Tarvo::resolvePartPath("test.nwa", "p.obj"), "p.obj");
    EXPECT_EQ(Tarvo::resolvePartPath("../up/test.nwa", "p.obj"), "../up/p.obj");
    EXPECT_EQ(Tarvo::resolvePartPath("a/test.nwa", "sub/p.obj"), "a/sub/p.obj");
    EXPECT_EQ(Tarvo::resolvePartPath("a/b/test.nwa", "../p.obj"), "a/p.obj");
}

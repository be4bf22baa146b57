// The helpers every test leans on: captured output sees stdio, iostreams and raw
// descriptor writes, nests, and puts the stream back; scratch folders are private and
// go away with what they hold.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "support/CapturedOutput.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace {

using testsupport::CapturedOutput;

TEST(CapturedOutputTest, CatchesStdioIostreamsAndTheDescriptorOnEachStream)
{
    CapturedOutput out;
    CapturedOutput err(CapturedOutput::Stream::err);
    // Unbuffered first: stdio holds its text until the capture flushes it.
    ASSERT_EQ(::write(STDOUT_FILENO, "write ", 6), 6);
    std::printf("printf ");
    std::cout << "cout";
    std::fprintf(stderr, "stderr ");
    std::cerr << "cerr";
    EXPECT_EQ(err.take(), "stderr cerr");
    EXPECT_EQ(out.take(), "write printf cout");
    EXPECT_EQ(out.take(), "") << "a second take has nothing left";
}

TEST(CapturedOutputTest, NestedCapturesEachSeeOnlyTheirOwnText)
{
    CapturedOutput outer;
    std::printf("before "); // still buffered when the inner capture starts
    {
        CapturedOutput inner;
        std::printf("inner");
        EXPECT_EQ(inner.take(), "inner");
    }
    {
        CapturedOutput dropped; // never taken: its text is discarded
        std::cout << "dropped";
    }
    std::printf("after");
    EXPECT_EQ(outer.take(), "before after");
}

TEST(ScratchDirTest, WritesUnderAFreshFolderThatGoesAwayWithItsFiles)
{
    std::filesystem::path kept;
    {
        const testsupport::ScratchDir scratch;
        const testsupport::ScratchDir other;
        kept = scratch.path();
        EXPECT_NE(kept, other.path());
        EXPECT_TRUE(std::filesystem::is_empty(kept));
        EXPECT_EQ(scratch.file("a/b.txt"), (kept / "a/b.txt").string());
        EXPECT_FALSE(std::filesystem::exists(scratch.file("a/b.txt"))) << "file() writes nothing";

        const std::string text = scratch.write("a/b.txt", "some text");
        EXPECT_EQ(text, scratch.file("a/b.txt"));
        EXPECT_EQ(testsupport::readFile(text), "some text");
        const std::vector<unsigned char> bytes = {0, 1, 0x80, 0xFF};
        EXPECT_EQ(testsupport::readBytes(scratch.write("bytes", bytes)), bytes);
    }
    EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(ReadFileTest, MissingFileReadsAsEmpty)
{
    const testsupport::ScratchDir scratch;
    EXPECT_EQ(testsupport::readFile(scratch.file("missing")), "");
    EXPECT_TRUE(testsupport::readBytes(scratch.path()).empty()) << "a folder is not a file";
}

} // namespace

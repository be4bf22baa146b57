// PLY header reading: ASCII and binary headers end at "end_header"; geometry is never
// read, and a missing end or file is no error worth a message.
#include <gtest/gtest.h>

#include <sstream>

#include "MeshTestFiles.h"
#include "mesh/PlyReader.h"
#include "support/ScratchDir.h"

TEST(PlyReaderTest, HeadersEndAtEndHeader)
{
    std::istringstream ascii("ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
                             "end_header\n0 0 0\n1 0 0\n");
    EXPECT_TRUE(Tarvo::readPlyHeader(ascii));
    std::string next;
    std::getline(ascii, next);
    EXPECT_EQ(next, "0 0 0") << "reading stops right after the header";

    std::istringstream windows("ply\r\nformat ascii 1.0\r\nend_header\r\n");
    EXPECT_TRUE(Tarvo::readPlyHeader(windows));

    std::istringstream notQuite("ply\nend_header_x\n end_header\n");
    EXPECT_FALSE(Tarvo::readPlyHeader(notQuite));
}

TEST(PlyReaderTest, BinaryBodiesAndMissingFilesAreHarmless)
{
    testsupport::ScratchDir scratch;
    std::string binary = "ply\nformat binary_little_endian 1.0\nelement vertex 1\nend_header\n";
    binary += std::string("\0\0\x80\x3f\xff\n\0", 7);
    EXPECT_TRUE(Tarvo::readPlyHeaderFile(scratch.write("b.ply", binary).c_str()));
    EXPECT_FALSE(
        Tarvo::readPlyHeaderFile(scratch.write("none.ply", "ply\nformat ascii 1.0\n").c_str()));
    EXPECT_FALSE(Tarvo::readPlyHeaderFile((scratch.path() / "missing.ply").c_str()));
    EXPECT_FALSE(Tarvo::readPlyHeaderFile(nullptr));
}

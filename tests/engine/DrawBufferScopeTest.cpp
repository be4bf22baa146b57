// The draw buffers a WebGL draw may have: every attachment the program writes, none that
// it does not (desktop builds never narrow them).
#include <gtest/gtest.h>

#include <vector>

#include "engine/DrawBufferScope.h"

namespace {

std::vector<GLenum> buffersFor(unsigned mask, unsigned count, unsigned room = 8)
{
    std::vector<GLenum> buffers(room, 0xDEADu);
    buffers.resize(Tarvo::drawBuffersFor(mask, count, buffers.data(), room));
    return buffers;
}

TEST(DrawBufferScopeTest, OneOutputIntoFourTargetsKeepsTheFirstOnly)
{
    EXPECT_EQ(buffersFor(0x1u, 4), (std::vector<GLenum> {GL_COLOR_ATTACHMENT0, GL_NONE, GL_NONE, GL_NONE}));
}

TEST(DrawBufferScopeTest, OutputsAtLaterLocationsKeepTheirAttachments)
{
    EXPECT_EQ(buffersFor(0xAu, 4), (std::vector<GLenum> {GL_NONE, GL_COLOR_ATTACHMENT1, GL_NONE, GL_COLOR_ATTACHMENT3}));
}

TEST(DrawBufferScopeTest, EveryOutputWrittenRestoresAllAttachments)
{
    EXPECT_EQ(buffersFor(~0u, 3), (std::vector<GLenum> {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1, GL_COLOR_ATTACHMENT2}));
}

TEST(DrawBufferScopeTest, NeverWritesPastTheRoomGiven)
{
    EXPECT_EQ(buffersFor(~0u, 12, 2).size(), 2u);
    EXPECT_TRUE(buffersFor(0x1u, 0).empty());
}

} // namespace

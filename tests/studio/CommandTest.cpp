// Standard input's commands: the vocabulary parses, anything else is one line of reason
// and no command, and the reader thread hands lines over in order.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

#include "studio/Command.h"
#include "studio/CommandQueue.h"

namespace studio {
namespace {

TEST(Command, TheVocabularyParsesWithItsNumbers)
{
    Command command;
    std::string error;
    ASSERT_TRUE(parseCommand("seek 640", command, error));
    EXPECT_EQ(command.kind, CommandKind::Seek);
    EXPECT_EQ(command.first, 640.0);
    ASSERT_TRUE(parseCommand("  loop 64.5\t-8  ", command, error));
    EXPECT_EQ(command.kind, CommandKind::Loop);
    EXPECT_EQ(command.first, 64.5);
    EXPECT_EQ(command.second, -8.0); // clamping is the transport's
    const std::pair<const char*, CommandKind> plain[] = {{"play", CommandKind::Play}, {"pause", CommandKind::Pause},
        {"loop off", CommandKind::LoopOff}, {"reload", CommandKind::Reload}, {"quit", CommandKind::Quit}};
    for (const auto& [text, kind] : plain) {
        ASSERT_TRUE(parseCommand(text, command, error)) << text;
        EXPECT_EQ(command.kind, kind) << text;
    }
}

TEST(Command, AnythingElseIsOneLineOfReason)
{
    Command command;
    std::string error;
    for (const char* bad : {"seek 12abc", "seek nan", "seek inf", "seek 1e999", "seek 0x", "seek", "seek 1 2",
             "loop 1", "loop on", "loop 1 two", "play now", "Seek 5", "frobnicate", "quit!"}) {
        EXPECT_FALSE(parseCommand(bad, command, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
        EXPECT_EQ(error.find('\n'), std::string::npos) << bad;
    }
    EXPECT_FALSE(parseCommand("frobnicate 3", command, error));
    EXPECT_EQ(error, "unknown command 'frobnicate' (play, pause, seek ROW, loop FROM TO, loop off, reload, quit)");
    EXPECT_FALSE(parseCommand("seek 12abc", command, error));
    EXPECT_EQ(error, "seek: '12abc' is not a row (a decimal number)");
    // A blank line is nothing, and not worth a word.
    EXPECT_FALSE(parseCommand(" \t", command, error));
    EXPECT_TRUE(error.empty());
}

TEST(CommandQueue, TheReaderHandsLinesOverInOrderAndSaysWhenInputEnds)
{
    auto queue = std::make_shared<CommandQueue>();
    std::istringstream input("seek 1\r\npause\n\nquit");
    readLinesInBackground(input, queue);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!queue->closed() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(queue->closed());
    const std::vector<QueuedLine> lines = queue->takeAll();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "seek 1");
    EXPECT_EQ(lines[1].text, "pause");
    EXPECT_EQ(lines[2].text, "");
    EXPECT_EQ(lines[3].text, "quit");
    EXPECT_LE(lines[0].received, lines[3].received);
    EXPECT_TRUE(queue->takeAll().empty());
}

} // namespace
} // namespace studio

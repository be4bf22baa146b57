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

TEST(Command, EditingCommandsTakeTheirFixedForms)
{
    Command command;
    std::string error;
    ASSERT_TRUE(parseCommand("key camX 640 -1.5e1 smooth", command, error)) << error;
    EXPECT_EQ(command.kind, CommandKind::SetKey);
    EXPECT_EQ(command.name, "camX");
    EXPECT_EQ(command.first, 640.0);
    EXPECT_EQ(command.second, -15.0);
    EXPECT_EQ(command.interpolation, 2);
    ASSERT_TRUE(parseCommand("key camX 0 1", command, error));
    EXPECT_EQ(command.interpolation, -1);
    ASSERT_TRUE(parseCommand("delete fade 16", command, error));
    EXPECT_EQ(command.kind, CommandKind::DeleteKey);
    EXPECT_EQ(command.first, 16.0);
    ASSERT_TRUE(parseCommand("keys camY 0 512", command, error));
    EXPECT_TRUE(command.ranged);
    EXPECT_EQ(command.second, 512.0);
    ASSERT_TRUE(parseCommand("keys camY", command, error));
    EXPECT_FALSE(command.ranged);
    ASSERT_TRUE(parseCommand("goto break", command, error));
    EXPECT_EQ(command.kind, CommandKind::Goto);
    EXPECT_EQ(command.name, "break");
    ASSERT_TRUE(parseCommand("screenshot out/a.png", command, error));
    EXPECT_EQ(command.name, "out/a.png");
    const std::pair<const char*, CommandKind> plain[] = {{"undo", CommandKind::Undo}, {"redo", CommandKind::Redo},
        {"save", CommandKind::Save}, {"sections", CommandKind::Sections}, {"reload theirs", CommandKind::ReloadTheirs},
        {"keep ours", CommandKind::KeepOurs}, {"recover", CommandKind::Recover}, {"mute", CommandKind::ToggleMute}};
    for (const auto& [text, kind] : plain) {
        ASSERT_TRUE(parseCommand(text, command, error)) << text;
        EXPECT_EQ(command.kind, kind) << text;
    }
}

// Rows are plain decimals: a number too large for a double still clamps like 999999.
TEST(Command, RowsArePlainDecimalsAndHugeOnesClamp)
{
    double value = 0.0;
    EXPECT_TRUE(parseDecimal("1e400", value));
    EXPECT_GT(value, 1e300);
    EXPECT_TRUE(parseDecimal("-1e400", value));
    EXPECT_LT(value, -1e300);
    EXPECT_TRUE(parseDecimal(".5", value));
    EXPECT_EQ(value, 0.5);
    for (const char* bad : {"0x10", "1e", "--1", "+", "1.2.3", "nan", "infinity", " 1", "1 "})
        EXPECT_FALSE(parseDecimal(bad, value)) << bad;
}

TEST(Command, AnythingElseIsOneLineOfReason)
{
    Command command;
    std::string error;
    for (const char* bad : {"seek 12abc", "seek nan", "seek inf", "seek 0x", "seek 0x10", "seek 1e", "seek .", "seek",
             "seek 1 2", "loop 1", "loop on", "loop 1 two", "play now", "Seek 5", "frobnicate", "quit!", "key a 1",
             "key a 1.5 2", "key a 1 0x2", "key a 1 2 bouncy", "key a 1 2 step x", "delete a", "delete a 1e", "undo 2",
             "keys", "keys a 1", "goto", "screenshot", "reload mine", "keep theirs"}) {
        EXPECT_FALSE(parseCommand(bad, command, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
        EXPECT_EQ(error.find('\n'), std::string::npos) << bad;
    }
    EXPECT_FALSE(parseCommand("frobnicate 3", command, error));
    EXPECT_EQ(error, "unknown command 'frobnicate' (" + std::string(commandList()) + ")");
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

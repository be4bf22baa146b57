// The real program, run windowed under the test display on a small data directory: its
// start-up log, its frame-time line, its end, and its clean failure without music.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"
#include "sync/TrackWriter.h"

namespace {

namespace fs = std::filesystem;

struct ShowRun {
    int status = -1;
    bool signalled = false;
    std::vector<std::string> out;
    std::string err;
};

class ShowTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir / "data" / "science"); }

    void makeTune(double seconds)
    {
        const std::string command = std::string("'") + VANTOR_MAKETUNE + "' '" +
                                    (dir / "data" / "vaxo-dubtech.mp3").string() + "' " +
                                    std::to_string(seconds) + " > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    void makeEndTrack(const std::vector<TrackKey>& keys)
    {
        ASSERT_TRUE(writeTrackFile((dir / "data" / "science" / "sync_e.track").string(), keys));
    }

    ShowRun runShow(const std::string& args) { return runIn(dir, VANTOR_PROGRAM, args); }

    // The program at program, started in folder; its output goes to files in the scratch
    // folder.
    ShowRun runIn(const fs::path& folder, const std::string& program, const std::string& args)
    {
        fs::create_directories(folder);
        const std::string command = "cd '" + folder.string() + "' && timeout 60 '" + program + "' " + args +
                                    " > '" + (dir / "out.txt").string() + "' 2> '" + (dir / "err.txt").string() + "'";
        const int raw = std::system(command.c_str());
        ShowRun run;
        run.signalled = WIFSIGNALED(raw);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::istringstream lines(testsupport::readFile(dir / "out.txt"));
        for (std::string line; std::getline(lines, line);)
            run.out.push_back(line);
        run.err = testsupport::readFile(dir / "err.txt");
        return run;
    }

    testsupport::ScratchDir scratch;
    const fs::path& dir = scratch.path(); // the program's working folder
};

bool contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(ShowTest, PlaysUntilTheEndTrackDropsAndLogsAsDocumented)
{
    makeTune(4.0);
    // Above 1.0 for 1.5 s (30 rows), then exactly 1.0.
    makeEndTrack({{0, 2.0f, Step}, {30, 1.0f, Step}});
    const ShowRun run = runShow("windowed");
    ASSERT_FALSE(run.signalled);
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_GE(run.out.size(), 5u);
    EXPECT_EQ(run.out[0], "Initializations 2");
    EXPECT_EQ(run.out[1], std::string("0: ") + VANTOR_PROGRAM);
    EXPECT_EQ(run.out[2], "1: windowed");
    EXPECT_TRUE(std::regex_match(run.out[3], std::regex(R"(\d+\.\d+\.\d+)"))) << run.out[3];
    EXPECT_TRUE(std::regex_search(run.err, std::regex(R"(The received OpenGL version: \d+\.\d+\.\d+)")));
    EXPECT_TRUE(contains(run.out, "SYNC TRACK FOUnD"));
    EXPECT_EQ(run.out.back(), "Terminate");
    bool reported = false;
    for (const std::string& line : run.out)
        reported = reported || std::regex_match(line, std::regex(R"([0-9.e+-]+ ms/frame)"));
    EXPECT_TRUE(reported);
}

TEST_F(ShowTest, MissingEndTrackEndsAfterOneFrame)
{
    makeTune(2.0);
    const ShowRun run = runShow("Windowed extra");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out[0], "Initializations 3");
    EXPECT_EQ(run.out[2], "1: Windowed");
    EXPECT_EQ(run.out[3].find("2: extra"), 0u);
    EXPECT_TRUE(contains(run.out, "SYNC TRACK ./data/science/sync_e.track NOT FOUND"));
    EXPECT_EQ(run.out.back(), "Terminate");
    for (const std::string& line : run.out)
        EXPECT_EQ(line.find("ms/frame"), std::string::npos);
}

TEST_F(ShowTest, MusicShorterThanTheTimelineIsSaidAtStartAndEndsTheShow)
{
    makeTune(1.5);
    makeEndTrack({{0, 2.0f, Step}, {1200, 0.0f, Step}}); // a minute of timeline
    const ShowRun run = runShow("windowed");
    ASSERT_FALSE(run.signalled) << "the show must end with its music, not by the timeout";
    EXPECT_EQ(run.status, 0) << run.err;
    const auto said = std::find_if(run.out.begin(), run.out.end(), [](const std::string& line) {
        return line.rfind("The music ends at row 30", 0) == 0;
    });
    ASSERT_NE(said, run.out.end()) << "said at start-up";
    EXPECT_NE(said->find("before the end track \"e\" drops"), std::string::npos) << *said;
    EXPECT_EQ(run.out.back(), "Terminate");
}

// A kilobyte of random bytes over the middle of the music: the show plays the stretch as
// silence and runs on its clock to the end track, instead of ending at the damage.
TEST_F(ShowTest, DamagedMusicPlaysToTheEndTrackWithoutEndingEarly)
{
    makeTune(4.0);
    const fs::path music = dir / "data" / "vaxo-dubtech.mp3";
    std::vector<unsigned char> bytes = testsupport::readBytes(music);
    unsigned state = 77;
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 1000; ++i)
        bytes[i] = static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 16);
    scratch.write("data/vaxo-dubtech.mp3", bytes);
    makeEndTrack({{0, 2.0f, Step}, {70, 1.0f, Step}}); // 3.5 s, past the damage
    const ShowRun run = runShow("windowed");
    ASSERT_FALSE(run.signalled);
    EXPECT_EQ(run.status, 0) << run.err;
    for (const std::string& line : run.out)
        EXPECT_EQ(line.rfind("The music ends at row", 0), std::string::npos) << line;
    ASSERT_FALSE(run.out.empty());
    EXPECT_EQ(run.out.back(), "Terminate");
}

// The show's last pass, the one that draws every frame to the window, with hostile
// includes put into its shader (the other shaders are left out, so the run is short):
// each is refused with its file and line, and the show starts and ends as usual, neither
// blocked by the FIFO nor filling memory from the device or the fan.
TEST_F(ShowTest, HostileShaderIncludesAreRefusedAndTheShowRuns)
{
    makeTune(2.0);
    makeEndTrack({{0, 2.0f, Step}, {10, 1.0f, Step}});
    const fs::path shaders = dir / "data" / "shaders";
    fs::create_directories(shaders);
    for (const char* name : {"trivial.vs", "fxaa.fs"})
        fs::copy_file(fs::path(VANTOR_DATA) / "shaders" / name, shaders / name);
    ASSERT_EQ(mkfifo((shaders / "pipe.glsl").c_str(), 0600), 0);
    scratch.write("outside.glsl", "// not the show's");
    for (int level = 0; level < 6; ++level) {
        std::string text = "// level " + std::to_string(level) + "\n";
        for (int i = 0; i < 10; ++i)
            text += "#include \"fan" + std::to_string(level + 1) + ".glsl\"\n";
        scratch.write("data/shaders/fan" + std::to_string(level) + ".glsl", text);
    }
    scratch.write("data/shaders/fan6.glsl", "// leaf");
    std::string fxaa = testsupport::readFile(shaders / "fxaa.fs");
    const auto firstLineEnd = fxaa.find('\n');
    fxaa.insert(firstLineEnd + 1, "#include \"/dev/zero\"\n#include \"pipe.glsl\"\n#include \"/etc/passwd\"\n"
                                  "#include \"../../outside.glsl\"\n#include \"fan0.glsl\"\n");
    fs::remove(shaders / "fxaa.fs");
    scratch.write("data/shaders/fxaa.fs", fxaa);

    const ShowRun run = runShow("windowed");
    ASSERT_FALSE(run.signalled);
    EXPECT_EQ(run.status, 0) << run.err;
    std::string out;
    for (const std::string& line : run.out)
        out += line + "\n";
    const std::string where = "./data/shaders/fxaa.fs:";
    EXPECT_NE(out.find(where + "2: cannot include /dev/zero: not a regular file"), std::string::npos) << out;
    EXPECT_NE(out.find(where + "3: cannot include data/shaders/pipe.glsl: not a regular file"), std::string::npos);
    EXPECT_NE(out.find(where + "4: cannot include /etc/passwd: outside the data folder"), std::string::npos);
    EXPECT_NE(out.find(where + "5: cannot include outside.glsl: outside the data folder"), std::string::npos);
    EXPECT_NE(out.find("more than 256 includes"), std::string::npos);
    EXPECT_EQ(run.out.back(), "Terminate");
}

TEST_F(ShowTest, MissingMusicFailsCleanly)
{
    makeEndTrack({{0, 2.0f, Step}});
    const ShowRun run = runShow("windowed");
    EXPECT_FALSE(run.signalled);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Failed to open tune"), std::string::npos);
    EXPECT_TRUE(contains(run.out, "0"));
    EXPECT_FALSE(contains(run.out, "Terminate"));
}

TEST_F(ShowTest, HelpAndMistakesOpenNoWindow)
{
    const ShowRun help = runShow("--help");
    EXPECT_EQ(help.status, 0);
    ASSERT_FALSE(help.out.empty());
    EXPECT_EQ(help.out[0].rfind("usage: vantor", 0), 0u) << help.out[0];
    EXPECT_FALSE(contains(help.out, "Initializations 2"));
    EXPECT_EQ(help.err.find("OpenGL"), std::string::npos) << help.err;

    const ShowRun typo = runShow("--windowed");
    EXPECT_EQ(typo.status, 2);
    EXPECT_TRUE(typo.out.empty());
    EXPECT_EQ(typo.err.rfind("vantor: unknown option '--windowed'\nusage: vantor", 0), 0u) << typo.err;
    EXPECT_EQ(typo.err.find("OpenGL"), std::string::npos) << "no window was opened";
}

TEST_F(ShowTest, StartedFromAnotherFolderItUsesTheDataBesideIt)
{
    // A release folder (program and data) started from elsewhere, as a shortcut without a
    // start folder does.
    const fs::path release = dir / "release";
    fs::create_directories(release / "data" / "science");
    fs::copy_file(VANTOR_PROGRAM, release / "vantor");
    ASSERT_EQ(std::system(("'" + std::string(VANTOR_MAKETUNE) + "' '" + (release / "data" / "vaxo-dubtech.mp3").string() +
                              "' 2 > /dev/null 2>&1")
                              .c_str()),
        0);
    ASSERT_TRUE(writeTrackFile((release / "data" / "science" / "sync_e.track").string(), {{0, 2.0f, Step}, {4, 1.0f, Step}}));
    fs::remove_all(dir / "data"); // the working folder has none

    const ShowRun run = runIn(dir / "elsewhere", "../release/vantor", "windowed");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Data folder: " + (fs::canonical(release) / "data").string() + "\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.out[1], "0: ../release/vantor") << "the argument lines are as given";
    EXPECT_TRUE(contains(run.out, "SYNC TRACK FOUnD"));
    EXPECT_EQ(run.out.back(), "Terminate");
}

TEST_F(ShowTest, WithoutDataAnywhereItSaysWhereItLookedAndOpensNoWindow)
{
    const fs::path bin = dir / "lonely" / "bin";
    fs::create_directories(bin);
    fs::copy_file(VANTOR_PROGRAM, bin / "vantor");
    const ShowRun run = runIn(dir / "lonely" / "elsewhere", (bin / "vantor").string(), "windowed");
    EXPECT_EQ(run.status, 1);
    const std::string looked = "No data folder: looked for data in " + fs::canonical(dir / "lonely" / "elsewhere").string() +
                               ", " + fs::canonical(bin).string() + " and " + fs::canonical(dir / "lonely").string() + "\n";
    EXPECT_NE(run.err.find(looked), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("OpenGL"), std::string::npos) << run.err;
}

TEST_F(ShowTest, AFrameSizeOtherThanTheScreensIsScaledFullScreen)
{
    // 800x600 on the test display's 1920x1080: the frame is drawn at 800x600 and shown
    // pillarboxed; the show runs to its end as at any size.
    makeTune(3.0);
    makeEndTrack({{0, 2.0f, Step}, {30, 1.0f, Step}});
    const ShowRun run = runShow("--size 800x600 --vsync off");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out[0], "Initializations 5");
    EXPECT_EQ(run.out.back(), "Terminate");
}

TEST_F(ShowTest, AFrameSizeBeyondWhatTheGlCanDrawIsRefusedAsAnArgument)
{
    makeTune(2.0);
    const ShowRun run = runShow("windowed --size 16384x16384");
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("vantor: --size 16384x16384 is larger than this OpenGL allows"), std::string::npos)
        << run.err;
    EXPECT_FALSE(contains(run.out, "Terminate"));
}

class ShowStopTest : public ShowTest, public testing::WithParamInterface<int> {};

TEST_P(ShowStopTest, CtrlCAndSigtermEndTheShowWithTerminate)
{
    using namespace std::chrono_literals;
    makeTune(20.0);
    makeEndTrack({{0, 2.0f, Step}}); // the show would last as long as its music
    testsupport::ChildProcess show(VANTOR_PROGRAM, {"windowed"}, dir, dir / "out.txt", dir / "err.txt");
    ASSERT_TRUE(show.started());
    // The first frame-time report says the frame loop is running.
    ASSERT_TRUE(show.waitUntil(
        [&] { return testsupport::readFile(dir / "out.txt").find(" ms/frame\n") != std::string::npos; }, 60s))
        << testsupport::readFile(dir / "err.txt");
    show.signal(GetParam());
    const testsupport::ChildExit end = show.wait(10s);
    EXPECT_FALSE(end.timedOut);
    EXPECT_TRUE(end.exited) << "ended by signal " << end.signal;
    EXPECT_EQ(end.status, 128 + GetParam());
    const std::string out = testsupport::readFile(dir / "out.txt");
    EXPECT_EQ(out.substr(out.size() >= 10 ? out.size() - 10 : 0), "Terminate\n") << out;
}

INSTANTIATE_TEST_SUITE_P(IntAndTerm, ShowStopTest, testing::Values(SIGINT, SIGTERM));

} // namespace

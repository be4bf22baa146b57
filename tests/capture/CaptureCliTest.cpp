// Bad command lines: the program refuses them with exit status 2 and a message naming the
// problem, before it opens a window or writes anything (so no display is needed).
#include <gtest/gtest.h>

#include "CaptureRun.h"

namespace {

namespace fs = std::filesystem;
using capturetest::CaptureProgramTest;
using capturetest::Outcome;

using CaptureCliTest = CaptureProgramTest;

TEST_F(CaptureCliTest, BadArgumentsExitWithTwoAndSayWhy)
{
    struct Case {
        const char* args;
        const char* says;
    };
    for (const Case& c : {Case{"--out f --size 64", "--size: '64'"},
                          Case{"--out f --fps 0", "--fps: '0'"},
                          Case{"--out f --scene nope", "--scene: unknown scene 'nope' (known: main, ao, motion, ssr, snow, toy, testcard)"},
                          Case{"--out f --rows 5 --y4m -", "--out and --y4m"},
                          Case{"--rows 5 --out f --wav a.wav", "--rows renders single rows"},
                          Case{"--out f --from 10 --to 2", "--to must be greater than --from"},
                          Case{"--bench 5 --out f", "--bench renders without writing"},
                          Case{"", "nothing to do"},
                          Case{"--out", "--out needs a value"}}) {
        const Outcome r = run(c.args);
        EXPECT_FALSE(r.signalled) << c.args;
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(std::string("vantor-capture: ") + c.says), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_FALSE(fs::exists(dir / "f")) << c.args;
        EXPECT_FALSE(fs::exists(dir / "a.wav")) << c.args;
    }
}

// Without a display it draws off-screen through EGL; where EGL has no driver (here: no
// vendor library to load), it says so and shows how to give it a virtual display.
TEST_F(CaptureCliTest, WithoutADisplayOrEglItSaysWhyAndShowsTheXvfbForm)
{
    const Outcome r = run("--size 32x18 --rows 1 --out f",
                          "env -u DISPLAY -u WAYLAND_DISPLAY __EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No OpenGL context without a display: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("vantor-capture: cannot draw without a display here"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("xvfb-run -a"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "f"));
}

TEST_F(CaptureCliTest, HelpListsOptionsAndScenesOnStandardOutput)
{
    const Outcome r = run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--size", "--fps", "--from", "--to", "--out", "--y4m", "--wav", "--rows", "--scene",
                               "--bench", "--plan", "--headless", "main", "testcard"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
}

} // namespace

// scripts/render-video.sh on the show's own data: chunks rendered side by side, here or
// on other machines, join into the very frames of a single run, at a single run's times,
// however many chunks there are; a failed chunk is retried and finished ones are kept for
// a resume, also when the run is interrupted; runs that cannot work do not start.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "CaptureRun.h"
#include "capture/Y4mSink.h"
#include "support/ReadFile.h"

namespace {

namespace fs = std::filesystem;
using capturetest::CaptureProgramTest;
using capturetest::Outcome;

constexpr int width = 160;
constexpr int height = 90;
constexpr size_t frameBytes = static_cast<size_t>(width) * height * 3; // 4:4:4, 8 bits
// 23 frames at 20 fps: neither 5 nor 8 chunks divide them, and with a key frame every
// second frame the last segment holds one frame.
const std::string unevenSpan = "--size 64x36 --fps 20 --from 2600 --to 2623 --keyint 2 ";

class RenderVideoGLTest : public CaptureProgramTest {
protected:
    void SetUp() override
    {
        CaptureProgramTest::SetUp();
        ASSERT_EQ(std::system("command -v ffmpeg > /dev/null && command -v parallel > /dev/null"), 0)
            << "ffmpeg and GNU parallel are needed: bash scripts/install-deps.sh";
        ASSERT_TRUE(fs::exists(root / "data" / "vaxo-dubtech.mp3")) << "build the assets target first";
    }

    std::string script(const std::string& video, const std::string& args, const std::string& env = "") const
    {
        return "env " + env + "CAPTURE='" + VANTOR_CAPTURE + "' bash scripts/render-video.sh '" +
               (dir / video).string() + "' " + args;
    }

    // The script from the repository's root, its video written into the scratch folder.
    Outcome render(const std::string& video, const std::string& args, const std::string& env = "")
    {
        return shell(root, script(video, args, env));
    }

    // The same with a stand-in capture whose part starting at frame `first` fails the
    // next `failures` times.
    Outcome renderFlaky(const std::string& video, const std::string& args, long first, int failures)
    {
        std::ofstream(dir / "failures") << failures;
        return shell(root, "env REAL_CAPTURE='" + std::string(VANTOR_CAPTURE) + "' FLAKY_FIRST=" +
                               std::to_string(first) + " FLAKY_COUNTER='" + (dir / "failures").string() + "' " +
                               "CAPTURE='" + (root / "tests/capture/flaky-capture.sh").string() +
                               "' bash scripts/render-video.sh '" + (dir / video).string() + "' " + args);
    }

    Outcome captureRun(const std::string& args) { return shell(root, std::string("'") + VANTOR_CAPTURE + "' " + args); }

    // Every frame of a video, decoded to planar 4:4:4.
    std::string decoded(const std::string& video)
    {
        const Outcome r = shell(dir, "ffmpeg -v error -nostdin -i " + video + " -f rawvideo -pix_fmt yuv444p -");
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }

    // Each decoded frame's time, length and checksum, one line a frame after a header
    // that names the time base.
    std::string frameSums(const std::string& video)
    {
        const Outcome r = shell(dir, "ffmpeg -v error -nostdin -i " + video + " -map 0:v -f framemd5 -");
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }

    std::string probe(const std::string& video, const std::string& entries, const std::string& select = "v")
    {
        return shell(dir, "ffprobe -v error -of compact=p=0:nk=1 -select_streams " + select + " -show_entries " +
                              entries + " " + video)
            .out;
    }

    // The video stream's codec, pixels, colours and frame count, then the audio's codec.
    std::string streams(const std::string& video)
    {
        return probe(video, "stream=codec_name,pix_fmt,color_space,color_range,nb_frames") +
               probe(video, "stream=codec_name", "a");
    }

    // The folders of chunks kept beside the videos.
    std::vector<fs::path> workFolders() const
    {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename().string().rfind(".render-video", 0) == 0)
                found.push_back(entry.path());
        return found;
    }

    static size_t count(const std::string& text, const std::string& what)
    {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }

    const fs::path root = fs::path(VANTOR_DATA).parent_path();
};

// The video holds the plan's frames, each at frame / fps, whether it was rendered as one
// chunk or split into 5 or 8, losslessly and as an MP4, and it is as long as the span.
class RenderVideoChunkCountTest : public RenderVideoGLTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RenderVideoChunkCountTest, AnyChunkCountGivesTheSameFramesAtTheSameTimes)
{
    const std::string mode = GetParam();
    const std::string ext = mode == "--lossless" ? ".mkv" : ".mp4";
    std::map<int, std::string> sums;
    for (int chunks : {1, 5, 8}) {
        const std::string video = std::to_string(chunks) + ext;
        const Outcome r = render(video, unevenSpan + mode + " --jobs 2 --chunks " + std::to_string(chunks));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("23 frames, 1.15 s, checked"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\033'), std::string::npos) << "terminal escapes in a log: " << r.err;
        sums[chunks] = frameSums(video);
    }
    // 23 frames, the last one starting at 22 / 20 s in the listing's time base.
    ASSERT_EQ(count(sums[1], "\n0,"), 23u) << sums[1];
    const size_t tb = sums[1].find("#tb 0: 1/");
    ASSERT_NE(tb, std::string::npos) << sums[1];
    const double ticksPerSecond = std::stod(sums[1].substr(tb + 9));
    std::istringstream last(sums[1].substr(sums[1].rfind("\n0,") + 1));
    std::string stream, dts, pts;
    std::getline(last, stream, ',');
    std::getline(last, dts, ',');
    std::getline(last, pts, ',');
    EXPECT_EQ(std::stod(pts), 22.0 / 20.0 * ticksPerSecond) << sums[1];
    EXPECT_EQ(sums[5], sums[1]);
    EXPECT_EQ(sums[8], sums[1]);
    if (ext == ".mp4") {
        EXPECT_EQ(probe("8.mp4", "stream=duration"), "1.150000\n");
    }
    EXPECT_TRUE(workFolders().empty()) << "a finished run leaves no chunks behind";
}

INSTANTIATE_TEST_SUITE_P(Outputs, RenderVideoChunkCountTest, ::testing::Values("--lossless", ""));

// Rows 2696 to 2704 at 20 frames a second rise with the camera to the wide view, each
// frame blurred along a long stretch of the move; two chunks meet at row 2700.
TEST_F(RenderVideoGLTest, TwoChunksJoinIntoTheFramesOfOneEvenInsideABlurredCameraMove)
{
    const std::string span = "--size 160x90 --fps 20 --from 2696 --to 2704 --keyint 4 --lossless ";
    Outcome r = render("one.mkv", span + "--chunks 1");
    ASSERT_EQ(r.status, 0) << r.err;
    r = render("two.mkv", span + "--chunks 2 --jobs 2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("in 2 chunks"), std::string::npos) << r.err;
    EXPECT_EQ(streams("two.mkv"), "ffv1|yuv444p|tv|bt709|N/A\nflac\n");

    const std::string one = decoded("one.mkv");
    const std::string two = decoded("two.mkv");
    ASSERT_EQ(one.size(), 8 * frameBytes);
    EXPECT_TRUE(one == two) << "the joined chunks differ from a single run";

    // What a chunk that started cold would have drawn at row 2700: no previous frame,
    // so no blur. The frame after it has one again and matches the joined video, which
    // shows the rows line up and the lossless path changes no byte.
    r = captureRun("--size 160x90 --fps 20 --from 2700 --to 2702 --y4m -");
    ASSERT_EQ(r.status, 0) << r.err;
    const size_t header = capture::y4mHeader(width, height, 20).size();
    ASSERT_EQ(r.out.size(), header + 2 * (6 + frameBytes));
    const std::string cold = r.out.substr(header + 6, frameBytes);
    const std::string coldNext = r.out.substr(header + 6 + frameBytes + 6, frameBytes);
    EXPECT_FALSE(two.compare(4 * frameBytes, frameBytes, cold) == 0) << "row 2700 shows no motion blur";
    EXPECT_TRUE(two.compare(5 * frameBytes, frameBytes, coldNext) == 0);

    // The music, losslessly, sample for sample as vantor-capture cuts it for the span.
    r = captureRun("--fps 20 --from 2696 --to 2704 --wav '" + (dir / "span.wav").string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string music = shell(dir, "ffmpeg -v error -nostdin -i two.mkv -map 0:a -f s16le -").out;
    const std::string wav = testsupport::readFile(dir / "span.wav");
    ASSERT_GT(wav.size(), 44u);
    EXPECT_TRUE(music == wav.substr(44)) << music.size() << " bytes against " << wav.size() - 44;
}

// The plan the script reads: a span cut short by --to still names where the end track
// would have ended it, which is where a span without --to ends.
TEST_F(RenderVideoGLTest, PlanNamesTheSpanAndWhereTheEndTrackEndsTheShow)
{
    const Outcome cut = captureRun("--size 64x36 --fps 20 --from 2600 --to 2623 --plan");
    ASSERT_EQ(cut.status, 0) << cut.err;
    EXPECT_NE(cut.out.find("frames 23\nfps 20\nsize 64x36\nfirst_row 2600\nlast_frame_row 2622\nend_row 2623\n"
                           "capped 0\n"),
              std::string::npos)
        << cut.out;
    const Outcome whole = captureRun("--size 64x36 --fps 20 --from 2600 --plan");
    ASSERT_EQ(whole.status, 0) << whole.err;
    const auto value = [](const std::string& text, const std::string& key) {
        const size_t at = text.find("\n" + key + " ");
        return at == std::string::npos ? std::string() : text.substr(at + key.size() + 2, text.find('\n', at + 1) - at - key.size() - 2);
    };
    EXPECT_FALSE(value(cut.out, "track_end_row").empty()) << cut.out;
    EXPECT_EQ(value(whole.out, "end_row"), value(cut.out, "track_end_row")) << whole.out;
    EXPECT_EQ(value(whole.out, "track_capped"), "0") << "the show's end track ends the show";
}

// Off-screen through EGL, without a display, the capture draws exactly what it draws in
// an invisible window on the same driver: the same configuration (multisampled, 32-bit
// depth) is asked of both.
TEST_F(RenderVideoGLTest, HeadlessCaptureDrawsTheWindowsPixelsByteForByte)
{
    const std::string span = "--size 96x54 --fps 20 --from 2690 --to 2706 --y4m ";
    const Outcome window = captureRun(span + "'" + (dir / "window.y4m").string() + "'");
    ASSERT_EQ(window.status, 0) << window.err;
    const Outcome headless = shell(root, "env -u DISPLAY '" + std::string(VANTOR_CAPTURE) + "' " + span + "'" +
                                             (dir / "headless.y4m").string() + "'");
    ASSERT_EQ(headless.status, 0) << headless.err;
    const Outcome forced = captureRun("--headless " + span + "'" + (dir / "forced.y4m").string() + "'");
    ASSERT_EQ(forced.status, 0) << forced.err;
    const std::string drawn = testsupport::readFile(dir / "window.y4m");
    ASSERT_GT(drawn.size(), 16u * 96 * 54 * 3);
    EXPECT_TRUE(testsupport::readFile(dir / "headless.y4m") == drawn);
    EXPECT_TRUE(testsupport::readFile(dir / "forced.y4m") == drawn);
}

// A chunk that fails is tried again; one that keeps failing fails the run and leaves
// the finished chunks for a re-run, which renders only the rest.
TEST_F(RenderVideoGLTest, FailedChunksAreRetriedAndFinishedOnesKeptForAResume)
{
    const std::string args = "--size 64x36 --fps 20 --from 2600 --to 2606 --keyint 2 --chunks 3 --jobs 1 --lossless";
    Outcome r = renderFlaky("retried.mkv", args, 2, 2);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testsupport::readFile(dir / "failures"), "0\n") << "the chunk was tried three times";
    EXPECT_EQ(decoded("retried.mkv").size(), 6u * 64 * 36 * 3);

    r = renderFlaky("resumed.mkv", args + " --retries 1", 4, 2);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("a chunk failed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("this machine dropped out"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "resumed.mkv"));
    ASSERT_EQ(workFolders().size(), 1u);

    r = renderFlaky("resumed.mkv", args, 4, 0);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("resuming: 2 of 3 chunks done"), std::string::npos) << r.err;
    EXPECT_EQ(decoded("resumed.mkv"), decoded("retried.mkv"));
    EXPECT_TRUE(workFolders().empty());
}

// Ctrl-C (an interrupt to the whole process group) or a SIGTERM to the script, also
// when it runs under with-display.sh, stops every chunk at once and keeps the finished
// ones; the run says "interrupted" and exits with 128 + the signal.
struct Interruption {
    const char* name;
    const char* wrapper; // what runs the script
    const char* kill;    // how the signal is sent to $pid
    int status;
};

class RenderVideoInterruptTest : public RenderVideoGLTest, public ::testing::WithParamInterface<Interruption> {};

TEST_P(RenderVideoInterruptTest, StopsEveryChunkKeepsFinishedOnesAndSaysInterrupted)
{
    const Interruption& how = GetParam();
    const std::string work = (dir / ".render-video-*/done/*").string();
    std::ofstream(dir / "interrupt.sh")
        << "set -m\n" // the run gets a process group of its own, as at a terminal
        << how.wrapper << script("cut.mkv", unevenSpan + "--lossless --chunks 8 --jobs 2") << " &\n"
        << "pid=$!\n"
        << "for i in $(seq 600); do ! ls " << work << " >/dev/null 2>&1 || break; sleep 0.1; done\n"
        << how.kill << "\n"
        << "wait $pid\n";
    const Outcome r = shell(root, "bash '" + (dir / "interrupt.sh").string() + "'");
    EXPECT_EQ(r.status, how.status) << r.err;
    EXPECT_NE(r.err.find("render-video: interrupted"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("a chunk failed"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "cut.mkv"));
    const Outcome left = shell(dir, "sleep 1; pgrep -f -- '--fps 20 --from 2600 --to 2623' || true");
    EXPECT_EQ(left.out, "") << "still running after the interruption";

    const Outcome resumed = render("cut.mkv", unevenSpan + "--lossless --chunks 8 --jobs 2");
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_NE(resumed.err.find("resuming: "), std::string::npos) << resumed.err;
    EXPECT_EQ(probe("cut.mkv", "stream=codec_name"), "ffv1\n");
}

INSTANTIATE_TEST_SUITE_P(
    Signals, RenderVideoInterruptTest,
    ::testing::Values(Interruption{"CtrlC", "", "kill -INT -- -$pid", 130},
                      Interruption{"TermUnderWithDisplay", "bash scripts/with-display.sh ", "kill -TERM $pid", 143}),
    [](const ::testing::TestParamInfo<Interruption>& info) { return std::string(info.param.name); });

// Two of the three chunks go to "other machines" through a stand-in for ssh, which runs
// them here the way sshd would: no display, the home folder as working folder.
TEST_F(RenderVideoGLTest, ChunksFromOtherMachinesJoinIntoAnMp4AndBadArgumentsAreRefused)
{
    const std::string ssh = (root / "tests" / "capture" / "stand-in-ssh.sh").string();
    const Outcome r = render("show.mp4",
                             "--size 160x90 --fps 20 --from 100 --to 106 --keyint 2 --chunks 3 "
                             "--sshlogin 1/render1,1/render2,1/:",
                             "PARALLEL_SSH='" + ssh + "' STAND_IN_SSH_LOG='" + (dir / "ssh.log").string() + "' ");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(streams("show.mp4"), "h264|yuv420p|tv|bt709|6\naac\n") << r.err;
    const std::string hosts = testsupport::readFile(dir / "ssh.log");
    EXPECT_NE(hosts.find("render1"), std::string::npos) << hosts;
    EXPECT_NE(hosts.find("render2"), std::string::npos) << hosts;
    EXPECT_TRUE(workFolders().empty());

    for (const char* bad : {"--chunks 0", "--jobs x", "--to", "--colour red", "--retries x", "--keyint 0"}) {
        const Outcome refused = render("bad.mp4", bad);
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_NE(refused.err.find("render-video: "), std::string::npos) << bad << ": " << refused.err;
    }
    const Outcome empty = render("bad.mp4", "--from 10 --to 5");
    EXPECT_EQ(empty.status, 2);
    EXPECT_NE(empty.err.find("--to must be greater than --from"), std::string::npos) << empty.err;
    EXPECT_FALSE(fs::exists(dir / "bad.mp4"));
}

// Runs that cannot end well do not start: OUT is a folder, the chunks would not fit on
// the disk, or another machine would render other bytes.
TEST_F(RenderVideoGLTest, RunsThatCannotWorkDoNotStart)
{
    fs::create_directories(dir / "folder.mp4");
    Outcome r = render("folder.mp4", unevenSpan);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("is a folder"), std::string::npos) << r.err;

    // 4096x4096 at 1000 fps for 5000 s: petabytes.
    r = render("huge.mp4", "--size 4096x4096 --fps 1000 --from 0 --to 100000");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("MiB free; not starting"), std::string::npos) << r.err;
    EXPECT_TRUE(workFolders().empty());

    // render2 finds another ffmpeg first, which says it is another version.
    fs::create_directories(dir / "odd");
    std::ofstream(dir / "odd" / "ffmpeg") << "#!/bin/sh\n"
                                             "case \" $* \" in *\" -version \"*) echo 'ffmpeg version 0.0-other'; "
                                             "exit 0;; esac\nexec /usr/bin/ffmpeg \"$@\"\n";
    fs::permissions(dir / "odd" / "ffmpeg", fs::perms::owner_all);
    const std::string ssh = (root / "tests" / "capture" / "stand-in-ssh.sh").string();
    r = render("remote.mp4", unevenSpan + "--sshlogin 1/render1,1/render2,1/:",
               "PARALLEL_SSH='" + ssh + "' STAND_IN_SSH_LOG='" + (dir / "ssh.log").string() +
                   "' STAND_IN_SSH_ODD_HOST=render2 STAND_IN_SSH_ODD_PATH='" + (dir / "odd").string() + "' ");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("render-video: render2 ("), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("render1 ("), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("not starting"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "remote.mp4"));
}

} // namespace

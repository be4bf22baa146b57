// scripts/render-video.sh on the show's own data: chunks rendered side by side, here or
// on other machines, join into the very frames of a single run, also where a chunk starts
// inside a fast, motion-blurred camera move, and the video carries the music in the
// promised formats.
#include <gtest/gtest.h>

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

class RenderVideoGLTest : public CaptureProgramTest {
protected:
    void SetUp() override
    {
        CaptureProgramTest::SetUp();
        ASSERT_EQ(std::system("command -v ffmpeg > /dev/null && command -v parallel > /dev/null"), 0)
            << "ffmpeg and GNU parallel are needed: bash scripts/install-deps.sh";
        ASSERT_TRUE(fs::exists(root / "data" / "vaxo-dubtech.mp3")) << "build the assets target first";
    }

    // The script from the repository's root, its video written into the scratch folder.
    Outcome render(const std::string& video, const std::string& args, const std::string& env = "")
    {
        return shell(root, "env " + env + "CAPTURE='" + VANTOR_CAPTURE + "' bash scripts/render-video.sh '" +
                               (dir / video).string() + "' --size 160x90 " + args);
    }

    Outcome captureRun(const std::string& args) { return shell(root, std::string("'") + VANTOR_CAPTURE + "' " + args); }

    // Every frame of a video, decoded to planar 4:4:4.
    std::string decoded(const std::string& video)
    {
        const Outcome r = shell(dir, "ffmpeg -v error -nostdin -i " + video + " -f rawvideo -pix_fmt yuv444p -");
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }

    // The video stream's codec, pixels, colours and frame count, then the audio's codec.
    std::string streams(const std::string& video)
    {
        const std::string probe = "ffprobe -v error -of compact=p=0:nk=1 -show_entries stream=";
        return shell(dir, probe + "codec_name,pix_fmt,color_space,color_range,nb_frames -select_streams v " + video)
                   .out +
               shell(dir, probe + "codec_name -select_streams a " + video).out;
    }

    const fs::path root = fs::path(VANTOR_DATA).parent_path();
};

// Rows 2696 to 2704 at 20 frames a second rise with the camera to the wide view, each
// frame blurred along a long stretch of the move; two chunks meet at row 2700.
TEST_F(RenderVideoGLTest, TwoChunksJoinIntoTheFramesOfOneEvenInsideABlurredCameraMove)
{
    const std::string span = "--fps 20 --from 2696 --to 2704 --lossless ";
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

// Two of the three chunks go to "other machines" through a stand-in for ssh, which runs
// them here the way sshd would: no display, the home folder as working folder.
TEST_F(RenderVideoGLTest, ChunksFromOtherMachinesJoinIntoAnMp4AndBadArgumentsAreRefused)
{
    const std::string ssh = (root / "tests" / "capture" / "stand-in-ssh.sh").string();
    const Outcome r = render("show.mp4", "--fps 20 --from 100 --to 106 --chunks 3 --sshlogin 1/render1,1/render2,1/:",
                             "PARALLEL_SSH='" + ssh + "' STAND_IN_SSH_LOG='" + (dir / "ssh.log").string() + "' ");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(streams("show.mp4"), "h264|yuv420p|tv|bt709|6\naac\n") << r.err;
    const std::string hosts = testsupport::readFile(dir / "ssh.log");
    EXPECT_NE(hosts.find("render1"), std::string::npos) << hosts;
    EXPECT_NE(hosts.find("render2"), std::string::npos) << hosts;
    // No folder of chunks is left behind.
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        entries += entry.path().filename().string()[0] == '.';
    EXPECT_EQ(entries, 0u);

    for (const char* bad : {"--chunks 0", "--jobs x", "--to", "--colour red"}) {
        const Outcome refused = render("bad.mp4", bad);
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_NE(refused.err.find("render-video: "), std::string::npos) << bad << ": " << refused.err;
    }
    const Outcome empty = render("bad.mp4", "--from 10 --to 5");
    EXPECT_EQ(empty.status, 2);
    EXPECT_NE(empty.err.find("--to must be greater than --from"), std::string::npos) << empty.err;
    EXPECT_FALSE(fs::exists(dir / "bad.mp4"));
}

} // namespace

// Captures of a small show under the test display: the same row always gives the same
// pixels, single rows match the frames of a span, spans end as the show ends, and the
// video stream and the music cover exactly the frames and samples they should.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "CaptureRun.h"
#include "capture/FramePlan.h"
#include "capture/Y4mSink.h"
#include "audio/BassAudio.h"
#include "support/ChildProcess.h"
#include "support/ReadFile.h"

namespace {

namespace fs = std::filesystem;
using capturetest::CaptureProgramTest;
using capturetest::Picture;
using capturetest::Outcome;

const char* const card = "--scene testcard ";

class CaptureGLTest : public CaptureProgramTest {
protected:
    // Captures the test card with args into result; false, with the capture's errors
    // reported, when it did not succeed.
    bool captureCard(const std::string& args, Outcome& result)
    {
        result = run(std::string(card) + args);
        EXPECT_EQ(result.status, 0) << args << "\n" << result.err;
        return result.status == 0;
    }
};

long countFrames(const fs::path& folder)
{
    long n = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        n += entry.path().filename().string().rfind("frame_", 0) == 0;
    return n;
}

double meanGreen(const Picture& p, int y)
{
    double sum = 0.0;
    for (int x = 0; x < p.width; ++x)
        sum += p.rgb[(static_cast<size_t>(y) * p.width + x) * 3 + 1];
    return sum / p.width;
}

// Mean and standard deviation of the pixels' brightness (0 to 1).
std::pair<double, double> brightness(const Picture& p)
{
    double sum = 0.0;
    double squares = 0.0;
    const size_t pixels = p.rgb.size() / 3;
    for (size_t i = 0; i < p.rgb.size(); i += 3) {
        const double v = (p.rgb[i] + p.rgb[i + 1] + p.rgb[i + 2]) / 765.0;
        sum += v;
        squares += v * v;
    }
    const double mean = pixels ? sum / pixels : 0.0;
    return {mean, pixels ? std::sqrt(std::max(0.0, squares / pixels - mean * mean)) : 0.0};
}

// A PNG's pixels back in the read-back layout, for comparing with the video stream.
capture::CapturedFrame asReadBack(const Picture& p)
{
    capture::CapturedFrame frame;
    frame.width = p.width;
    frame.height = p.height;
    for (int y = p.height - 1; y >= 0; --y)
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* px = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
            frame.bgra.insert(frame.bgra.end(), {px[2], px[1], px[0], 255});
        }
    return frame;
}

TEST_F(CaptureGLTest, SameRowGivesIdenticalPixelsAndPicturesAreUpright)
{
    makeShow(3.0);
    Outcome a, b;
    ASSERT_TRUE(captureCard("--size 64x36 --rows 5,6 --out a", a));
    ASSERT_TRUE(captureCard("--size 64x36 --rows 5 --out b", b));

    const Picture first = picture("a/row_5.png");
    const Picture again = picture("b/row_5.png");
    const Picture next = picture("a/row_6.png");
    ASSERT_EQ(first.width, 64);
    ASSERT_EQ(first.height, 36);
    ASSERT_FALSE(first.rgb.empty());
    EXPECT_TRUE(first.rgb == again.rgb);
    // The card moves with time: a capture that ignored the row would pass the line above.
    EXPECT_FALSE(first.rgb == next.rgb);
    // The card is bright at the top: row 0 of the file is the top of the picture.
    EXPECT_GT(meanGreen(first, 0), 200.0);
    EXPECT_LT(meanGreen(first, first.height - 1), 55.0);
}

TEST_F(CaptureGLTest, RowsEqualTheMatchingFramesOfASpan)
{
    makeShow(3.0);
    Outcome span;
    ASSERT_TRUE(captureCard("--size 64x36 --fps 40 --to 10 --out span", span));
    EXPECT_EQ(countFrames(dir / "span"), 20); // rows 0, 0.5, ..., 9.5
    Outcome rows;
    ASSERT_TRUE(captureCard("--size 64x36 --fps 40 --rows 3,7.5 --out rows", rows));

    // Frame i is at row i × 20 / 40.
    const Picture frame6 = picture("span/frame_000006.png");
    const Picture frame15 = picture("span/frame_000015.png");
    ASSERT_FALSE(frame6.rgb.empty());
    EXPECT_TRUE(frame6.rgb == picture("rows/row_3.png").rgb);
    EXPECT_TRUE(frame15.rgb == picture("rows/row_7.5.png").rgb);
    EXPECT_FALSE(frame6.rgb == frame15.rgb);
}

TEST_F(CaptureGLTest, SnowRowsEqualTheFramesOfASpanThoughTheFlakesMoveEveryFrame)
{
    // The flakes' state depends on every frame before, so a single row steps through them.
    makeShow(3.0);
    const Outcome span = run("--scene snow --size 160x90 --fps 10 --to 41 --out span");
    ASSERT_EQ(span.status, 0) << span.err;
    const Outcome rows = run("--scene snow --size 160x90 --fps 10 --rows 40,20 --out rows");
    ASSERT_EQ(rows.status, 0) << rows.err;
    const Picture frame20 = picture("span/frame_000020.png");
    ASSERT_FALSE(frame20.rgb.empty());
    EXPECT_TRUE(frame20.rgb == picture("rows/row_40.png").rgb);
    EXPECT_TRUE(picture("span/frame_000010.png").rgb == picture("rows/row_20.png").rgb);
    EXPECT_FALSE(frame20.rgb == picture("span/frame_000019.png").rgb);
}

TEST_F(CaptureGLTest, PartOfASpanEqualsThoseFramesOfTheWholeSpan)
{
    // The snow depends on every frame since the span's start, which is not row 0 here.
    makeShow(3.0);
    const std::string span = "--scene snow --size 160x90 --fps 10 --from 5 --to 85 ";
    const Outcome whole = run(span + "--out whole");
    ASSERT_EQ(whole.status, 0) << whole.err;
    const Outcome part = run(span + "--frames 20:30 --out part");
    ASSERT_EQ(part.status, 0) << part.err;
    // The part keeps the span's frame numbers, and writes nothing else.
    EXPECT_EQ(countFrames(dir / "part"), 10);
    for (const char* frame : {"frame_000020.png", "frame_000029.png"}) {
        const Picture p = picture(std::string("part/") + frame);
        ASSERT_FALSE(p.rgb.empty()) << frame;
        EXPECT_TRUE(p.rgb == picture(std::string("whole/") + frame).rgb) << frame;
    }
    EXPECT_FALSE(picture("part/frame_000020.png").rgb == picture("part/frame_000021.png").rgb);

    const Outcome past = run(span + "--frames 30:41 --out past");
    EXPECT_EQ(past.status, 2);
    EXPECT_NE(past.err.find("goes past the span's 40 frames"), std::string::npos) << past.err;
}

TEST_F(CaptureGLTest, SpanEndsAtTheFirstFrameWhereTheEndTrackIsOneOrLess)
{
    makeShow(3.0);
    makeEndTrack({{0, 2.0f, Step}, {10, 1.0f, Step}});
    Outcome r;
    ASSERT_TRUE(captureCard("--size 32x18 --fps 20 --out f --wav f.wav", r));
    // Rows 0 to 10: the frame at row 10 is drawn, as the show draws it.
    EXPECT_EQ(countFrames(dir / "f"), 11);
    EXPECT_TRUE(fs::exists(dir / "f" / "frame_000010.png"));
    // The music of the same span, rows [0, 11).
    EXPECT_EQ(fs::file_size(dir / "f.wav"), 44u + capture::sampleSpan(0.0, 11.0, 44100).count * 4u);
}

TEST_F(CaptureGLTest, MissingEndTrackCapturesExactlyOneFrame)
{
    makeShow(3.0);
    Outcome r;
    ASSERT_TRUE(captureCard("--size 32x18 --from 4 --out f", r));
    EXPECT_EQ(countFrames(dir / "f"), 1);
}

TEST_F(CaptureGLTest, EndTrackThatNeverDropsStopsSoonAfterTheMusic)
{
    makeShow(1.0);
    makeEndTrack({{0, 5.0f, Step}});
    Outcome r;
    ASSERT_TRUE(captureCard("--size 32x18 --fps 20 --out f", r));
    EXPECT_NE(r.err.find("still above 1.0"), std::string::npos) << r.err;
    // One second of music is 20 rows; the capture stops a second later, at row 40.
    EXPECT_EQ(countFrames(dir / "f"), 41);
}

TEST_F(CaptureGLTest, Y4mOnStandardOutputHoldsOnlyTheStreamOfThoseFrames)
{
    makeShow(3.0);
    Outcome video, stills;
    ASSERT_TRUE(captureCard("--size 32x18 --fps 20 --from 2 --to 7 --y4m -", video));
    ASSERT_TRUE(captureCard("--size 32x18 --fps 20 --rows 2,3,4,5,6 --out p", stills));

    const std::string header = capture::y4mHeader(32, 18, 20);
    const size_t frameBytes = 6 + 32 * 18 * 3;
    // Exactly the stream: the engine's start-up log must not leak into it.
    ASSERT_EQ(video.out.size(), header.size() + 5 * frameBytes);
    EXPECT_EQ(video.out.substr(0, header.size()), header);
    for (int i = 0; i < 5; ++i) {
        const size_t at = header.size() + i * frameBytes;
        EXPECT_EQ(video.out.substr(at, 6), "FRAME\n");
        const std::vector<std::uint8_t> planes =
            capture::yuv444Planes(asReadBack(picture("p/row_" + std::to_string(2 + i) + ".png")));
        EXPECT_TRUE(video.out.compare(at + 6, planes.size(), std::string(planes.begin(), planes.end())) == 0)
            << "frame " << i;
    }
}

TEST_F(CaptureGLTest, WavHoldsTheDecodedMusicOfTheSpanSampleForSample)
{
    makeShow(3.0);
    const Outcome r = run("--from 3 --to 17 --wav a.wav");
    ASSERT_EQ(r.status, 0) << r.err;
    // Music alone builds no scene and draws nothing.
    EXPECT_EQ(r.err.find("texID_"), std::string::npos);

    const std::string path = (dir / "data" / "vaxo-dubtech.mp3").string();
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(stream, 0u);
    std::string music;
    std::vector<char> buffer(1 << 16);
    for (DWORD got; (got = BASS_ChannelGetData(stream, buffer.data(), static_cast<DWORD>(buffer.size()))) > 0 &&
                    got != 0xFFFFFFFFu;)
        music.append(buffer.data(), got);
    BASS_StreamFree(stream);

    const capture::SampleSpan span = capture::sampleSpan(3.0, 17.0, 44100);
    const std::string wav = testsupport::readFile(dir / "a.wav");
    ASSERT_EQ(wav.size(), 44u + span.count * 4u);
    ASSERT_GE(music.size(), (span.first + span.count) * 4u);
    EXPECT_TRUE(wav.compare(44, std::string::npos, music, span.first * 4u, span.count * 4u) == 0);
}

TEST_F(CaptureGLTest, EveryRegisteredSceneRendersAtTheAskedSize)
{
    makeShow(3.0);
    for (const char* scene : {"main", "ao", "motion", "ssr", "snow", "toy"}) {
        const Outcome r = run(std::string("--scene ") + scene + " --size 48x27 --rows 0,30 --out " + scene);
        ASSERT_EQ(r.status, 0) << scene << "\n" << r.err;
        const Picture p = picture(std::string(scene) + "/row_30.png");
        EXPECT_EQ(p.width, 48) << scene;
        EXPECT_EQ(p.height, 27) << scene;
    }
}

TEST_F(CaptureGLTest, AlternativeScenesShowTheirSubjectAcrossTheShowWithTheDefaultData)
{
    // The generated data and compiled timelines, as a user first meets them: the track
    // names are shared by all scenes, so a scene must not get values that ruin it.
    const fs::path root = fs::path(VANTOR_DATA).parent_path();
    ASSERT_TRUE(fs::exists(root / "data" / "vaxo-dubtech.mp3")) << "build the assets target first";
    for (const char* scene : {"ao", "motion", "ssr", "snow", "toy"}) {
        const Outcome r = runIn(root, std::string("--scene ") + scene + " --size 240x135 --rows 200,1800,3400 --out '" +
                                          (dir / scene).string() + "'");
        ASSERT_EQ(r.status, 0) << scene << "\n" << r.err;
        for (const char* row : {"200", "1800", "3400"}) {
            const Picture p = picture(std::string(scene) + "/row_" + row + ".png");
            ASSERT_FALSE(p.rgb.empty()) << scene << " row " << row;
            const auto [mean, spread] = brightness(p);
            EXPECT_GT(mean, 0.06) << scene << " row " << row << ": near black";
            EXPECT_LT(mean, 0.85) << scene << " row " << row << ": near white";
            EXPECT_GT(spread, 0.015) << scene << " row " << row << ": no detail";
        }
    }
}

TEST_F(CaptureGLTest, ContactSheetLabelsItsTilesOrFailsLoudly)
{
    if (std::system("command -v montage > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's montage is not installed";
    const fs::path root = fs::path(VANTOR_DATA).parent_path();
    ASSERT_TRUE(fs::exists(root / "data" / "vaxo-dubtech.mp3")) << "build the assets target first";
    const std::string script = "bash '" + (root / "scripts" / "contact-sheet.sh").string() + "' ";
    const std::string env = "env CAPTURE='" + std::string(VANTOR_CAPTURE) + "' ";

    const Outcome noFont = shell(root, env + "FONT=/nonexistent.ttf " + script + (dir / "none.png").string() + " 100");
    EXPECT_EQ(noFont.status, 1);
    EXPECT_NE(noFont.err.find("label font"), std::string::npos) << noFont.err;
    EXPECT_FALSE(fs::exists(dir / "none.png"));

    const Outcome made = shell(root, env + script + (dir / "sheet.png").string() + " 100");
    ASSERT_EQ(made.status, 0) << made.err;
    // Four 480x270 tiles a row, each with a 4-pixel border and its label below it in
    // white on black.
    const Picture p = picture("sheet.png");
    ASSERT_EQ(p.width, 4 * 488);
    int lit = 0;
    for (int y = 4 + 270 + 4; y < 4 + 270 + 4 + 18; ++y)
        for (int x = 0; x < 488; ++x) {
            const std::uint8_t* px = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
            lit += std::min({px[0], px[1], px[2]}) > 180;
        }
    EXPECT_GT(lit, 20) << "the first tile has no label";
}

TEST_F(CaptureGLTest, BenchPrintsItsFiguresAndWritesNothing)
{
    makeShow(3.0);
    Outcome r;
    ASSERT_TRUE(captureCard("--size 32x18 --bench 4", r));
    std::istringstream lines(r.out);
    std::vector<std::string> keys;
    std::vector<double> values;
    std::vector<std::pair<std::string, double>> gpuPasses;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key;
        std::string value;
        words >> key >> value;
        if (key == "gpu_pass") {
            std::string ms;
            words >> ms;
            gpuPasses.emplace_back(value, std::strtod(ms.c_str(), nullptr));
            continue;
        }
        keys.push_back(key);
        values.push_back(key == "size" ? 0.0 : std::strtod(value.c_str(), nullptr));
    }
    // llvmpipe has timer queries, so the GPU's figures follow the wall clock's.
    const std::vector<std::string> expected = {"size", "frames", "startup_ms", "startup_window_ms",
        "startup_shaders_ms", "startup_textures_ms", "startup_meshes_ms", "startup_music_ms",
        "startup_first_frame_ms", "frame_ms_min", "frame_ms_median", "frame_ms_p95", "gpu_frame_ms_median",
        "gpu_frame_ms_p95"};
    ASSERT_EQ(keys, expected) << r.out;
    EXPECT_GT(values[12], 0.0);
    EXPECT_LE(values[12], values[13]);
    ASSERT_GE(gpuPasses.size(), 3u) << "the testcard draws through the post-processing chain: " << r.out;
    for (size_t i = 0; i < gpuPasses.size(); ++i) {
        char place[24];
        std::snprintf(place, sizeof place, "%02u_", static_cast<unsigned>(i + 1));
        EXPECT_EQ(gpuPasses[i].first.rfind(place, 0), 0u) << gpuPasses[i].first;
        EXPECT_GE(gpuPasses[i].second, 0.0);
        // Each pass is a part of its frame, and with four frames p95 is the slowest one.
        EXPECT_LE(gpuPasses[i].second, values[13]) << gpuPasses[i].first;
    }
    EXPECT_NE(r.out.find("_fxaa "), std::string::npos) << "passes are named after their shaders: " << r.out;
    EXPECT_EQ(values[1], 4.0);
    EXPECT_GT(values[2], 0.0);
    double phases = 0.0;
    for (std::size_t i = 3; i < 9; ++i) {
        EXPECT_GE(values[i], 0.0) << keys[i];
        phases += values[i];
    }
    EXPECT_GT(values[3], 0.0) << "a window always takes time to open";
    EXPECT_LE(phases, values[2] * 1.01) << "the phases are parts of start-up";
    EXPECT_GT(values[9], 0.0);
    EXPECT_LE(values[9], values[10]);
    EXPECT_LE(values[10], values[11]);
    EXPECT_NE(r.out.find("size 32x18\n"), std::string::npos);
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        entries += entry.path().filename() != "data" && entry.path().filename() != "out.bin" &&
                   entry.path().filename() != "err.txt";
    EXPECT_EQ(entries, 0u);
}

TEST_F(CaptureGLTest, FailuresExitWithOneAndSayWhy)
{
    // No music: the demo instance cannot start.
    Outcome r = run(std::string(card) + "--size 32x18 --rows 1 --out f");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Failed to open tune"), std::string::npos) << r.err;

    makeShow(3.0);
    std::ofstream(dir / "taken") << "a file, not a folder";
    r = run(std::string(card) + "--size 32x18 --rows 1 --out taken");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("taken"), std::string::npos) << r.err;

    // A reader that goes away ends the capture with a message rather than a signal.
    const std::string command = "cd '" + dir.string() + "' && ( '" + VANTOR_CAPTURE +
                                "' --scene testcard --size 32x18 --to 400 --y4m - 2> pipe.txt; echo $? > status.txt )"
                                " | head -c 100 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(testsupport::readFile(dir / "status.txt"), "1\n");
    EXPECT_NE(testsupport::readFile(dir / "pipe.txt").find("Broken pipe"), std::string::npos);
}

TEST_F(CaptureGLTest, ASizeBeyondWhatTheGlCanDrawIsRefusedAsAnArgument)
{
    makeShow(2.0);
    const Outcome o = run(std::string(card) + "--size 16384x16384 --rows 1 --out d");
    EXPECT_EQ(o.status, 2) << o.err;
    EXPECT_NE(o.err.find("--size 16384x16384 is larger than this OpenGL allows"), std::string::npos) << o.err;
    EXPECT_FALSE(fs::exists(dir / "d"));
}

class CaptureStopTest : public CaptureProgramTest, public testing::WithParamInterface<int> {};

TEST_P(CaptureStopTest, AStopSignalEndsTheCaptureAndRemovesItsUnfinishedStream)
{
    using namespace std::chrono_literals;
    makeShow(30.0);
    makeEndTrack({{0, 2.0f, Step}});
    // Thousands of small frames: far more than are drawn before the signal comes.
    testsupport::ChildProcess capture(VANTOR_CAPTURE,
                                      {"--scene", "testcard", "--size", "64x36", "--fps", "240", "--y4m", "out.y4m"},
                                      dir, dir / "out.bin", dir / "err.txt");
    ASSERT_TRUE(capture.started());
    // The stream's temporary beside out.y4m says frames are being written.
    const auto writing = [&] {
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename().string().rfind("out.y4m.", 0) == 0)
                return true;
        return false;
    };
    ASSERT_TRUE(capture.waitUntil(writing, 60s)) << testsupport::readFile(dir / "err.txt");
    capture.signal(GetParam());
    const testsupport::ChildExit end = capture.wait(20s);
    const std::string err = testsupport::readFile(dir / "err.txt");
    EXPECT_FALSE(end.timedOut);
    EXPECT_TRUE(end.exited) << "ended by signal " << end.signal;
    EXPECT_EQ(end.status, 128 + GetParam()) << err;
    EXPECT_NE(err.find("stopped by signal " + std::to_string(GetParam())), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "out.y4m"));
    EXPECT_FALSE(writing()) << "a temporary was left behind";
}

INSTANTIATE_TEST_SUITE_P(IntAndTerm, CaptureStopTest, testing::Values(SIGINT, SIGTERM));

} // namespace

// The frame encoders: GL's bottom-up RGBA turned top-down, BT.709 limited-range colours,
// the YUV4MPEG2 layout, PNG files from worker threads, and the failures each must report.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "capture/BoundedQueue.h"
#include "capture/PngSink.h"
#include "capture/Y4mSink.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;
using capture::CapturedFrame;

// A w×h frame as GL reads it (bottom row first) whose top row is white, bottom row black
// and rows between a grey ramp; alpha is zero, as the cleared window leaves it.
CapturedFrame rampFrame(int w, int h)
{
    CapturedFrame frame;
    frame.width = w;
    frame.height = h;
    for (int glRow = 0; glRow < h; ++glRow) {
        const auto v = static_cast<std::uint8_t>(h > 1 ? 255 * glRow / (h - 1) : 255);
        for (int x = 0; x < w; ++x)
            frame.bgra.insert(frame.bgra.end(), {static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(x), v, 0});
    }
    return frame;
}

TEST(FrameEncoderTest, FlipsRowsAndDropsAlpha)
{
    const CapturedFrame frame = rampFrame(3, 2);
    const std::vector<std::uint8_t> rgb = capture::topDownRgb(frame);
    ASSERT_EQ(rgb.size(), 3u * 2u * 3u);
    // First stored row is the top: GL's last row, white in red.
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    EXPECT_EQ(rgb[2], 0);
    EXPECT_EQ(rgb[3 * 3 + 0], 0);
    EXPECT_EQ(rgb[3 * 3 + 2], 255);
    EXPECT_EQ(rgb[3 * 2 + 1], 2); // x of the third pixel
}

TEST(FrameEncoderTest, ShortPixelBufferGivesBlackInsteadOfOverreading)
{
    CapturedFrame frame = rampFrame(4, 4);
    frame.bgra.resize(10);
    const std::vector<std::uint8_t> rgb = capture::topDownRgb(frame);
    ASSERT_EQ(rgb.size(), 48u);
    for (std::uint8_t v : rgb)
        EXPECT_EQ(v, 0);
}

TEST(FrameEncoderTest, Bt709LimitedRangeColours)
{
    struct Case {
        std::uint8_t r, g, b, y, cb, cr;
    };
    // Reference values of BT.709 at limited range, 8 bits.
    for (const Case& c : {Case{0, 0, 0, 16, 128, 128}, Case{255, 255, 255, 235, 128, 128},
                          Case{255, 0, 0, 63, 102, 240}, Case{0, 255, 0, 173, 42, 26},
                          Case{0, 0, 255, 32, 240, 118}, Case{128, 128, 128, 126, 128, 128}}) {
        const capture::Yuv yuv = capture::rgbToYuv709(c.r, c.g, c.b);
        EXPECT_EQ(yuv.y, c.y) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(yuv.cb, c.cb) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(yuv.cr, c.cr) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
}

TEST(FrameEncoderTest, Y4mStreamHasHeaderThenFramesOfThreeTopDownPlanes)
{
    EXPECT_EQ(capture::y4mHeader(64, 36, 60), "YUV4MPEG2 W64 H36 F60:1 Ip A1:1 C444 XCOLORRANGE=LIMITED\n");

    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        capture::Y4mSink sink(file, false, "test stream", 4, 3, 25);
        EXPECT_TRUE(sink.submit(rampFrame(4, 3)));
        EXPECT_TRUE(sink.submit(rampFrame(4, 3)));
        EXPECT_TRUE(sink.finish()) << sink.error();
    }
    std::rewind(file);
    std::vector<std::uint8_t> bytes;
    for (int c; (c = std::fgetc(file)) != EOF;)
        bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);

    const std::string header = capture::y4mHeader(4, 3, 25);
    const size_t frameBytes = 6 + 4 * 3 * 3;
    ASSERT_EQ(bytes.size(), header.size() + 2 * frameBytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + header.size()), header);
    for (size_t f = 0; f < 2; ++f) {
        const size_t at = header.size() + f * frameBytes;
        EXPECT_EQ(std::string(bytes.begin() + at, bytes.begin() + at + 6), "FRAME\n");
        const std::uint8_t* y = bytes.data() + at + 6;
        const std::uint8_t* cr = y + 2 * 12;
        // Top row: red 255, blue 0, green = x; bottom row: red 0, blue 255.
        const capture::Yuv top = capture::rgbToYuv709(255, 0, 0);
        const capture::Yuv bottom = capture::rgbToYuv709(0, 0, 255);
        EXPECT_EQ(y[0], top.y);
        EXPECT_EQ(cr[0], top.cr);
        EXPECT_EQ(y[8], bottom.y);
        EXPECT_EQ(cr[8], bottom.cr);
    }
}

TEST(FrameEncoderTest, Y4mReportsAFullDiskAndAFrameOfTheWrongSize)
{
    FILE* full = std::fopen("/dev/full", "wb");
    if (!full)
        GTEST_SKIP() << "no /dev/full";
    capture::Y4mSink sink(full, true, "/dev/full", 64, 64, 30);
    // The first frames may only fill the stdio buffer; the failure surfaces by the end.
    for (int i = 0; i < 8 && sink.submit(rampFrame(64, 64)); ++i) {
    }
    EXPECT_FALSE(sink.finish());
    EXPECT_NE(sink.error().find("/dev/full"), std::string::npos) << sink.error();

    FILE* file = std::tmpfile();
    capture::Y4mSink sized(file, true, "stream", 4, 4, 30);
    EXPECT_FALSE(sized.submit(rampFrame(4, 3)));
    EXPECT_NE(sized.error().find("4x3"), std::string::npos) << sized.error();
    EXPECT_FALSE(sized.finish());
}

TEST(FrameEncoderTest, Y4mFileAppearsWholeOnlyWhenTheStreamFinishes)
{
    testsupport::ScratchDir scratch;
    const std::string path = scratch.write("out.y4m", "the previous capture");
    const std::string header = capture::y4mHeader(4, 3, 25);
    {
        capture::Y4mSink sink(path, 4, 3, 25);
        EXPECT_TRUE(sink.submit(rampFrame(4, 3)));
        EXPECT_EQ(testsupport::readFile(path), "the previous capture");
        EXPECT_TRUE(sink.finish()) << sink.error();
    }
    const std::string written = testsupport::readFile(path);
    EXPECT_EQ(written.size(), header.size() + 6 + 4 * 3 * 3);
    EXPECT_EQ(written.rfind(header, 0), 0u);
    EXPECT_EQ(scratch.list(), std::vector<std::string>{"out.y4m"});

    // Given up part way (a stop signal), or failed (a frame that does not fit): what was
    // there stays, and no temporary is left.
    for (const bool stopped : {true, false}) {
        capture::Y4mSink sink(path, 4, 3, 25);
        EXPECT_TRUE(sink.submit(rampFrame(4, 3)));
        if (stopped) {
            sink.abandon();
        } else {
            EXPECT_FALSE(sink.submit(rampFrame(2, 2)));
            EXPECT_FALSE(sink.finish());
        }
        EXPECT_EQ(testsupport::readFile(path), written) << stopped;
        EXPECT_EQ(scratch.list(), std::vector<std::string>{"out.y4m"}) << stopped;
    }

    capture::Y4mSink nowhere(scratch.file("missing/out.y4m"), 4, 3, 25);
    EXPECT_TRUE(nowhere.failed());
    EXPECT_NE(nowhere.error().find("No such file or directory"), std::string::npos) << nowhere.error();
}

TEST(FrameEncoderTest, PngWorkersWriteEveryFrameTopDownAndLeaveNoTemporaries)
{
    const testsupport::ScratchDir scratch;
    const fs::path& dir = scratch.path();
    {
        capture::PngSink sink(8 * 5 * 4, 2);
        for (int i = 0; i < 5; ++i) {
            CapturedFrame frame = rampFrame(8, 5);
            frame.path = (dir / ("f" + std::to_string(i) + ".png")).string();
            EXPECT_TRUE(sink.submit(std::move(frame)));
        }
        EXPECT_TRUE(sink.finish()) << sink.error();
    }
    for (int i = 0; i < 5; ++i) {
        int w = 0, h = 0, n = 0;
        const std::string path = (dir / ("f" + std::to_string(i) + ".png")).string();
        unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &n, 3);
        ASSERT_NE(pixels, nullptr) << path;
        EXPECT_EQ(w, 8);
        EXPECT_EQ(h, 5);
        EXPECT_EQ(n, 3); // opaque RGB: the window's alpha is not part of the picture
        EXPECT_EQ(pixels[0], 255);                  // top-left red
        EXPECT_EQ(pixels[(4 * 8) * 3 + 2], 255);    // bottom-left blue
        EXPECT_EQ(pixels[7 * 3 + 1], 7);            // green is x
        stbi_image_free(pixels);
    }
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().extension(), ".png");
        ++files;
    }
    EXPECT_EQ(files, 5u);
}

TEST(FrameEncoderTest, PngFailureIsReportedAndStopsFurtherFrames)
{
    capture::PngSink sink(4 * 4 * 4, 1);
    CapturedFrame frame = rampFrame(4, 4);
    frame.path = "/nonexistent-folder/frame.png";
    sink.submit(std::move(frame));
    EXPECT_FALSE(sink.finish());
    EXPECT_NE(sink.error().find("/nonexistent-folder/frame.png"), std::string::npos) << sink.error();
    EXPECT_FALSE(sink.submit(rampFrame(4, 4)));
}

TEST(FrameEncoderTest, LargePicturesGetFewerEncoders)
{
    EXPECT_EQ(capture::PngSink(64 * 64 * 4, 4).workerCount(), 4);
    // A 16384x16384 frame is a gigabyte: one encoder at a time.
    EXPECT_EQ(capture::PngSink(size_t(16384) * 16384 * 4, 4).workerCount(), 1);
    EXPECT_GE(capture::PngSink::defaultWorkers(), 1);
}

TEST(FrameEncoderTest, QueueBlocksWhenFullAndDrainsAfterClose)
{
    capture::BoundedQueue<int> queue(1);
    EXPECT_TRUE(queue.push(1));
    std::thread producer([&] { EXPECT_TRUE(queue.push(2)); });
    EXPECT_EQ(queue.pop(), 1); // makes room for the waiting producer
    producer.join();
    queue.close();
    EXPECT_FALSE(queue.push(3));
    EXPECT_EQ(queue.pop(), 2);
    EXPECT_FALSE(queue.pop().has_value());
}

} // namespace

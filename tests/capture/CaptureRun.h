// Runs vantor-capture as a separate program in a scratch working folder that holds a
// small show: a generated tune, the repository's other data and, when a test asks, tracks.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ScratchDir.h"
#include "sync/SyncTracks.h"

namespace capturetest {

struct Outcome {
    int status = -1;
    bool signalled = false;
    std::string out; // standard output, byte for byte
    std::string err;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top row first; empty when the file could not be read
};

class CaptureProgramTest : public ::testing::Test {
protected:
    void SetUp() override;

    // A tune of this length as ./data/vaxo-dubtech.mp3, and links to the rest of the data.
    void makeShow(double seconds);
    void makeEndTrack(const std::vector<TrackKey>& keys);
    // args are passed through the shell as written; prefix goes before the program (an
    // "env ..." that changes its environment).
    Outcome run(const std::string& args, const std::string& prefix = "");
    // The same, run from another working folder (its output still lands in dir).
    Outcome runIn(const std::filesystem::path& folder, const std::string& args, const std::string& prefix = "");
    // Any command line, run by the shell in folder (with a time limit); its output lands
    // in dir.
    Outcome shell(const std::filesystem::path& folder, const std::string& command);
    Picture picture(const std::string& relativePath) const;

    testsupport::ScratchDir scratch;
    const std::filesystem::path& dir = scratch.path(); // the program's working folder
};

} // namespace capturetest

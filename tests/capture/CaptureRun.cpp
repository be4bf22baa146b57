// The scratch show and the program runner shared by the capture's program tests.
#include "CaptureRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <utility>

#include "support/ReadFile.h"
#include "sync/TrackWriter.h"

namespace capturetest {

namespace fs = std::filesystem;

void CaptureProgramTest::SetUp()
{
    fs::create_directories(dir / "data" / "science");
}

void CaptureProgramTest::makeShow(double seconds)
{
    const std::string command = std::string("'") + VANTOR_MAKETUNE + "' '" +
                                (dir / "data" / "vaxo-dubtech.mp3").string() + "' " + std::to_string(seconds) +
                                " > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Everything else of the repository's data (shaders, and models and images once they
    // are generated); the music and the tracks are the test's own.
    for (const auto& entry : fs::directory_iterator(VANTOR_DATA)) {
        const std::string name = entry.path().filename().string();
        if (name != "science" && entry.path().extension() != ".mp3")
            fs::create_symlink(entry.path(), dir / "data" / name);
    }
}

void CaptureProgramTest::makeEndTrack(const std::vector<TrackKey>& keys)
{
    ASSERT_TRUE(writeTrackFile((dir / "data" / "science" / "sync_e.track").string(), keys));
}

Outcome CaptureProgramTest::run(const std::string& args, const std::string& prefix)
{
    return runIn(dir, args, prefix);
}

Outcome CaptureProgramTest::runIn(const fs::path& folder, const std::string& args, const std::string& prefix)
{
    return shell(folder, prefix + " '" + VANTOR_CAPTURE + "' " + args);
}

Outcome CaptureProgramTest::shell(const fs::path& folder, const std::string& line)
{
    const std::string command = "cd '" + folder.string() + "' && timeout 100 " + line + " > '" +
                                (dir / "out.bin").string() + "' 2> '" + (dir / "err.txt").string() + "'";
    const int raw = std::system(command.c_str());
    Outcome result;
    result.signalled = WIFSIGNALED(raw);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = testsupport::readFile(dir / "out.bin");
    result.err = testsupport::readFile(dir / "err.txt");
    return result;
}

Picture CaptureProgramTest::picture(const std::string& relativePath) const
{
    testsupport::PngPicture png = testsupport::readPng(dir / relativePath, 3);
    return {png.width, png.height, std::move(png.pixels)};
}

} // namespace capturetest

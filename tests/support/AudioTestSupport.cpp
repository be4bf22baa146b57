#include "support/AudioTestSupport.h"

#include <cstdlib>
#include <map>
#include <tuple>

#include "mp3/Mp3Writer.h"
#include "mp3/TestTune.h"

namespace audiotest {

const testsupport::ScratchDir& scratch()
{
    static const testsupport::ScratchDir dir;
    return dir;
}

const Tune& tune(double seconds, int rate, int channels)
{
    static std::map<std::tuple<double, int, int>, Tune> made;
    auto key = std::make_tuple(seconds, rate, channels);
    auto it = made.find(key);
    if (it != made.end())
        return it->second;
    Tune t;
    t.rate = rate;
    t.channels = channels;
    t.pcm = mp3::makeTestTune(seconds, rate, channels);
    t.path = scratch().file("tune-" + std::to_string(static_cast<int>(seconds * 1000)) + "-" +
                            std::to_string(rate) + "-" + std::to_string(channels) + ".mp3");
    std::string error;
    const int kbps = rate >= 32000 ? 192 : 64;
    if (!mp3::writeMp3(t.path, t.pcm, rate, channels, kbps, &error))
        ADD_FAILURE() << "cannot write test tune: " << error;
    return made.emplace(key, std::move(t)).first->second;
}

std::vector<std::int16_t> decodeAll(const std::string& path)
{
    const HSTREAM s = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0,
                                            BASS_STREAM_PRESCAN | BASS_STREAM_DECODE);
    EXPECT_NE(s, 0u) << path;
    std::vector<std::int16_t> all;
    std::vector<std::int16_t> chunk(8192);
    for (;;) {
        const DWORD got = BASS_ChannelGetData(s, chunk.data(), chunk.size() * sizeof(std::int16_t));
        if (got == 0 || got == 0xFFFFFFFFu)
            break;
        all.insert(all.end(), chunk.begin(), chunk.begin() + got / sizeof(std::int16_t));
    }
    BASS_StreamFree(s);
    return all;
}

void AudioFixture::SetUp()
{
    BASS_Free();
    audio::AudioLayer::instance().setClock(&clock);
    // By default there is no device: tests must not depend on the machine's sound.
    useFakeDevice({}, false);
}

void AudioFixture::TearDown()
{
    BASS_Free();
    audio::AudioLayer::instance().setDeviceFactory({});
    audio::AudioLayer::instance().setClock(nullptr);
}

void AudioFixture::useFakeDevice(audio::DeviceFormat format, bool opens)
{
    device = nullptr;
    audio::AudioLayer::instance().setDeviceFactory([this, format, opens] {
        auto d = std::make_unique<FakeDevice>(format, opens);
        device = d.get();
        return d;
    });
}

bool AudioFixture::initWithSdlDriver(const char* driver)
{
    audio::AudioLayer::instance().setDeviceFactory({});
    audio::AudioLayer::instance().setClock(nullptr);
    ::setenv("SDL_AUDIODRIVER", driver, 1);
    const bool ok = BASS_Init(-1, 44100, 0, nullptr, nullptr);
    ::unsetenv("SDL_AUDIODRIVER");
    return ok;
}

} // namespace audiotest

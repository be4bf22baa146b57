// The BASS_ calls of the show, on the audio layer: argument checks, the per-thread error
// code and the conversions between bytes (16-bit interleaved samples at the stream's own
// rate and channel count), frames and seconds.
#include "audio/BassAudio.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/AudioLayer.h"

using audio::AudioLayer;
using audio::AudioStream;

namespace {

thread_local int lastError = BASS_OK;

constexpr QWORD errorPosition = static_cast<QWORD>(-1);
constexpr DWORD errorBytes = 0xFFFFFFFFu;

BOOL result(int code)
{
    lastError = code;
    return code == BASS_OK ? TRUE : FALSE;
}

std::shared_ptr<AudioStream> stream(DWORD handle)
{
    auto s = AudioLayer::instance().find(handle);
    lastError = s ? BASS_OK : BASS_ERROR_HANDLE;
    return s;
}

// The stream behind a handle for a query in bytes, the only unit the layer answers in.
std::shared_ptr<AudioStream> byteStream(DWORD handle, DWORD mode)
{
    auto s = stream(handle);
    if (s && mode != BASS_POS_BYTE) {
        lastError = BASS_ERROR_NOTAVAIL;
        return nullptr;
    }
    return s;
}

QWORD frameBytes(const AudioStream& s)
{
    return static_cast<QWORD>(s.channels()) * sizeof(std::int16_t);
}

} // namespace

BOOL BASS_Init(int device, DWORD freq, DWORD, void*, const void*)
{
    return result(AudioLayer::instance().init(device, static_cast<int>(freq)));
}

BOOL BASS_Free()
{
    return result(AudioLayer::instance().shutdown() ? BASS_OK : BASS_ERROR_INIT);
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    if (!file) {
        lastError = BASS_ERROR_ILLPARAM;
        return 0;
    }
    // Only whole files on disk: the show opens nothing else.
    if (mem || offset != 0 || length != 0) {
        std::fprintf(stderr, "audio: only whole files can be streamed\n");
        lastError = BASS_ERROR_NOTAVAIL;
        return 0;
    }
    int code = BASS_OK;
    const HSTREAM handle =
        AudioLayer::instance().createStream(static_cast<const char*>(file), flags, &code);
    lastError = code;
    return handle;
}

BOOL BASS_StreamFree(HSTREAM handle)
{
    return result(AudioLayer::instance().freeStream(handle) ? BASS_OK : BASS_ERROR_HANDLE);
}

BOOL BASS_Start()
{
    return result(AudioLayer::instance().start());
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart)
{
    auto s = stream(handle);
    return s ? result(s->play(restart != FALSE, AudioLayer::instance().now())) : FALSE;
}

BOOL BASS_ChannelPause(DWORD handle)
{
    auto s = stream(handle);
    return s ? result(s->pause(AudioLayer::instance().now())) : FALSE;
}

DWORD BASS_ChannelIsActive(DWORD handle)
{
    auto s = stream(handle);
    return s ? s->activity(AudioLayer::instance().now()) : BASS_ACTIVE_STOPPED;
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode)
{
    auto s = byteStream(handle, mode);
    return s ? s->length() * frameBytes(*s) : errorPosition;
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode)
{
    auto s = byteStream(handle, mode);
    return s ? s->position(AudioLayer::instance().now()) * frameBytes(*s) : errorPosition;
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos)
{
    auto s = stream(handle);
    if (!s)
        return -1.0;
    return static_cast<double>(pos) / (static_cast<double>(s->rate()) * frameBytes(*s));
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos)
{
    auto s = stream(handle);
    if (!s)
        return errorPosition;
    // Whole frames, to the nearest: a position given in seconds must survive the round
    // trip through a float row without losing a sample to truncation.
    const double frames = std::round(pos * s->rate());
    if (!(frames >= 0.0) || frames > 9.0e15) {
        lastError = BASS_ERROR_ILLPARAM;
        return errorPosition;
    }
    return static_cast<QWORD>(frames) * frameBytes(*s);
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode)
{
    auto s = stream(handle);
    if (!s)
        return FALSE;
    if (mode != BASS_POS_BYTE)
        return result(BASS_ERROR_NOTAVAIL);
    // A byte inside a frame means that frame.
    return result(s->setPosition(pos / frameBytes(*s), AudioLayer::instance().now()));
}

BOOL BASS_Update(DWORD)
{
    AudioLayer& layer = AudioLayer::instance();
    if (!layer.initialised())
        return result(BASS_ERROR_INIT);
    layer.update();
    return result(BASS_OK);
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length)
{
    auto s = stream(handle);
    if (!s)
        return errorBytes;
    if (!buffer) {
        lastError = BASS_ERROR_ILLPARAM;
        return errorBytes;
    }
    std::uint64_t got = 0;
    const int code = s->read(static_cast<std::int16_t*>(buffer), length / frameBytes(*s), &got);
    lastError = code;
    if (code != BASS_OK)
        return errorBytes;
    return static_cast<DWORD>(got * frameBytes(*s));
}

BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info)
{
    auto s = stream(handle);
    if (!s)
        return FALSE;
    if (!info)
        return result(BASS_ERROR_ILLPARAM);
    info->freq = static_cast<DWORD>(s->rate());
    info->chans = static_cast<DWORD>(s->channels());
    info->flags = s->flags();
    return result(BASS_OK);
}

int BASS_ErrorGetCode()
{
    return lastError;
}

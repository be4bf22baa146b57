// The BASS_ calls of the show in a browser: Web Audio decodes the whole MP3 (gaplessly, at
// the context's rate) and plays it from a buffer; the position is the output timestamp,
// smoothed by WebMusicClock. Decoding is asynchronous: a stream exists at once but has no
// length until it is decoded, and the page starts the show only after that (and after the
// click that browsers require before sound).
#include "audio/BassAudio.h"

#include <emscripten.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "audio/WebMusicClock.h"

// The page side: one AudioContext, one decoded buffer, at most one source playing it.
// Module.vantorAudio is what the page's start button resumes within the click.
EM_JS(int, vantor_audio_open, (int rate), {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context)
        return 0;
    var audio = Module.vantorAudio || (Module.vantorAudio = {});
    if (!audio.context) {
        try {
            audio.context = new Context({sampleRate: rate, latencyHint: 'playback'});
        } catch (e) {
            audio.context = new Context();
        }
    }
    return 1;
});

EM_JS(void, vantor_audio_decode, (const void* bytes, int length), {
    var audio = Module.vantorAudio;
    audio.state = 0;
    var copy = HEAPU8.slice(bytes, bytes + length).buffer;
    audio.context.decodeAudioData(copy).then(function(buffer) {
        audio.buffer = buffer;
        audio.state = 1;
    }, function(error) {
        console.error('audio: the music cannot be decoded: ' + error);
        audio.state = -1;
    });
});

// 0 while decoding, 1 decoded, -1 failed.
EM_JS(int, vantor_audio_state, (), { return Module.vantorAudio.state; });
EM_JS(double, vantor_audio_rate, (), { return Module.vantorAudio.buffer.sampleRate; });
EM_JS(int, vantor_audio_channels, (), { return Module.vantorAudio.buffer.numberOfChannels; });
EM_JS(double, vantor_audio_frames, (), { return Module.vantorAudio.buffer.length; });

// Starts the buffer at frame from; returns the context time the first frame plays at.
EM_JS(double, vantor_audio_play, (double from), {
    var audio = Module.vantorAudio;
    if (audio.source)
        audio.source.stop();
    var context = audio.context;
    if (context.state !== 'running')
        context.resume();
    var source = context.createBufferSource();
    source.buffer = audio.buffer;
    source.connect(context.destination);
    var start = context.currentTime;
    source.start(start, from / audio.buffer.sampleRate);
    audio.source = source;
    // For whoever checks the show against the music: where and when this playback began.
    audio.startedAt = start;
    audio.startedFrom = from / audio.buffer.sampleRate;
    return start;
});

EM_JS(void, vantor_audio_stop, (), {
    var audio = Module.vantorAudio;
    if (audio.source) {
        audio.source.stop();
        audio.source = null;
    }
});

EM_JS(void, vantor_audio_resume_context, (), {
    var context = Module.vantorAudio.context;
    if (context.state !== 'running')
        context.resume();
});

// The latest output timestamp into out[0] (context time heard) and out[1] (when, in page
// seconds), and the page clock now into out[2]. Browsers without output timestamps give
// the context's own clock.
EM_JS(void, vantor_audio_timestamp, (double* out), {
    var context = Module.vantorAudio.context;
    var index = out >> 3;
    var now = performance.now() / 1000;
    if (context.getOutputTimestamp) {
        var stamp = context.getOutputTimestamp();
        HEAPF64[index] = stamp.contextTime;
        HEAPF64[index + 1] = stamp.performanceTime / 1000;
    } else {
        HEAPF64[index] = context.currentTime;
        HEAPF64[index + 1] = now;
    }
    HEAPF64[index + 2] = now;
});

namespace {

constexpr HSTREAM musicHandle = 1;
constexpr QWORD errorPosition = static_cast<QWORD>(-1);

// The audio library's state, once per page as the library it stands in for is once per
// process.
struct WebAudio {
    int lastError = BASS_OK;
    bool initialised = false;
    bool created = false;
    DWORD streamFlags = 0;
    std::unique_ptr<audio::WebMusicClock> musicClock; // once the music is decoded
};
WebAudio web;

BOOL result(int code)
{
    web.lastError = code;
    return code == BASS_OK ? TRUE : FALSE;
}

// The stream once it is decoded; null (with the error set) before, or for another handle.
audio::WebMusicClock* music(DWORD handle)
{
    if (handle != musicHandle || !web.created) {
        web.lastError = BASS_ERROR_HANDLE;
        return nullptr;
    }
    if (!web.musicClock) {
        if (vantor_audio_state() != 1) {
            web.lastError = BASS_ERROR_NOTAVAIL;
            return nullptr;
        }
        web.musicClock = std::make_unique<audio::WebMusicClock>(vantor_audio_rate(), vantor_audio_frames());
    }
    web.lastError = BASS_OK;
    return web.musicClock.get();
}

// The stream for a query in bytes, the only unit this layer answers in.
audio::WebMusicClock* byteMusic(DWORD handle, DWORD mode)
{
    audio::WebMusicClock* m = music(handle);
    if (m && mode != BASS_POS_BYTE) {
        web.lastError = BASS_ERROR_NOTAVAIL;
        return nullptr;
    }
    return m;
}

QWORD frameBytes()
{
    return static_cast<QWORD>(vantor_audio_channels()) * sizeof(std::int16_t);
}

double heardFrame(audio::WebMusicClock& m)
{
    double stamp[3] = {};
    vantor_audio_timestamp(stamp);
    return m.position(stamp[0], stamp[1], stamp[2]);
}

} // namespace

BOOL BASS_Init(int device, DWORD freq, DWORD, void*, const void*)
{
    if (web.initialised)
        return result(BASS_ERROR_ALREADY);
    if (device < -1)
        return result(BASS_ERROR_DEVICE);
    web.initialised = vantor_audio_open(static_cast<int>(freq ? freq : 44100)) != 0;
    return result(web.initialised ? BASS_OK : BASS_ERROR_DEVICE);
}

BOOL BASS_Free()
{
    if (!web.initialised)
        return result(BASS_ERROR_INIT);
    vantor_audio_stop();
    web.musicClock.reset();
    web.created = false;
    web.initialised = false;
    return result(BASS_OK);
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    if (!file || mem || offset != 0 || length != 0) {
        web.lastError = BASS_ERROR_ILLPARAM;
        return 0;
    }
    if (!web.initialised) {
        web.lastError = BASS_ERROR_INIT;
        return 0;
    }
    // Decoding without playing is the capture's business, not the page's.
    if (flags & BASS_STREAM_DECODE) {
        web.lastError = BASS_ERROR_NOTAVAIL;
        return 0;
    }
    std::FILE* in = std::fopen(static_cast<const char*>(file), "rb");
    if (!in) {
        web.lastError = BASS_ERROR_FILEOPEN;
        return 0;
    }
    std::vector<unsigned char> bytes;
    unsigned char block[1 << 16];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;)
        bytes.insert(bytes.end(), block, block + got);
    std::fclose(in);
    if (bytes.empty()) {
        web.lastError = BASS_ERROR_FILEFORM;
        return 0;
    }
    vantor_audio_decode(bytes.data(), static_cast<int>(bytes.size()));
    web.musicClock.reset();
    web.created = true;
    web.streamFlags = flags;
    web.lastError = BASS_OK;
    return musicHandle;
}

BOOL BASS_StreamFree(HSTREAM handle)
{
    if (handle != musicHandle || !web.created)
        return result(BASS_ERROR_HANDLE);
    vantor_audio_stop();
    web.musicClock.reset();
    web.created = false;
    return result(BASS_OK);
}

BOOL BASS_Start()
{
    if (!web.initialised)
        return result(BASS_ERROR_INIT);
    vantor_audio_resume_context();
    return result(BASS_OK);
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart)
{
    audio::WebMusicClock* m = music(handle);
    if (!m)
        return FALSE;
    if (m->playing() && !restart)
        return result(BASS_OK);
    const double from = restart ? 0.0 : m->lastRead();
    m->play(from, vantor_audio_play(from));
    return result(BASS_OK);
}

BOOL BASS_ChannelPause(DWORD handle)
{
    audio::WebMusicClock* m = music(handle);
    if (!m)
        return FALSE;
    if (!m->playing())
        return result(BASS_ERROR_ALREADY);
    heardFrame(*m);
    m->pause();
    vantor_audio_stop();
    return result(BASS_OK);
}

DWORD BASS_ChannelIsActive(DWORD handle)
{
    audio::WebMusicClock* m = music(handle);
    if (!m)
        return BASS_ACTIVE_STOPPED;
    if (m->playing()) {
        heardFrame(*m);
        return m->ended() ? BASS_ACTIVE_STOPPED : BASS_ACTIVE_PLAYING;
    }
    return m->lastRead() > 0.0 && !m->ended() ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_STOPPED;
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode)
{
    audio::WebMusicClock* m = byteMusic(handle, mode);
    return m ? static_cast<QWORD>(m->lengthFrames()) * frameBytes() : errorPosition;
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode)
{
    audio::WebMusicClock* m = byteMusic(handle, mode);
    return m ? static_cast<QWORD>(heardFrame(*m)) * frameBytes() : errorPosition;
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos)
{
    audio::WebMusicClock* m = music(handle);
    if (!m)
        return -1.0;
    return static_cast<double>(pos) / (m->rate() * static_cast<double>(frameBytes()));
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos)
{
    audio::WebMusicClock* m = music(handle);
    if (!m)
        return errorPosition;
    const double frames = std::round(pos * m->rate());
    if (!(frames >= 0.0) || frames > 9.0e15) {
        web.lastError = BASS_ERROR_ILLPARAM;
        return errorPosition;
    }
    return static_cast<QWORD>(frames) * frameBytes();
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode)
{
    audio::WebMusicClock* m = music(handle);
    if (!m)
        return FALSE;
    if (mode != BASS_POS_BYTE)
        return result(BASS_ERROR_NOTAVAIL);
    const double frame = static_cast<double>(pos / frameBytes());
    if (frame > m->lengthFrames())
        return result(BASS_ERROR_POSITION);
    const bool wasPlaying = m->playing();
    m->seek(frame);
    if (wasPlaying)
        m->play(frame, vantor_audio_play(frame));
    return result(BASS_OK);
}

// Web Audio plays on its own thread; there is nothing to top up.
BOOL BASS_Update(DWORD)
{
    return result(web.initialised ? BASS_OK : BASS_ERROR_INIT);
}

DWORD BASS_ChannelGetData(DWORD handle, void*, DWORD)
{
    web.lastError = handle == musicHandle && web.created ? BASS_ERROR_DECODE : BASS_ERROR_HANDLE;
    return 0xFFFFFFFFu;
}

BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info)
{
    audio::WebMusicClock* m = music(handle);
    if (!m)
        return FALSE;
    if (!info)
        return result(BASS_ERROR_ILLPARAM);
    info->freq = static_cast<DWORD>(m->rate());
    info->chans = static_cast<DWORD>(vantor_audio_channels());
    info->flags = web.streamFlags;
    return result(BASS_OK);
}

int BASS_ErrorGetCode()
{
    return web.lastError;
}


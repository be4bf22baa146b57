// The music stream's audio layer: the small set of stream calls the show is built on
// (device start, file streams, play and pause, byte and second positions), implemented
// with libmpg123 for decoding and SDL2 for output. Positions are of what is being heard.
#pragma once

#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using HSTREAM = DWORD;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

constexpr DWORD BASS_STREAM_PRESCAN = 0x20000;
constexpr DWORD BASS_STREAM_DECODE = 0x200000;
constexpr DWORD BASS_POS_BYTE = 0;

constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_STALLED = 2;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

// Why the last call on this thread failed (BASS_ErrorGetCode).
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_FILEOPEN = 2;   // the file cannot be opened
constexpr int BASS_ERROR_HANDLE = 5;     // not a stream handle
constexpr int BASS_ERROR_POSITION = 7;   // position out of range
constexpr int BASS_ERROR_INIT = 8;       // no device has been initialised
constexpr int BASS_ERROR_ALREADY = 14;   // already initialised / already paused
constexpr int BASS_ERROR_ILLPARAM = 20;  // an argument is invalid
constexpr int BASS_ERROR_DEVICE = 23;    // no such device
constexpr int BASS_ERROR_NOPLAY = 24;    // the stream is not playing
constexpr int BASS_ERROR_NOTAVAIL = 37;  // mode not available
constexpr int BASS_ERROR_DECODE = 38;    // a decode-only stream cannot be played
constexpr int BASS_ERROR_FILEFORM = 41;  // not a decodable MP3 file
constexpr int BASS_ERROR_UNKNOWN = -1;

struct BASS_CHANNELINFO {
    DWORD freq;   // sample rate in Hz
    DWORD chans;  // 1 or 2
    DWORD flags;  // the flags the stream was created with
};

// Opens the output device (-1: the default one). Fails on a machine without audio;
// streams then play silently on the monotonic clock.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* clsid);
// Closes the device and frees every stream.
BOOL BASS_Free();
// file is a null-terminated 8-bit path when mem is FALSE. Returns 0 on failure.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
BOOL BASS_StreamFree(HSTREAM handle);
BOOL BASS_Start();
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
// Through a device, the position runs on until what the device already holds has played
// (a buffer or two), then stays; play resumes right after it.
BOOL BASS_ChannelPause(DWORD handle);
DWORD BASS_ChannelIsActive(DWORD handle);
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode);
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos);
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode);
BOOL BASS_Update(DWORD length);
// Decode-only streams: reads up to length bytes of 16-bit interleaved samples from the
// current position and advances it. Returns the bytes read, or 0xFFFFFFFF on error.
// At the end of the stream it returns 0.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
// The stream's own sample rate and channel count: byte positions are of 16-bit
// interleaved samples at that rate and count.
BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info);
int BASS_ErrorGetCode();

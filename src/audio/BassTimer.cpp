#include "audio/BassTimer.h"

BassTimer::BassTimer(HSTREAM stream, float bpm, int rowsPerBeat)
    : stream(stream), rowRate(static_cast<double>(bpm) / 60.0 * rowsPerBeat)
{
}

void BassTimer::pause()
{
    BASS_ChannelPause(stream);
}

void BassTimer::play()
{
    BASS_ChannelPlay(stream, FALSE);
}

void BassTimer::setRow(float row)
{
    const float seconds = static_cast<float>(row / rowRate);
    const QWORD bytes = BASS_ChannelSeconds2Bytes(stream, seconds);
    BASS_ChannelSetPosition(stream, bytes, BASS_POS_BYTE);
}

bool BassTimer::isPlaying()
{
    return BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING;
}

float BassTimer::getSeconds()
{
    return static_cast<float>(
        BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE)));
}

float BassTimer::getRow()
{
    return static_cast<float>(getSeconds() * rowRate);
}

#include "mp3/Mp3Writer.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>

namespace mp3 {

namespace {
// LAME's own bound for the output of one call: 1.25 × samples + 7200 bytes.
std::size_t outputBound(std::size_t frames)
{
    return frames + frames / 4 + 7200;
}

constexpr std::size_t chunkFrames = 8192;
} // namespace

Mp3Writer::~Mp3Writer()
{
    release();
}

void Mp3Writer::release()
{
    if (lame) {
        lame_close(static_cast<lame_t>(lame));
        lame = nullptr;
    }
    file.reset(); // an unfinished file is abandoned
}

bool Mp3Writer::fail(const std::string& why)
{
    message = why;
    release();
    return false;
}

bool Mp3Writer::open(const std::string& path, int sampleRate, int channelCount, int kbps)
{
    release();
    message.clear();
    if (channelCount != 1 && channelCount != 2)
        return fail("channel count must be 1 or 2");
    if (sampleRate <= 0 || kbps <= 0)
        return fail("sample rate and bit rate must be positive");

    const auto configure = [&](lame_t gf, float scale) {
        lame_set_in_samplerate(gf, sampleRate);
        lame_set_out_samplerate(gf, sampleRate);
        lame_set_num_channels(gf, channelCount);
        lame_set_mode(gf, channelCount == 1 ? MONO : JOINT_STEREO);
        lame_set_VBR(gf, vbr_off);
        lame_set_brate(gf, kbps);
        lame_set_quality(gf, 5);
        lame_set_scale(gf, scale);
        // The info tag is what makes decoding gapless; an ID3 tag in front of it would
        // move the placeholder frame away from the file start.
        lame_set_bWriteVbrTag(gf, 1);
        lame_set_write_id3tag_automatic(gf, 0);
        return lame_init_params(gf) >= 0;
    };
    lame_t gf = lame_init();
    if (!gf)
        return fail("lame_init failed");
    lame = gf;
    channels = channelCount;
    if (!configure(gf, 1.0f))
        return fail("the encoder rejects " + std::to_string(sampleRate) + " Hz at " +
                    std::to_string(kbps) + " kbps");
    // Some bit-rate presets scale the input down a little inside the encoder; undo it so
    // the decoded file has the level that went in.
    const float applied = lame_get_scale(gf);
    if (applied > 0.0f && std::fabs(applied - 1.0f) > 1e-6f) {
        release();
        gf = lame_init();
        if (!gf)
            return fail("lame_init failed");
        lame = gf;
        channels = channelCount;
        if (!configure(gf, 1.0f / applied))
            return fail("the encoder rejects its level correction");
    }

    // Read and write: the tag goes back over the first frame at the end.
    file.emplace(path, "w+b");
    if (!file->isOpen())
        return fail("cannot create " + path + ": " + file->error());
    return true;
}

bool Mp3Writer::writeBytes(const unsigned char* bytes, std::size_t count)
{
    if (!file->write(bytes, count))
        return fail("write failed: " + file->error());
    return true;
}

bool Mp3Writer::write(const std::int16_t* interleaved, std::size_t frames)
{
    if (!lame || !file)
        return fail(message.empty() ? "writer is not open" : message);
    lame_t gf = static_cast<lame_t>(lame);
    std::vector<short> chunk;
    while (frames > 0) {
        const std::size_t n = std::min(frames, chunkFrames);
        buffer.resize(outputBound(n));
        chunk.assign(interleaved, interleaved + n * channels);
        const int bytes =
            channels == 2
                ? lame_encode_buffer_interleaved(gf, chunk.data(), static_cast<int>(n),
                                                 buffer.data(), static_cast<int>(buffer.size()))
                : lame_encode_buffer(gf, chunk.data(), chunk.data(), static_cast<int>(n),
                                     buffer.data(), static_cast<int>(buffer.size()));
        if (bytes < 0)
            return fail("encoding failed (" + std::to_string(bytes) + ")");
        if (!writeBytes(buffer.data(), static_cast<std::size_t>(bytes)))
            return false;
        interleaved += n * channels;
        frames -= n;
    }
    return true;
}

bool Mp3Writer::finish()
{
    if (!lame || !file)
        return fail(message.empty() ? "writer is not open" : message);
    lame_t gf = static_cast<lame_t>(lame);
    buffer.resize(outputBound(chunkFrames));
    const int bytes = lame_encode_flush(gf, buffer.data(), static_cast<int>(buffer.size()));
    if (bytes < 0)
        return fail("flushing the encoder failed");
    if (!writeBytes(buffer.data(), static_cast<std::size_t>(bytes)))
        return false;

    unsigned char tag[2880];
    const std::size_t tagBytes = lame_get_lametag_frame(gf, tag, sizeof tag);
    if (tagBytes == 0 || tagBytes > sizeof tag)
        return fail("the encoder produced no info tag");
    if (std::fseek(file->stream(), 0, SEEK_SET) != 0 || !writeBytes(tag, tagBytes))
        return fail("cannot write the info tag");
    if (!file->commit())
        return fail("cannot put the finished file in place: " + file->error());
    release();
    return true;
}

bool writeMp3(const std::string& path, const std::vector<std::int16_t>& interleaved,
              int sampleRate, int channels, int kbps, std::string* error)
{
    Mp3Writer writer;
    const std::size_t frames = channels > 0 ? interleaved.size() / channels : 0;
    const bool ok = writer.open(path, sampleRate, channels, kbps) &&
                    writer.write(interleaved.data(), frames) && writer.finish();
    if (!ok && error)
        *error = writer.error();
    return ok;
}

} // namespace mp3

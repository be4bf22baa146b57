// WAV writing and the audio layer's decode-only streams as a sample source.
#include "capture/WavWriter.h"

#include <algorithm>
#include <bit>

#include "base/AtomicFile.h"
#include "base/StopSignal.h"

namespace capture {

namespace {

constexpr int bytesPerSample = 2;
constexpr long chunkFrames = 16384;
constexpr std::uint64_t headerBytes = 44;
constexpr std::uint64_t maxRiffBytes = 0xFFFFFFFFull;

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putTag(std::vector<std::uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

// WAV samples are little-endian; so is every machine this builds for, but say so.
void toLittleEndian(std::int16_t* samples, size_t count)
{
    if constexpr (std::endian::native == std::endian::big)
        for (size_t i = 0; i < count; ++i)
        {
            const auto u = static_cast<std::uint16_t>(samples[i]);
            samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>((u >> 8) | (u << 8)));
        }
}

} // namespace

StreamPcmSource::StreamPcmSource(HSTREAM stream) : stream(stream)
{
    BASS_CHANNELINFO info{};
    ok = stream != 0 && BASS_ChannelGetInfo(stream, &info) && info.freq > 0 && (info.chans == 1 || info.chans == 2);
    if (ok) {
        sampleRate = static_cast<int>(info.freq);
        channelCount = static_cast<int>(info.chans);
    }
}

bool StreamPcmSource::seek(std::uint64_t frame)
{
    const QWORD bytes = frame * static_cast<QWORD>(channelCount) * bytesPerSample;
    const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    if (length == static_cast<QWORD>(-1) || bytes >= length)
        return false;
    return BASS_ChannelSetPosition(stream, bytes, BASS_POS_BYTE) != FALSE;
}

long StreamPcmSource::read(std::int16_t* out, long count)
{
    const DWORD frameBytes = static_cast<DWORD>(channelCount) * bytesPerSample;
    const DWORD got = BASS_ChannelGetData(stream, out, static_cast<DWORD>(count) * frameBytes);
    if (got == 0xFFFFFFFFu)
        return -1;
    return static_cast<long>(got / frameBytes);
}

std::vector<std::uint8_t> wavHeader(int rate, int channels, std::uint64_t frames)
{
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(channels) * bytesPerSample;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames * blockAlign);
    std::vector<std::uint8_t> out;
    out.reserve(headerBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, static_cast<std::uint16_t>(channels));
    put32(out, static_cast<std::uint32_t>(rate));
    put32(out, static_cast<std::uint32_t>(rate) * blockAlign);
    put16(out, static_cast<std::uint16_t>(blockAlign));
    put16(out, 8 * bytesPerSample);
    putTag(out, "data");
    put32(out, dataBytes);
    return out;
}

bool writeWav(const std::string& path, PcmSource& source, const SampleSpan& span, std::string& why)
{
    const int channels = source.channels();
    if (source.rate() <= 0 || channels < 1 || channels > 2) {
        why = path + ": the music has no usable sample format";
        return false;
    }
    const std::uint64_t frameBytes = static_cast<std::uint64_t>(channels) * bytesPerSample;
    if (span.count > (maxRiffBytes - 36) / frameBytes) {
        why = path + ": the span is too long for a WAV file (4 GiB)";
        return false;
    }

    Tarvo::AtomicFile file(path);
    if (!file.isOpen()) {
        why = path + ": " + file.error();
        return false;
    }
    const std::vector<std::uint8_t> header = wavHeader(source.rate(), channels, span.count);
    bool good = file.write(header.data(), header.size());

    // Past the end of the music (or after a read error) the rest is silence: the file
    // still lines up with the frames.
    bool more = span.count > 0 && source.seek(span.first);
    bool readFailed = false;
    std::vector<std::int16_t> chunk(static_cast<size_t>(chunkFrames) * channels);
    for (std::uint64_t done = 0; good && done < span.count;) {
        if (Tarvo::stopRequested()) {
            file.abandon();
            why = path + ": stopped before the end; not written";
            return false;
        }
        const long want = static_cast<long>(std::min<std::uint64_t>(chunkFrames, span.count - done));
        long got = 0;
        while (more && got < want) {
            const long n = source.read(chunk.data() + static_cast<size_t>(got) * channels, want - got);
            if (n <= 0) {
                readFailed = n < 0;
                more = false;
            } else {
                got += std::min(n, want - got);
            }
        }
        std::fill(chunk.begin() + static_cast<std::ptrdiff_t>(got) * channels,
                  chunk.begin() + static_cast<std::ptrdiff_t>(want) * channels, std::int16_t(0));
        toLittleEndian(chunk.data(), static_cast<size_t>(want) * channels);
        good = file.write(chunk.data(), static_cast<size_t>(frameBytes) * static_cast<size_t>(want));
        done += static_cast<std::uint64_t>(want);
    }
    if (readFailed) {
        file.abandon();
        why = path + ": the music could not be decoded";
        return false;
    }
    if (!good || !file.commit()) {
        why = path + ": " + file.error();
        return false;
    }
    return true;
}

} // namespace capture

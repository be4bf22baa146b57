#include "audio/Mp3Stream.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace audio {

namespace {

// The three system calls the reader needs: open a regular file for reading (its size
// comes back), read a block at an offset, close. POSIX reads at an offset in one call;
// the Windows C runtime seeks first, which costs nothing extra at a dozen reads a file.
#if defined(_WIN32)
int openRegular(const std::string& path, std::int64_t& size)
{
    const int fd = ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    struct _stat64 st {};
    if (fd >= 0 && (::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)) {
        ::_close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}

long long readAt(int fd, void* out, std::size_t count, std::int64_t offset)
{
    if (::_lseeki64(fd, offset, SEEK_SET) != offset)
        return -1;
    return ::_read(fd, out, static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30)));
}

void closeFile(int fd)
{
    ::_close(fd);
}
#else
int openRegular(const std::string& path, std::int64_t& size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}

long long readAt(int fd, void* out, std::size_t count, std::int64_t offset)
{
    return ::pread(fd, out, count, static_cast<off_t>(offset));
}

void closeFile(int fd)
{
    ::close(fd);
}
#endif

} // namespace

// The file under the decoder, read in large blocks. libmpg123's own reader asks the
// system for every frame header and body: thousands of calls for the length scan of a
// 3-minute file, tens of milliseconds of start-up where system calls are slow. Through
// this buffer the scan costs a dozen reads. Positions are 64-bit here; the decoder's
// callbacks use its own off_t (32-bit on Windows, which the music is far below).
class Mp3File {
public:
    ~Mp3File()
    {
        if (fd >= 0)
            closeFile(fd);
    }

    bool open(const std::string& path)
    {
        fd = openRegular(path, size);
        return fd >= 0;
    }

    static mpg123_ssize_t read(void* self, void* out, std::size_t count)
    {
        auto* f = static_cast<Mp3File*>(self);
        std::size_t done = 0;
        while (done < count && f->position < f->size) {
            if (f->position < f->blockStart || f->position >= f->blockStart + f->blockLength) {
                const long long got = readAt(f->fd, f->block.data(), f->block.size(), f->position);
                if (got <= 0)
                    break;
                f->blockStart = f->position;
                f->blockLength = got;
            }
            const std::size_t offset = static_cast<std::size_t>(f->position - f->blockStart);
            const std::size_t run =
                std::min(count - done, static_cast<std::size_t>(f->blockLength) - offset);
            std::memcpy(static_cast<unsigned char*>(out) + done, f->block.data() + offset, run);
            done += run;
            f->position += static_cast<std::int64_t>(run);
        }
        return static_cast<mpg123_ssize_t>(done);
    }

    // Reads count bytes at offset without moving the decoder's position; false past the end.
    bool peek(std::int64_t offset, unsigned char* out, std::size_t count)
    {
        const std::int64_t saved = position;
        position = offset;
        const bool whole = read(this, out, count) == static_cast<mpg123_ssize_t>(count);
        position = saved;
        return whole;
    }

    static off_t seek(void* self, off_t offset, int whence)
    {
        auto* f = static_cast<Mp3File*>(self);
        const std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->position : f->size;
        const std::int64_t target = base + offset;
        if (target < 0 || static_cast<off_t>(target) != target)
            return -1;
        f->position = target;
        return static_cast<off_t>(target);
    }

private:
    int fd = -1;
    std::int64_t size = 0;
    std::int64_t position = 0;
    std::vector<unsigned char> block = std::vector<unsigned char>(256 * 1024);
    std::int64_t blockStart = 0;
    std::int64_t blockLength = 0;
};

namespace {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

std::string describe(mpg123_handle* mh, int code)
{
    return mh && code == MPG123_ERR ? mpg123_strerror(mh) : mpg123_plain_strerror(code);
}

} // namespace

Mp3Stream::~Mp3Stream()
{
    if (handle) {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
    // file goes after the decoder that reads it.
}

namespace {

// Where each frame the scan found plays: its offset from the decoder's index, its length
// from its header.
FrameSlots placeScannedFrames(mpg123_handle* mh, Mp3File& file, std::int64_t taggedFrames)
{
    off_t* offsets = nullptr;
    off_t step = 0;
    std::size_t fill = 0;
    const off_t found = mpg123_framelength(mh);
    FrameSlots placed;
    if (mpg123_index(mh, &offsets, &step, &fill) != MPG123_OK || step != 1 || found < 0
        || fill != static_cast<std::size_t>(found)) {
        // No index of every frame: the frames are taken as they come.
        for (off_t i = 0; i < found; ++i) {
            placed.slot.push_back(static_cast<std::uint64_t>(i));
            placed.trusted.push_back(true);
        }
        placed.slots = found > 0 ? static_cast<std::uint64_t>(found) : 0;
        return placed;
    }
    std::vector<std::int64_t> starts(offsets, offsets + fill);
    std::vector<int> lengths(fill, 0);
    for (std::size_t i = 0; i < fill; ++i) {
        unsigned char header[4];
        if (file.peek(starts[i], header, sizeof header))
            lengths[i] = mpegFrameBytes(std::uint32_t(header[0]) << 24 | std::uint32_t(header[1]) << 16
                | std::uint32_t(header[2]) << 8 | header[3]);
    }
    return placeFrames(starts, lengths, taggedFrames);
}

} // namespace

std::unique_ptr<Mp3Stream> Mp3Stream::open(const std::string& path, std::string* error)
{
    initLibrary();
    auto failWith = [&](const std::string& why) -> std::unique_ptr<Mp3Stream> {
        if (error)
            *error = why;
        return nullptr;
    };

    int code = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &code);
    if (!mh)
        return failWith("decoder: " + describe(nullptr, code));
    std::unique_ptr<Mp3Stream> stream(new Mp3Stream);
    stream->handle = mh;

    // The encoder delay and padding are cut here rather than by the decoder (see leadIn).
    // Damage of any length is skipped to the next frame; the scan indexes every frame,
    // which tells where the damage was. Quiet: the layer reports failures itself.
    mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_param(mh, MPG123_RESYNC_LIMIT, -1, 0.0);
    mpg123_param(mh, MPG123_INDEX_SIZE, -1000, 0.0);
    // 16-bit output at the file's own rate and channel count, nothing else.
    mpg123_format_none(mh);
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

    stream->file = std::make_unique<Mp3File>();
    if (!stream->file->open(path))
        return failWith("cannot read the file");
    if (mpg123_replace_reader_handle(mh, &Mp3File::read, &Mp3File::seek, nullptr) != MPG123_OK ||
        (code = mpg123_open_handle(mh, stream->file.get())) != MPG123_OK)
        return failWith(describe(mh, code));
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if ((code = mpg123_getformat(mh, &rate, &channels, &encoding)) != MPG123_OK)
        return failWith("no MPEG audio: " + describe(mh, code));
    if (encoding != MPG123_ENC_SIGNED_16 || (channels != 1 && channels != 2) || rate <= 0)
        return failWith("unsupported sample format");
    // The LAME tag's delay and padding, and the undamaged frame count it implies; only
    // known before the scan replaces the count with the frames really found.
    long delay = -1;
    long padding = -1;
    mpg123_getstate(mh, MPG123_ENC_DELAY, &delay, nullptr);
    mpg123_getstate(mh, MPG123_ENC_PADDING, &padding, nullptr);
    const std::int64_t taggedFrames = delay >= 0 ? mpg123_framelength(mh) : -1;
    // The scan reads every frame header once: the exact length and a complete seek
    // index, without decoding anything.
    if ((code = mpg123_scan(mh)) != MPG123_OK)
        return failWith("scan failed: " + describe(mh, code));
    stream->placement = placeScannedFrames(mh, *stream->file, taggedFrames);
    const int spf = mpg123_spf(mh);
    if (spf <= 0 || stream->placement.slots == 0)
        return failWith("no samples");
    stream->samplesPerFrame = static_cast<std::uint64_t>(spf);
    // libmpg123's own gapless rule: the decoder adds 529 samples of delay, the tag's
    // padding includes them.
    constexpr long decoderDelay = 529;
    const std::uint64_t leadOut = delay >= 0 && padding > decoderDelay ? padding - decoderDelay : 0;
    stream->leadIn = delay >= 0 ? static_cast<std::uint64_t>(delay + decoderDelay) : 0;
    const std::uint64_t total = stream->placement.slots * stream->samplesPerFrame;
    if (total <= stream->leadIn + leadOut)
        return failWith("no samples");

    stream->sampleRate = static_cast<int>(rate);
    stream->channelCount = channels;
    stream->frames = total - stream->leadIn - leadOut;
    if (mpg123_seek(mh, 0, SEEK_SET) != 0)
        return failWith("cannot rewind after the scan");
    stream->decoderAt = 0;
    mpg123_getparam(mh, MPG123_PREFRAMES, &stream->preframes, nullptr);
    return stream;
}

std::int64_t Mp3Stream::frameInSlot(std::uint64_t slot)
{
    const std::vector<std::uint64_t>& slots = placement.slot;
    // Reads go forward: the frame after the last one found is nearly always the answer.
    std::size_t i = slotHint;
    if (!(i < slots.size() && slots[i] == slot) && !(++i < slots.size() && slots[i] == slot))
        i = static_cast<std::size_t>(std::lower_bound(slots.begin(), slots.end(), slot) - slots.begin());
    if (i >= slots.size() || slots[i] != slot)
        return -1;
    slotHint = i;
    return placement.trusted[i] ? static_cast<std::int64_t>(i) : -1;
}

bool Mp3Stream::decode(std::int64_t frame, std::uint64_t within, std::int16_t* out, std::uint64_t count)
{
    const std::uint64_t wanted = static_cast<std::uint64_t>(frame) * samplesPerFrame + within;
    if (decoderAt != wanted) {
        decoderAt = unknown;
        // After a seek the decoder first decodes a few frames before the one sought, to
        // fill the layer III bit reservoir. None of them may be from inside damage:
        // decoding those leaves it in a state that garbles samples for seconds after.
        long before = 0;
        const auto index = static_cast<std::size_t>(frame);
        while (before < preframes && index > static_cast<std::size_t>(before)) {
            const std::size_t earlier = index - static_cast<std::size_t>(before) - 1;
            if (!placement.trusted[earlier] || placement.slot[earlier] + before + 1 != placement.slot[index])
                break;
            ++before;
        }
        mpg123_param(handle, MPG123_PREFRAMES, before, 0.0);
        if (mpg123_seek(handle, static_cast<off_t>(wanted), SEEK_SET) != static_cast<off_t>(wanted))
            return false;
        decoderAt = wanted;
    }
    const std::size_t frameBytes = sizeof(std::int16_t) * channelCount;
    std::uint64_t done = 0;
    for (int attempt = 0; done < count && attempt < 3; ++attempt) {
        std::size_t got = 0;
        const int code = mpg123_read(handle, reinterpret_cast<unsigned char*>(out + done * channelCount),
                                     (count - done) * frameBytes, &got);
        done += got / frameBytes;
        if (code == MPG123_NEW_FORMAT) {
            long newRate = 0;
            int newChannels = 0;
            int encoding = 0;
            mpg123_getformat(handle, &newRate, &newChannels, &encoding);
            // A frame in another format cannot play as part of this stream.
            if (newRate != sampleRate || newChannels != channelCount)
                break;
        } else if (code != MPG123_OK) {
            break;
        }
    }
    if (done < count) {
        // Whatever stopped the decoder, the rest of this frame is damage: silence, and the
        // next read seeks to where it wants to be.
        std::memset(out + done * channelCount, 0, (count - done) * frameBytes);
        decoderAt = unknown;
        return true;
    }
    decoderAt += count;
    return true;
}

std::uint64_t Mp3Stream::read(std::int16_t* out, std::uint64_t count)
{
    count = std::min(count, frames - position);
    const std::size_t frameBytes = sizeof(std::int16_t) * channelCount;
    std::uint64_t done = 0;
    // Slot by slot: a slot is one MPEG frame's time, played from the frame found there or
    // silent.
    while (done < count) {
        const std::uint64_t at = position + done + leadIn;
        const std::uint64_t slot = at / samplesPerFrame;
        const std::uint64_t within = at % samplesPerFrame;
        const std::uint64_t run = std::min(count - done, samplesPerFrame - within);
        std::int16_t* target = out + done * channelCount;
        const std::int64_t frame = frameInSlot(slot);
        if (frame < 0 || !decode(frame, within, target, run))
            std::memset(target, 0, run * frameBytes);
        done += run;
    }
    position += done;
    return done;
}

bool Mp3Stream::seek(std::uint64_t frame)
{
    if (frame > frames)
        return false;
    // The decoder follows on the next read, which knows which MPEG frame it needs.
    position = frame;
    return true;
}

} // namespace audio

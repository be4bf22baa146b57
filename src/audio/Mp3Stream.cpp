#include "audio/Mp3Stream.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace audio {

// The file under the decoder, read in large blocks. libmpg123's own reader asks the
// system for every frame header and body: thousands of calls for the length scan of a
// 3-minute file, tens of milliseconds of start-up where system calls are slow. Through
// this buffer the scan costs a dozen reads.
class Mp3File {
public:
    ~Mp3File()
    {
        if (fd >= 0)
            ::close(fd);
    }

    bool open(const std::string& path)
    {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        size = st.st_size;
        return true;
    }

    static mpg123_ssize_t read(void* self, void* out, std::size_t count)
    {
        auto* f = static_cast<Mp3File*>(self);
        std::size_t done = 0;
        while (done < count && f->position < f->size) {
            if (f->position < f->blockStart || f->position >= f->blockStart + f->blockLength) {
                const ssize_t got = ::pread(f->fd, f->block.data(), f->block.size(), f->position);
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
            f->position += static_cast<off_t>(run);
        }
        return static_cast<mpg123_ssize_t>(done);
    }

    static off_t seek(void* self, off_t offset, int whence)
    {
        auto* f = static_cast<Mp3File*>(self);
        const off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->position : f->size;
        if (base + offset < 0)
            return -1;
        f->position = base + offset;
        return f->position;
    }

private:
    int fd = -1;
    off_t size = 0;
    off_t position = 0;
    std::vector<unsigned char> block = std::vector<unsigned char>(256 * 1024);
    off_t blockStart = 0;
    off_t blockLength = 0;
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

    // Gapless is the default in most builds; it must be on here, the positions depend
    // on it. Quiet: the layer reports failures itself.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
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
    // The scan reads every frame header once: the exact length and a complete seek
    // index, without decoding anything.
    if ((code = mpg123_scan(mh)) != MPG123_OK)
        return failWith("scan failed: " + describe(mh, code));
    const off_t length = mpg123_length(mh);
    if (length <= 0)
        return failWith("no samples");

    stream->sampleRate = static_cast<int>(rate);
    stream->channelCount = channels;
    stream->frames = static_cast<std::uint64_t>(length);
    if (!stream->seek(0))
        return failWith("cannot rewind after the scan");
    return stream;
}

std::uint64_t Mp3Stream::read(std::int16_t* out, std::uint64_t count)
{
    count = std::min(count, frames - position);
    const std::size_t frameBytes = sizeof(std::int16_t) * channelCount;
    std::uint64_t done = 0;
    int idleReads = 0;
    while (done < count && !exhausted) {
        std::size_t got = 0;
        const int code = mpg123_read(handle, reinterpret_cast<unsigned char*>(out + done * channelCount),
                                     (count - done) * frameBytes, &got);
        done += got / frameBytes;
        if (code == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(handle, &rate, &channels, &encoding);
            // A file that changes format midway cannot go on as the same stream.
            if (rate != sampleRate || channels != channelCount)
                exhausted = true;
        } else if (code != MPG123_OK) {
            // MPG123_DONE or a decoding error: nothing more from this file.
            exhausted = true;
        } else if (got == 0 && ++idleReads > 3) {
            exhausted = true;
        }
    }
    if (done < count) {
        std::memset(out + done * channelCount, 0, (count - done) * frameBytes);
        done = count;
    }
    position += done;
    return done;
}

bool Mp3Stream::seek(std::uint64_t frame)
{
    if (frame > frames)
        return false;
    const off_t landed = mpg123_seek(handle, static_cast<off_t>(frame), SEEK_SET);
    // Where the decoder cannot land on the frame (damaged data), what is left reads as
    // silence: the stream keeps its length and its clock.
    exhausted = landed < 0 || static_cast<std::uint64_t>(landed) != frame;
    position = frame;
    return true;
}

} // namespace audio

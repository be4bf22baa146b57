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

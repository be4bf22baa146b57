#include "engine/ImageCache.h"

#include <stb_image.h>

#include "engine/ImageFiles.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace Tarvo {

namespace {

using Pending = std::shared_future<std::shared_ptr<const DecodedImage>>;

// What the file looked like when it was decoded: a file written again since (a test's
// scratch image, an artist's export) is decoded again rather than served stale.
struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written {};
    bool exists = false;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path)
{
    std::error_code error;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (error)
        return {};
    stamp.written = std::filesystem::last_write_time(path, error);
    stamp.exists = !error;
    return stamp;
}

struct Entry {
    FileStamp stamp;
    Pending image;
};

std::shared_ptr<const DecodedImage> decode(const std::string& path)
{
    auto image = std::make_shared<DecodedImage>();
    int components = 0;
    const bool known = stbi_info(path.c_str(), &image->width, &image->height, &components);
    // The header's size is judged before a byte is decoded: the decoder would otherwise
    // allocate whatever it claims.
    if (known) {
        if (std::string refusal = imageSizeRefusal(image->width, image->height); !refusal.empty()) {
            *image = DecodedImage {};
            image->failure = std::move(refusal);
            return image;
        }
    }
    // RGB images are widened here, off the GL thread, rather than by GL during the upload.
    const int wanted = known && components == 3 ? 4 : 0;
    unsigned char* pixels = stbi_load(path.c_str(), &image->width, &image->height, &image->components, wanted);
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        *image = DecodedImage {};
        image->failure = reason ? reason : "unknown reason";
        return image;
    }
    image->channels = wanted ? wanted : image->components;
    image->pixels.reset(pixels, stbi_image_free);
    return image;
}

} // namespace

struct ImageCache::State {
    std::mutex mutex;
    std::map<std::string, Entry> images; // guarded by mutex
    std::set<std::string> reported;      // guarded by mutex
};

ImageCache::ImageCache() : state(std::make_unique<State>())
{
}

// Decodes still running finish before their futures go.
ImageCache::~ImageCache() = default;

std::shared_ptr<const DecodedImage> ImageCache::get(const std::string& path)
{
    std::promise<std::shared_ptr<const DecodedImage>> promise;
    Pending pending;
    const FileStamp stamp = stampOf(path);
    {
        std::lock_guard lock(state->mutex);
        auto found = state->images.find(path);
        if (found != state->images.end() && found->second.stamp == stamp)
            pending = found->second.image;
        else
            state->images[path] = Entry { stamp, promise.get_future().share() };
    }
    std::shared_ptr<const DecodedImage> image;
    if (pending.valid()) {
        image = pending.get();
    } else {
        image = decode(path);
        promise.set_value(image);
    }
    if (!image->failure.empty()) {
        std::lock_guard lock(state->mutex);
        if (state->reported.insert(path).second)
            std::printf("Image %s cannot be decoded: %s\n", path.c_str(), image->failure.c_str());
    }
    return image;
}

namespace {
// A browser page without threads decodes when the image is first asked for.
#ifdef __EMSCRIPTEN__
constexpr std::launch decodePolicy = std::launch::deferred;
#else
constexpr std::launch decodePolicy = std::launch::async;
#endif
} // namespace

void ImageCache::prefetch(const std::string& path)
{
    const FileStamp stamp = stampOf(path);
    std::lock_guard lock(state->mutex);
    auto found = state->images.find(path);
    if (found != state->images.end() && found->second.stamp == stamp)
        return;
    state->images[path] = Entry { stamp, std::async(decodePolicy, decode, path).share() };
}

void ImageCache::release()
{
    std::lock_guard lock(state->mutex);
    state->images.clear();
}

} // namespace Tarvo

#include "engine/ImageCache.h"

#include <stb_image.h>

#include <cstdio>
#include <future>
#include <map>
#include <mutex>
#include <set>

namespace Tarvo {

namespace {

using Pending = std::shared_future<std::shared_ptr<const DecodedImage>>;

struct Cache {
    std::mutex mutex;
    std::map<std::string, Pending> images; // guarded by mutex
    std::set<std::string> reported;        // guarded by mutex
};

Cache& cache()
{
    static Cache instance;
    return instance;
}

std::shared_ptr<const DecodedImage> decode(const std::string& path)
{
    auto image = std::make_shared<DecodedImage>();
    unsigned char* pixels = stbi_load(path.c_str(), &image->width, &image->height, &image->components, 0);
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        std::lock_guard lock(cache().mutex);
        if (cache().reported.insert(path).second)
            std::printf("Image %s cannot be decoded: %s\n", path.c_str(), reason ? reason : "unknown reason");
        *image = DecodedImage {};
        return image;
    }
    image->pixels.reset(pixels, stbi_image_free);
    return image;
}

} // namespace

std::shared_ptr<const DecodedImage> ImageCache::get(const std::string& path)
{
    std::promise<std::shared_ptr<const DecodedImage>> promise;
    Pending pending;
    {
        std::lock_guard lock(cache().mutex);
        auto found = cache().images.find(path);
        if (found != cache().images.end()) {
            pending = found->second;
        } else {
            cache().images.emplace(path, promise.get_future().share());
            pending = {};
        }
    }
    if (pending.valid())
        return pending.get();
    auto image = decode(path);
    promise.set_value(image);
    return image;
}

void ImageCache::release()
{
    std::lock_guard lock(cache().mutex);
    cache().images.clear();
}

} // namespace Tarvo

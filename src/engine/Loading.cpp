#include "engine/Loading.h"

namespace Tarvo {

namespace {
// The loading whose owner made it current: the one link from loaders with fixed signatures
// to the object that owns their caches and progress.
Loading* currentLoading = nullptr;
} // namespace

Loading::~Loading()
{
    if (currentLoading == this)
        currentLoading = nullptr;
}

void Loading::makeCurrent()
{
    currentLoading = this;
}

Loading* Loading::current()
{
    return currentLoading;
}

} // namespace Tarvo

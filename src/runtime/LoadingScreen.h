// What the window shows between opening and the music starting: a progress bar over the
// show's black, redrawn as the assets load, so a slow start never looks like a hang. It is
// drawn with scissored clears alone (no shader to compile first) and leaves every piece of
// GL state as it found it.
#pragma once

#include <chrono>

#include "engine/LoadProgress.h"

namespace Tarvo {

class LoadingScreen {
public:
    // Draws the empty bar at once and redraws it as the account moves, between one loader
    // and the next, until destroyed.
    LoadingScreen(int width, int height, LoadAccount& account);
    ~LoadingScreen();
    LoadingScreen(const LoadingScreen&) = delete;
    LoadingScreen& operator=(const LoadingScreen&) = delete;

    // Draws the bar at this fraction (0 to 1) and shows it.
    void draw(double fraction);
    // Draws it into the window's back buffer without showing it.
    void paint(double fraction);
    int framesShown() const { return shown; }

private:
    void onProgress(const LoadProgress& progress);

    LoadAccount& account;
    int width;
    int height;
    int shown = 0;
    double lastFraction = -1.0;
    std::chrono::steady_clock::time_point lastDraw;
};

} // namespace Tarvo

// The demo instance: owns what exists once (window and context, fixed GL state, the one
// vertex array object, the music stream, the row timer, the sync tracks and the main
// scene). The one aDemo is reachable from everywhere through gDemo.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "audio/BassAudio.h"
#include "engine/WindowSize.h"
#include "runtime/Window.h"
#include "sync/ShowTime.h"

class BassTimer;
class Sync;

namespace Tarvo {

class Loading;
class LoadingScreen;
class PostScene;

// Start-up failures that leave nothing to run (no window, no music). The message has
// already been printed when it is empty.
class StartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DemoOptions {
    bool windowed = false;
    bool visible = true;
    bool headless = false; // no window: an off-screen context (offline rendering)
    bool resizable = false;
    int display = 0;
    SwapSync swapSync = SwapSync::DriverDefault;
    int soundOn = 1;
    std::string musicPath = "./data/vaxo-dubtech.mp3";
    std::string syncBasePath = "./data/science/sync";
};

class Dinstance {
public:
    Dinstance(int width, int height, bool windowed);
    Dinstance(int width, int height, const DemoOptions& options);
    ~Dinstance();
    Dinstance(const Dinstance&) = delete;
    Dinstance& operator=(const Dinstance&) = delete;

    virtual void run(double time) = 0;

    void startMusic();
    // A fresh track store on basePath in place of the current one. Handles taken from the
    // old store die with it, so whatever holds them (a scene) must be gone first; the show
    // never calls this, tools and tests that run one scene after another on their own
    // data do.
    void openTracks(const std::string& basePath);
    bool updateRow();
    // The same with a row the caller steps (offline rendering) instead of the music's.
    bool updateRow(float givenRow);
    // Offline rendering steps the rows itself instead of following the music.
    void setRow(float r);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    float getRow() const { return row; }
    Sync* getSync() const { return sync; }
    BassTimer* getTimer() const { return timer; }
    HSTREAM getStream() const { return stream; }
    // The music's length in rows; negative without music.
    double getMusicRows() const;
    // True once started music has played to its end: nothing is left to keep time by.
    bool musicEnded() const;
    unsigned getVertexArray() const { return vao; }
    // The caches and progress of this instance's loading, current from its construction on.
    Loading& getLoading() { return *loading; }

protected:
    void initMusic(std::string path);

private:
    void initGlState();
    void createVertexArray();
    void initTimerAndSync(const std::string& syncBasePath);

    // Held by pointer so that the many files that include this one need not see it.
    std::unique_ptr<Loading> loading;
    // Shown from the window's opening until the music starts.
    std::unique_ptr<LoadingScreen> loadingScreen;
    int soundOn = 1;
    HSTREAM stream = 0;
    bool musicStarted = false;
    double bpm = showtime::beatsPerMinute;
    BassTimer* timer = nullptr;
    Sync* sync = nullptr;
    float row = 0.0f;
    int width;
    int height;
    unsigned vao = 0;
};

class aDemo : public Dinstance {
public:
    explicit aDemo(bool windowed);
    aDemo(int width, int height, const DemoOptions& options);

    void run(double time) override;
    // Builds the main scene; every asset of the show loads here.
    void createScene();

    double getFrameTime() const { return frameTime; }
    void setFrameTime(double ms) { frameTime = ms; }
    PostScene* getScene() const { return scene; }
    // Lets offline renderers and tests run another scene in the main scene's place.
    void setScene(PostScene* s) { scene = s; }

private:
    PostScene* scene = nullptr;
    double frameTime = 0.0;
};

} // namespace Tarvo

extern Tarvo::aDemo* gDemo;

namespace Tarvo {

// The window size that scenes size their targets by: the demo instance's window, or
// 1 x 1 without one, so tools and tests that build a scene on its own still get valid
// targets.
inline int demoWidth()
{
    return windowWidth();
}

inline int demoHeight()
{
    return windowHeight();
}

} // namespace Tarvo

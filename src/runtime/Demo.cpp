#include "runtime/Demo.h"

#include <GL/glew.h>

#include <iostream>

#include "engine/GlState.h"
#include "engine/Loading.h"
#include "engine/PostScene.h"
#include "engine/WindowSize.h"
#include "audio/BassTimer.h"
#include "runtime/LoadingScreen.h"
#include "runtime/Window.h"
#include "sync/Sync.h"

Tarvo::aDemo* gDemo = nullptr;

namespace Tarvo {

namespace {
constexpr int showWidth = 1920;
constexpr int showHeight = 1080;

DemoOptions windowedOptions(bool windowed)
{
    DemoOptions options;
    options.windowed = windowed;
    return options;
}
} // namespace

Dinstance::Dinstance(int width, int height, bool windowed)
    : Dinstance(width, height, windowedOptions(windowed))
{
}

Dinstance::Dinstance(int width, int height, const DemoOptions& options)
    : loading(std::make_unique<Loading>()), soundOn(options.soundOn), width(width), height(height)
{
    WindowOptions windowOptions;
    windowOptions.windowed = options.windowed;
    windowOptions.visible = options.visible;
    windowOptions.headless = options.headless;
    windowOptions.resizable = options.resizable;
    windowOptions.display = options.display;
    windowOptions.swapSync = options.swapSync;
    // Nothing can be drawn without a context, so a failed window ends start-up; its
    // message has been printed already.
    loading->makeCurrent();
    loading->account().begin(0);
    {
        const LoadStep step(LoadPhase::Window);
        if (!initWindow(width, height, windowOptions, "Vantor"))
            throw StartupError("");
    }
    // A window that is seen shows the loading from its first frame; an invisible one
    // (offline rendering) has nobody to show it to.
    if (options.visible)
        loadingScreen = std::make_unique<LoadingScreen>(width, height, loading->account());
    setWindowSize(width, height);
    initGlState();
    createVertexArray();
    // An empty path leaves the demo without music: its clock then stays at row 0
    // unless a caller drives the rows itself.
    if (!options.musicPath.empty()) {
        const LoadStep step(LoadPhase::Music);
        initMusic(options.musicPath);
    }
    initTimerAndSync(options.syncBasePath);
}

Dinstance::~Dinstance()
{
    glDeleteVertexArrays(1, &vao);
    clearWindowSize();
    delete timer;
    timer = nullptr;
}

void Dinstance::initGlState()
{
    setFixedGlState();
}

void Dinstance::createVertexArray()
{
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
}

void Dinstance::initMusic(std::string path)
{
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr))
        std::cout << "Can't initialize device" << std::endl;

    DWORD flags = BASS_STREAM_PRESCAN;
    if (soundOn == 0)
        flags |= BASS_STREAM_DECODE;
    stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, flags);
    if (stream == 0) {
        std::cout << stream << std::endl;
        throw StartupError("Failed to open tune");
    }
}

void Dinstance::initTimerAndSync(const std::string& syncBasePath)
{
    timer = new BassTimer(stream, static_cast<float>(bpm), showtime::rowsPerBeat);
    sync = Sync::create(syncBasePath, timer);
}

void Dinstance::openTracks(const std::string& basePath)
{
    delete sync;
    sync = Sync::create(basePath, timer);
}

double Dinstance::getMusicRows() const
{
    if (stream == 0)
        return -1.0;
    const double seconds = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetLength(stream, BASS_POS_BYTE));
    return showtime::rowAt(seconds);
}

bool Dinstance::musicEnded() const
{
    return musicStarted && stream != 0 && BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED;
}

void Dinstance::startMusic()
{
    loadingScreen.reset();
    musicStarted = true;
    BASS_Start();
    BASS_ChannelPlay(stream, FALSE);
    timer->play();
}

bool Dinstance::updateRow()
{
    // Without music the rows are whatever the caller set last.
    if (stream != 0)
        row = timer->getRow();
    return sync ? sync->update(row) : true;
}

bool Dinstance::updateRow(float givenRow)
{
    row = givenRow;
    return sync ? sync->update(row) : true;
}

void Dinstance::setRow(float r)
{
    row = r;
}

aDemo::aDemo(bool windowed)
    : Dinstance(showWidth, showHeight, windowed)
{
}

aDemo::aDemo(int width, int height, const DemoOptions& options)
    : Dinstance(width, height, options)
{
}

void aDemo::run(double time)
{
    if (scene)
        scene->render(time);
}

} // namespace Tarvo

#include "runtime/Console.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <conio.h>
#include <windows.h>
#endif

#include <cstdio>

namespace Tarvo {

void holdOwnConsole()
{
#if defined(_WIN32)
    // Another process on the console (a command prompt) keeps it open; input that is not
    // the console (redirected, as in scripts) has no key to wait for.
    DWORD processes[2] = {};
    DWORD mode = 0;
    if (GetConsoleProcessList(processes, 2) != 1 || !GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode))
        return;
    std::fflush(stdout);
    std::fputs("\nPress a key to close this window.\n", stderr);
    std::fflush(stderr);
    _getch();
#endif
}

} // namespace Tarvo

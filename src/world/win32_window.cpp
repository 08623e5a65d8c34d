// win32_window.cpp -- what the game asks of Windows itself, past GLUT: the
// console's character set, the keyboard focus and letting go of the WGL
// context. It takes the place of xwindow.cpp in the Windows build; the rest
// of the game knows nothing of either.

#include <windows.h>
#include <mmsystem.h>

#include "game.h"

// The command list and --help are UTF-8 (the é of the camera keys); a
// Windows console shows them in its own code page unless told otherwise.
// Done as the program loads, before the command line is read.
static const int CONSOLE_UTF8 = SetConsoleOutputCP(CP_UTF8);

// Windows' timers tick every 15.6 ms unless a program asks for finer ones:
// the game's 10 ms timer would come every 15.6 ms, and every other tick
// would have to run two frames for one picture. One millisecond is asked
// for as the program loads; Windows ends the request with the process.
static const MMRESULT FINE_TIMER = timeBeginPeriod(1);

// Windows always has a desktop to open the window on. Reads nothing.
int checkDisplay(const char* program, int argc, char** argv)
{
    (void)program;
    (void)argc;
    (void)argv;
    (void)CONSOLE_UTF8;
    (void)FINE_TIMER;
    return 1;
}

// The window's name and icon come from GLUT and the executable on Windows.
void nameWindow()
{
}

// Lets go of the GL context while its window still exists, so nothing is
// flushed into a window that is gone.
void releaseContext()
{
    if (wglGetCurrentContext() != nullptr) {
        glFinish();
        wglMakeCurrent(nullptr, nullptr);
    }
}

// The focus watch, a GLUT timer every 10 ms like the frames: a key let go
// while another window was active never reaches the game, so whatever was
// held when the window stopped being the active one is let go then.
// Reads windowGone; writes the key tables through releaseAllKeys.
void watchFocus(int value)
{
    static int hadFocus = 1;
    (void)value;
    if (windowGone)
        return;
    HDC dc = wglGetCurrentDC();
    HWND window = dc != nullptr ? WindowFromDC(dc) : nullptr;
    if (window != nullptr) {
        int focus = GetForegroundWindow() == window;
        if (hadFocus && !focus)
            releaseAllKeys();
        hadFocus = focus;
    }
    glutTimerFunc(10, watchFocus, 0);
}

// Whether the keyboard's Caps Lock is on (1) or off (0): its toggle state.
int keyboardCapsLock()
{
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
}

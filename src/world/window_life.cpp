// window_life.cpp -- the desktop window's life: opened and waited for until
// it is on screen, the main loop until Escape or the close button, and the
// window taken down at the end in the order the GL drivers want. It is a
// file of its own so that programs that never open a real window (the unit
// tests, the benchmarks, the page) do not pull it in, nor the platform's
// releaseContext (xwindow.cpp, or win32_window.cpp on Windows).

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "game.h"

static int windowReshaped;  // GLUT has run reshape since openShownWindow
static int windowShown;     // the window was reported visible since then

// The game's reshape, noting that it has run. Writes windowReshaped.
static void reshapeNoted(int w, int h)
{
    reshape(w, h);
    windowReshaped = 1;
}

// The game's window-status callback, noting that the window is on screen.
// Writes windowShown (and, through windowStatus, the key tables).
static void statusNoted(int state)
{
    windowStatus(state);
    if (state != GLUT_HIDDEN)
        windowShown = 1;
}

// Redraws that the window system asks for draw nothing: in a program that
// plays frame by frame, only the program runs a frame.
static void noFrame()
{
}

// Opens the game's window for a program that runs its frames itself (the
// replay tool, the in-process tests): GLUT gets no argument but the
// program's name, and its events are handled until the window is on screen
// and reshape has set the projection. Returns 0 if that takes over 10 s.
int openShownWindow(char* program)
{
    int argc = 1;
    char* argv[] = {program, nullptr};
    windowReshaped = windowShown = 0;
    openWindow(&argc, argv);
    glutDisplayFunc(noFrame);
    glutReshapeFunc(reshapeNoted);
    glutWindowStatusFunc(statusNoted);

    time_t start = time(nullptr);
    while (!(windowReshaped && windowShown)) {
        glutMainLoopEvent();
        if (time(nullptr) - start > 10) {
            fputs("the game's window did not appear within 10 s\n", stderr);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 1;
}

// The main loop of a program played at the keyboard (the game, the record
// tool), with the window opened by openWindow and its callbacks set: the
// frame timer and the focus watch armed, closing the window returns from the
// loop as Escape does, and the window is taken down cleanly afterwards.
// The pads are read before every frame while it plays.
void playInWindow()
{
    startPad();
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutCloseFunc(windowClosing);
    glutTimerFunc(10, update, 0);
    glutTimerFunc(10, watchFocus, 0);
    glutMainLoop();
    stopPad();
    closeWindow();
}

// GLUT calls this just before it destroys the window that the window
// manager closed (the close button): the context goes first, and
// the timers, which may still fire once, learn that there is no window any
// more. Writes windowGone.
void windowClosing()
{
    windowGone = 1;
    releaseContext();
}

// Lets go of the GL context while its window still exists (letting go of it
// flushes the front buffer into the window), then destroys the window and
// shuts GLUT down. Left to GLUT's exit handler, the window would go first
// and newer Mesa versions would then flush into a window that is gone: an X
// error that ends a finished run with status 1. Writes windowGone.
void closeWindow()
{
    if (glutGetWindow() != 0 && !windowGone) {
        windowGone = 1;
        releaseContext();
        glutDestroyWindow(glutGetWindow());
    }
    glutExit();
}

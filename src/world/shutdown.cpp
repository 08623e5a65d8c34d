// shutdown.cpp -- taking the window down at the end of a run, in the order
// the GL drivers want. It is a file of its own so that programs that never
// close a real window (the tests, the benchmarks) do not pull it in, nor the
// platform's releaseContext (xwindow.cpp, or win32_window.cpp on Windows).

#include "game.h"

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

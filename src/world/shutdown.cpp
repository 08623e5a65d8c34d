// shutdown.cpp -- taking the window down at the end of a run, in the order
// GLX wants. It is a file of its own because it is the one piece of the game
// that calls GLX directly: programs that never close a real window (the
// tests, the benchmarks) do not pull it in.

#include <GL/glx.h>

#include "game.h"

// Lets go of the GL context while its window still exists, so nothing is
// flushed into a window that is gone.
static void releaseContext()
{
    if (glXGetCurrentContext() != nullptr) {
        glFinish();
        glXMakeCurrent(glXGetCurrentDisplay(), None, nullptr);
    }
}

// GLUT calls this just before it destroys the window that the window
// manager closed (the close button): the context goes first, as above, and
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

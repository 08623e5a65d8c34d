// shutdown.cpp -- taking the window down at the end of a run, in the order
// GLX wants. It is a file of its own because it is the one piece of the game
// that calls GLX directly: programs that never close a real window (the
// tests, the benchmarks) do not pull it in.

#include <GL/glx.h>

#include "game.h"

// Lets go of the GL context while its window still exists (letting go of it
// flushes the front buffer into the window), then destroys the window and
// shuts GLUT down. Left to GLUT's exit handler, the window would go first
// and newer Mesa versions would then flush into a window that is gone: an X
// error that ends a finished run with status 1. Reads and writes no globals.
void closeWindow()
{
    if (glutGetWindow() != 0) {
        if (glXGetCurrentContext() != nullptr) {
            glFinish();
            glXMakeCurrent(glXGetCurrentDisplay(), None, nullptr);
        }
        glutDestroyWindow(glutGetWindow());
    }
    glutExit();
}

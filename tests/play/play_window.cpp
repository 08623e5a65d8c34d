// play_window.cpp -- the game's own start-up and frame for the in-process
// tests: the window opened as the game opens it, but frames run only when
// a test asks, so what a test sees depends on frame numbers, never on time.

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <unistd.h>

#include "game.h"
#include "play.h"

static int reshaped;  // GLUT ran reshape
static int shown;     // the window was reported visible

static void playReshape(int w, int h)
{
    reshape(w, h);
    reshaped = 1;
}

static void playWindowStatus(int state)
{
    windowStatus(state);
    if (state != GLUT_HIDDEN)
        shown = 1;
}

// Redraws asked for by the window system draw nothing: only a test runs
// frames.
static void noFrame()
{
}

// Writes the tree table (through plantTrees) and the window's callbacks.
int openGameWindow(char* program, unsigned seed)
{
    int argc = 1;
    char* argv[] = {program, nullptr};
    seedForest(seed);
    clearTables();
    plantTrees();
    openWindow(&argc, argv);
    glutDisplayFunc(noFrame);
    glutReshapeFunc(playReshape);
    glutWindowStatusFunc(playWindowStatus);
    time_t start = time(nullptr);
    while (!(reshaped && shown)) {
        glutMainLoopEvent();
        if (time(nullptr) - start > 10) {
            fputs("the window did not appear within 10 s\n", stderr);
            return 0;
        }
        usleep(1000);
    }
    return 1;
}

void playFrame()
{
    display();
    glFinish();
}

std::vector<unsigned char> readWindow()
{
    std::vector<unsigned char> pixels(500 * 500 * 3);
    glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 500, 500, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

long heapInUse()
{
    struct mallinfo2 heap = mallinfo2();
    return (long)(heap.uordblks + heap.hblkhd);
}

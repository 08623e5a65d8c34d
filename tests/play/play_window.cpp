// play_window.cpp -- the game's own start-up and frame for the in-process
// tests: the window opened as the game opens it, but frames run only when
// a test asks, so what a test sees depends on frame numbers, never on time.

#include <cstdio>
#include <cstdlib>
#include <malloc.h>

#include "game.h"
#include "play.h"

// The game's start with the seed, then its window, shown.
int openGameWindow(char* program, unsigned seed)
{
    startGame(seed, 0);
    return openShownWindow(program);
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

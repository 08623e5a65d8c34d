// framebench.cpp -- what a frame costs with real OpenGL: the game's own
// start-up with a fixed seed, its real 500 by 500 window, and display()
// called back to back with glFinish after each, for three scenes:
//   a  surveillance camera, nothing moving
//   b  chase camera, 66 bullets in flight (put back before every frame,
//      outside the timed part, so the same frame is drawn each time)
//   c  overhead map
// Prints the median and spread of the milliseconds per frame and the
// median's share of the 10 ms the game allows a frame, then how much the
// heap in use grew over the scenes (display lists and Mesa's own buffers;
// run with CLANKWISE_IMMEDIATE=1 for Mesa's alone).
//
// Usage: framebench [--frames N] [--warmup N] [--case a|b|c|all] [GLUT args]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <malloc.h>

#include "game.h"
#include "scenario.h"

const int MAX_FRAMES = 100000;
static double frameMs[MAX_FRAMES];
static int reshaped;
static bu sceneBullets[NB_BULLETS];  // the pool as each frame of scene b starts

static double nowMs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The game's own reshape, and a note that the window has its size.
static void benchReshape(int w, int h)
{
    reshape(w, h);
    reshaped = 1;
}

// Puts the world back to the start and sets up scene `which`.
static void setUpScene(char which)
{
    restoreBenchWorld();
    if (which == 'a')
        typeCam = CAM_SURVEILLANCE;
    if (which == 'b') {
        typeCam = CAM_CHASE;
        fillBullets(0, NB_BULLETS - 1);
        memcpy(sceneBullets, bulletS, sizeof bulletS);
    }
    if (which == 'c')
        typeCam = CAM_MAP;
}

// One frame as the game draws it, waited for to the last pixel. The bullets
// are put back first, outside the timed part.
static double timedFrame(char which)
{
    if (which == 'b')
        memcpy(bulletS, sceneBullets, sizeof bulletS);
    double t0 = nowMs();
    display();
    glFinish();
    return nowMs() - t0;
}

// The heap in use, in bytes: malloc's small blocks and its mapped ones.
static long heapInUse()
{
    struct mallinfo2 heap = mallinfo2();
    return (long)(heap.uordblks + heap.hblkhd);
}

// The p-quantile of n sorted values, to the nearest rank.
static double quantile(const double* sorted, int n, double p)
{
    return sorted[(int)(p * (n - 1) + 0.5)];
}

// Runs one scene and prints its line of the table.
static void runScene(char which, int frames, int warmup)
{
    static const char* names[] = {"surveillance, still", "chase, 66 bullets",
                                  "overhead map"};
    setUpScene(which);
    for (int i = 0; i < warmup; i++)
        timedFrame(which);
    double sum = 0;
    for (int i = 0; i < frames; i++) {
        frameMs[i] = timedFrame(which);
        sum += frameMs[i];
    }
    std::sort(frameMs, frameMs + frames);
    double med = quantile(frameMs, frames, 0.5);
    printf("%c  %-20s %6d %9.3f %9.3f %9.3f %9.3f %8.1f%%\n", which,
           names[which - 'a'], frames, med, sum / frames, frameMs[0],
           quantile(frameMs, frames, 0.9), med / 10 * 100);
    fflush(stdout);
}

// Opens the game's window and lets GLUT map it and hand it its size. Frames
// that GLUT draws on its own while mapping are not timed.
static void openGameWindow(int* argc, char** argv)
{
    openWindow(argc, argv);
    glutReshapeFunc(benchReshape);
    for (int i = 0; i < 1000 && !reshaped; i++)
        glutMainLoopEvent();
    if (!reshaped) {
        fprintf(stderr, "framebench: the window never got its size\n");
        exit(1);
    }
    glutMainLoopEvent();
    printf("GL_RENDERER %s\nGL_VERSION  %s\n", glGetString(GL_RENDERER),
           glGetString(GL_VERSION));
}

int main(int argc, char** argv)
{
    int frames = 200, warmup = 10;
    const char* cases = "abc";
    int glutArgc = 1;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--warmup") && i + 1 < argc)
            warmup = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--case") && i + 1 < argc)
            cases = strcmp(argv[++i], "all") ? argv[i] : "abc";
        else
            argv[glutArgc++] = argv[i];
    }
    frames = std::max(1, std::min(frames, MAX_FRAMES));
    warmup = std::max(0, warmup);

    startWorld();
    saveBenchWorld();
    openGameWindow(&glutArgc, argv);
    printf("   scene                frames  median_ms   mean_ms    min_ms    p90_ms   budget\n");
    long heapBefore = heapInUse();
    for (const char* c = cases; *c; c++)
        if (*c >= 'a' && *c <= 'c')
            runScene(*c, frames, warmup);
    printf("heap_grown_kib %ld\n", (heapInUse() - heapBefore) / 1024);
    return 0;
}

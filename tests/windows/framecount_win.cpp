// framecount_win.cpp -- the frame counter of the Windows test build of the
// game (clankwise_counted.exe): the game's own objects, linked with
// --wrap=glutSwapBuffers so that every frame the game shows passes through
// here. A Windows program cannot be given a counter from outside the way
// the Linux game is (LD_PRELOAD), so this build carries it.
//
// With FRAMECOUNT_LIVE=FILE, FILE holds the number of frames shown so far,
// twelve digits and a newline, rewritten in place after every frame; a test
// reads it to wait for frames rather than for time.

#include <cstdio>
#include <cstdlib>

extern "C" void __real_glutSwapBuffers();

static long long frames;  // frames shown since the window opened
static FILE* live;        // FRAMECOUNT_LIVE, opened at the first frame

// Shows the frame, then writes the new count over the old one.
extern "C" void __wrap_glutSwapBuffers()
{
    __real_glutSwapBuffers();
    frames++;
    if (live == nullptr) {
        const char* path = getenv("FRAMECOUNT_LIVE");
        if (path == nullptr || (live = fopen(path, "wb")) == nullptr)
            return;
    }
    fseek(live, 0, SEEK_SET);
    fprintf(live, "%012lld\n", frames);
    fflush(live);
}

// framecount.cpp -- a preloaded counter of the frames a GLUT program shows:
// it wraps glutSwapBuffers, which the game calls once at the end of every
// frame, and after a set time reports how many frames it saw. It changes
// nothing in the program it watches; the program needs no option for it.
//
//   LD_PRELOAD=libframecount.so FRAMECOUNT_SECONDS=10 FRAMECOUNT_OUT=fps.txt
//       ./clankwise
//
// The count starts at the first frame, or FRAMECOUNT_SKIP seconds after it,
// so start-up is not counted. When the time is up it writes one line,
// "frames N seconds T fps F", to FRAMECOUNT_OUT (or standard error) and goes
// on counting silently.
//
// With FRAMECOUNT_LIVE=FILE it also keeps, in FILE, two 64-bit native-endian
// integers in a shared mapping, updated after every frame: the number of
// frames shown so far, and the bytes of heap the program has in use
// (allocated and not freed, from malloc's own books, all threads). A test
// reads them at any time (od -An -tu8 -N16 FILE) to know that frames ran
// and how much memory is held, without a system call per frame.

#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

static long frames;        // frames since the window opened
static double firstFrame = -1;  // when the program showed its first frame
static double windowStart = -1; // when the counting window opened
static double skipSeconds;       // FRAMECOUNT_SKIP, read at the first frame
static double windowSeconds;     // FRAMECOUNT_SECONDS, likewise
static int reported;
static volatile long* live;  // FRAMECOUNT_LIVE's mapping: frames, heap bytes

static double envSeconds(const char* name, double fallback)
{
    const char* env = getenv(name);
    return env ? atof(env) : fallback;
}

static double nowSeconds()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Writes the one report line once the time is up.
static void reportIfDue(double now)
{
    double elapsed = now - windowStart;
    if (reported || elapsed < windowSeconds)
        return;
    reported = 1;
    const char* path = getenv("FRAMECOUNT_OUT");
    FILE* out = path ? fopen(path, "w") : stderr;
    if (!out)
        return;
    // The frame that ends the window is not counted in it.
    fprintf(out, "frames %ld seconds %.3f fps %.2f\n", frames - 1, elapsed,
            (frames - 1) / elapsed);
    if (out != stderr)
        fclose(out);
}

// Maps FRAMECOUNT_LIVE, if set, as a shared file of two longs. Writes live.
static void openLiveCount()
{
    const char* path = getenv("FRAMECOUNT_LIVE");
    if (path == nullptr)
        return;
    int fd = open(path, O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ftruncate(fd, 2 * sizeof(long)) != 0) {
        perror("framecount: FRAMECOUNT_LIVE");
    } else {
        void* map = mmap(nullptr, 2 * sizeof(long), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (map != MAP_FAILED)
            live = (volatile long*)map;
    }
    if (fd >= 0)
        close(fd);
}

// Counts the frame, then shows it as the program asked.
extern "C" void glutSwapBuffers()
{
    static void (*real)() = (void (*)())dlsym(RTLD_NEXT, "glutSwapBuffers");
    static long shown = 0;
    double now = nowSeconds();
    if (firstFrame < 0) {
        openLiveCount();
        firstFrame = now;
        skipSeconds = envSeconds("FRAMECOUNT_SKIP", 0);
        windowSeconds = envSeconds("FRAMECOUNT_SECONDS", 10);
    }
    if (windowStart < 0 && now - firstFrame >= skipSeconds)
        windowStart = now;
    if (windowStart >= 0) {
        frames++;
        reportIfDue(now);
    }
    if (real)
        real();
    if (live != nullptr) {
        struct mallinfo2 heap = mallinfo2();
        live[1] = (long)(heap.uordblks + heap.hblkhd);
        live[0] = ++shown;
    }
}

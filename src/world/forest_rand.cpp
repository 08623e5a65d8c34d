// forest_rand.cpp -- the random numbers that colour the crowns.
//
// A seed must plant the same forest on every platform, and the forest the
// golden pictures hold is the one glibc's rand() gives. Where the C library
// is glibc its own rand() is used; elsewhere (Windows' C runtime, the
// browser's libc) glibcRand() gives the same sequence. The generator is
// built on every platform so it can be checked against glibc natively.
#include "game.h"

#include <cstdint>
#include <cstdlib>

// glibc's default generator is an additive lagged-Fibonacci one:
// r[k] = r[k-3] + r[k-31] (mod 2^32), rand() = r[k] >> 1. The 34 most recent
// values are kept in a ring; ringNext is where r[k] goes.
static uint32_t ring[34];
static int ringNext = -1; // -1 until seeded: rand() before srand() is seed 1

// Advances the sequence by one value and returns it.
static uint32_t ringStep()
{
    uint32_t value = ring[(ringNext + 34 - 31) % 34] + ring[(ringNext + 34 - 3) % 34];
    ring[ringNext] = value;
    ringNext = (ringNext + 1) % 34;
    return value;
}

// Seeds the generator as glibc's srand() does: 31 values from the minimal
// standard generator (16807 * x mod 2^31 - 1, in Schrage's form, on the seed
// taken as a signed 32-bit number, 0 counted as 1), three of them repeated,
// then 310 values thrown away. Writes ring, ringNext.
void glibcSrand(unsigned seed)
{
    int32_t word = (int32_t)seed;
    if (word == 0)
        word = 1;
    ring[0] = (uint32_t)word;
    for (int i = 1; i < 31; i++) {
        int64_t hi = word / 127773, lo = word % 127773;
        int64_t next = 16807 * lo - 2836 * hi;
        if (next < 0)
            next += 2147483647;
        word = (int32_t)next;
        ring[i] = (uint32_t)word;
    }
    for (int i = 31; i < 34; i++)
        ring[i] = ring[i - 31];
    ringNext = 0;
    for (int i = 0; i < 310; i++)
        ringStep();
}

// The next number of glibc's sequence, 0 to 2^31 - 1. Reads and writes ring.
int glibcRand()
{
    if (ringNext < 0)
        glibcSrand(1);
    return (int)(ringStep() >> 1);
}

// Seeds the forest's numbers: srand() where the C library is glibc.
void seedForest(unsigned seed)
{
#ifdef __GLIBC__
    srand(seed);
#else
    glibcSrand(seed);
#endif
}

// The forest's next number, glibc's rand() sequence on every platform.
int forestRand()
{
#ifdef __GLIBC__
    return rand();
#else
    return glibcRand();
#endif
}

// alloc_count.h -- how many times the game's own code asked for heap memory.
// The benchmark program is linked with the linker's --wrap for malloc,
// calloc, realloc and operator new, which reroutes the calls made from the
// objects linked into it (the game core and the stand-ins), not those made
// inside shared libraries.

#ifndef CLANKWISE_BENCH_ALLOC_COUNT_H
#define CLANKWISE_BENCH_ALLOC_COUNT_H

extern long allocCount;

#endif

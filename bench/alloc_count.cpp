// alloc_count.cpp -- the counting side of the --wrap'ed allocation calls:
// each counts one call and hands it to the real function.

#include "alloc_count.h"

#include <cstddef>

long allocCount;

extern "C" {
void* __real_malloc(size_t n);
void* __real_calloc(size_t n, size_t size);
void* __real_realloc(void* p, size_t n);
void* __real__Znwm(size_t n);
void* __real__Znam(size_t n);

void* __wrap_malloc(size_t n)
{
    allocCount++;
    return __real_malloc(n);
}

void* __wrap_calloc(size_t n, size_t size)
{
    allocCount++;
    return __real_calloc(n, size);
}

void* __wrap_realloc(void* p, size_t n)
{
    allocCount++;
    return __real_realloc(p, n);
}

void* __wrap__Znwm(size_t n)
{
    allocCount++;
    return __real__Znwm(n);
}

void* __wrap__Znam(size_t n)
{
    allocCount++;
    return __real__Znam(n);
}
}

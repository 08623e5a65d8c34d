// gl_calls.h -- what the three GL stand-ins share besides the list of calls
// in gl_calls.def: a call's numbers gathered as doubles, and the answer of a
// call none of them writes out by hand.

#ifndef CLANKWISE_GL_CALLS_H
#define CLANKWISE_GL_CALLS_H

#include <GL/glut.h>

#include <array>

// The numbers of a call, in order, without touching the heap: a benchmark's
// frame must not allocate.
template <class... T>
std::array<double, sizeof...(T)> glNumbers(T... v)
{
    return {{(double)v...}};
}

// What a call of the generic kinds answers: nothing, or for
// glutCreateWindow, the only one that answers, window 1.
template <class T>
T glAnswer()
{
    return T(1);
}
template <>
inline void glAnswer<void>()
{
}

#endif

// gl_null.cpp -- a stand-in for GL, GLU and GLUT whose every function does
// nothing, so the benchmarks time the game's own work and not a driver's.
// Its functions come from the shared list of calls; it keeps nothing: a
// benchmark must not allocate.

#include "../tests/support/gl_calls.h"

template <class... T>
static void ignore(T...)
{
}

extern "C" {

#define GL_CALL(kind, type, name, parameters, numbers) GL_CALL_##kind(type, name, parameters, numbers)
#define NOOP_BODY(type, name, parameters, numbers) \
    type name parameters                         \
    {                                            \
        ignore numbers;                          \
        return glAnswer<type>();                 \
    }
#define GL_CALL_PLAIN NOOP_BODY
#define GL_CALL_ATTRIB NOOP_BODY
#define GL_CALL_SOLID NOOP_BODY
#define GL_CALL_WINDOW NOOP_BODY
#define GL_CALL_CHECKED NOOP_BODY
#define GL_CALL_DETAILED NOOP_BODY
#define GL_CALL_ANSWER(type, name, parameters, numbers)
#define GL_FONT(name) void* name;
#include "../tests/support/gl_calls.def"

#include "../tests/support/gl_answers_noop.inc"

}  // extern "C"

// gl_check.h -- a stand-in for GL, GLU and GLUT for the fuzz target. It draws
// nothing and records nothing (so a frame costs only the game's own work),
// but it checks every call as it arrives: the matrix stacks never underflow
// or overflow, glBegin and glEnd pair up, nothing is drawn into the
// projection matrix, and no number handed over is a NaN or an infinity.
// A broken rule aborts at once, naming the call.

#ifndef CLANKWISE_GL_CHECK_H
#define CLANKWISE_GL_CHECK_H

// Back to a fresh context: model-view selected, both stacks empty, no
// primitive open, the counters of the frame at zero.
void glCheckReset();

// Marks the start of a frame for the per-frame counts.
void glCheckBeginFrame();

// Checks what must hold once a frame is over: both stacks back where the
// frame found them, no primitive left open, and exactly one gluLookAt.
void glCheckEndFrame();

// Reports a broken rule on stderr and stops the process.
[[noreturn]] void glCheckFail(const char* what);

#endif

// gl_record.h -- a stand-in for GL, GLU and GLUT that records every call the
// game makes, with its arguments, so tests can check what a frame draws and
// in what order without a display.

#ifndef CLANKWISE_GL_RECORD_H
#define CLANKWISE_GL_RECORD_H

#include <string>
#include <vector>

struct GlCall {
    std::string name;          // the GL, GLU or GLUT function, e.g. "glTranslatef"
    std::vector<double> args;  // its arguments; enums as numbers, arrays spread out,
                               // quadrics as 1, 2, 3 in order of creation
};

// Every call since the last glRecordReset().
extern std::vector<GlCall> glCalls;

void glRecordReset();

// The calls named `name`, in order.
std::vector<GlCall> callsNamed(const std::string& name);

// How many calls named `name`.
size_t countCalls(const std::string& name);

// The index in glCalls of the n-th (from 0) call named `name`, or -1.
long indexOfCall(const std::string& name, size_t n = 0);

// The quadric id that gluCylinder records for a quadric handle.
double quadricId(const void* quadric);

// What glGetDoublev reads back for GL_PROJECTION_MATRIX and for any other
// matrix (column-major); the identity until a test sets them.
extern double glRecordProjection[16];
extern double glRecordModelview[16];

// What glGetLightfv reads back for any light: its position and spot
// direction in eye coordinates and its spot cutoff in degrees; GL's own
// start values (a light at infinity, no spot) until a test sets them.
extern float glRecordLightPosition[4];
extern float glRecordLightDirection[3];
extern float glRecordLightCutoff;

// What glRenderMode(GL_RENDER) hands back after feedback mode: the values
// a renderer would have written into the feedback buffer. None by default.
extern std::vector<float> glRecordFeedback;

// Forgets every display list name, as a new GL context would.
void glRecordForgetLists();

#endif

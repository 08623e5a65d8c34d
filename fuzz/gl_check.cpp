// gl_check.cpp -- the checking stand-in for GL, GLU and GLUT used by the fuzz
// target. Each function checks its call against the state a real context
// would have (matrix mode, stack depths, an open glBegin) and aborts on the
// first broken rule; nothing is drawn or stored, so frames are cheap.

#include "gl_check.h"

#include "../tests/support/gl_calls.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

// The depths every OpenGL implementation must at least offer.
const int MODELVIEW_STACK_MAX = 32;
const int PROJECTION_STACK_MAX = 2;

static GLenum matrixMode = GL_MODELVIEW;
static int modelviewDepth;
static int projectionDepth;
static bool insideBegin;
static int frameDepthModelview;
static int frameDepthProjection;
static int lookAtsThisFrame;

void glCheckFail(const char* what)
{
    fprintf(stderr, "clankwise fuzz: %s\n", what);
    fflush(stderr);
    abort();
}

void glCheckReset()
{
    matrixMode = GL_MODELVIEW;
    modelviewDepth = 0;
    projectionDepth = 0;
    insideBegin = false;
    glCheckBeginFrame();
}

void glCheckBeginFrame()
{
    frameDepthModelview = modelviewDepth;
    frameDepthProjection = projectionDepth;
    lookAtsThisFrame = 0;
}

void glCheckEndFrame()
{
    if (modelviewDepth != frameDepthModelview || projectionDepth != frameDepthProjection)
        glCheckFail("a frame left a matrix pushed or popped one too many");
    if (insideBegin)
        glCheckFail("a frame left a glBegin open");
    if (lookAtsThisFrame != 1)
        glCheckFail("a frame did not place exactly one camera");
}

// Every number that reaches GL must be finite, or the frame draws garbage.
template <size_t N>
static void finite(const char* call, const std::array<double, N>& args)
{
    for (double a : args)
        if (!std::isfinite(a)) {
            fprintf(stderr, "clankwise fuzz: %s got a non-finite argument\n", call);
            glCheckFail("non-finite number handed to GL");
        }
}

// Only glVertex, glNormal and glColor may come between glBegin and glEnd.
static void outsideBegin(const char* call)
{
    if (insideBegin) {
        fprintf(stderr, "clankwise fuzz: %s inside glBegin/glEnd\n", call);
        glCheckFail("call not allowed between glBegin and glEnd");
    }
}

// Geometry belongs in the model-view matrix; drawn while the projection is
// selected, its transforms would pile up in the projection instead.
static void drawing(const char* call)
{
    outsideBegin(call);
    if (matrixMode != GL_MODELVIEW) {
        fprintf(stderr, "clankwise fuzz: %s with the projection matrix selected\n", call);
        glCheckFail("geometry drawn outside the model-view matrix");
    }
}

static int* currentDepth()
{
    return matrixMode == GL_PROJECTION ? &projectionDepth : &modelviewDepth;
}

extern "C" {

// The calls of the shared list with a generic check: none between glBegin
// and glEnd but attributes, solids only into the model-view, every number
// finite. The rest are written out below.
#define GL_CALL(kind, type, name, parameters, numbers) GL_CALL_##kind(type, name, parameters, numbers)
#define CHECK_BODY(type, name, parameters, numbers, check) \
    type name parameters                                   \
    {                                                      \
        check(#name);                                      \
        finite(#name, glNumbers numbers);                  \
        return glAnswer<type>();                           \
    }
#define GL_CALL_PLAIN(type, name, parameters, numbers) CHECK_BODY(type, name, parameters, numbers, outsideBegin)
#define GL_CALL_ATTRIB(type, name, parameters, numbers) CHECK_BODY(type, name, parameters, numbers, (void))
#define GL_CALL_SOLID(type, name, parameters, numbers) CHECK_BODY(type, name, parameters, numbers, drawing)
#define GL_CALL_WINDOW(type, name, parameters, numbers) CHECK_BODY(type, name, parameters, numbers, (void))
#define GL_CALL_CHECKED(type, name, parameters, numbers)
#define GL_CALL_DETAILED(type, name, parameters, numbers)
#define GL_CALL_ANSWER(type, name, parameters, numbers)
#define GL_FONT(name) void* name;
#include "../tests/support/gl_calls.def"

#include "../tests/support/gl_answers_noop.inc"

// GL: matrices
void glMatrixMode(GLenum mode)
{
    outsideBegin("glMatrixMode");
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION)
        glCheckFail("glMatrixMode with a mode the game never uses");
    matrixMode = mode;
}

void glPushMatrix()
{
    outsideBegin("glPushMatrix");
    int* depth = currentDepth();
    int max = matrixMode == GL_PROJECTION ? PROJECTION_STACK_MAX - 1 : MODELVIEW_STACK_MAX - 1;
    if (++*depth > max)
        glCheckFail("matrix stack overflow");
}

void glPopMatrix()
{
    outsideBegin("glPopMatrix");
    if (--*currentDepth() < 0)
        glCheckFail("matrix stack underflow");
}

// GL: primitives and their attributes
void glBegin(GLenum)
{
    drawing("glBegin");
    insideBegin = true;
}

void glEnd()
{
    if (!insideBegin)
        glCheckFail("glEnd without glBegin");
    insideBegin = false;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!insideBegin)
        glCheckFail("glVertex3f outside glBegin/glEnd");
    finite("glVertex3f", glNumbers(x, y, z));
}

// GL: state
void glViewport(GLint, GLint, GLsizei w, GLsizei h)
{
    outsideBegin("glViewport");
    if (w < 0 || h < 0)
        glCheckFail("glViewport with a negative size");
}

void glLightfv(GLenum, GLenum pname, const GLfloat* v)
{
    outsideBegin("glLightfv");
    if (pname == GL_SPOT_DIRECTION)
        finite("glLightfv", glNumbers(v[0], v[1], v[2]));
    else
        finite("glLightfv", glNumbers(v[0], v[1], v[2], v[3]));
}

void glMaterialfv(GLenum, GLenum pname, const GLfloat* v)
{
    outsideBegin("glMaterialfv");
    if (pname == GL_SHININESS)
        finite("glMaterialfv", glNumbers(v[0]));
    else
        finite("glMaterialfv", glNumbers(v[0], v[1], v[2], v[3]));
}

// GLU
void gluCylinder(GLUquadric* q, GLdouble base, GLdouble top, GLdouble height, GLint, GLint)
{
    drawing("gluCylinder");
    if (q == nullptr)
        glCheckFail("gluCylinder without a quadric");
    finite("gluCylinder", glNumbers(base, top, height));
}

// A view with the eye on its target, or looking along the up vector, has no
// orientation: GLU builds a matrix that flattens the whole scene.
void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz)
{
    outsideBegin("gluLookAt");
    finite("gluLookAt", glNumbers(ex, ey, ez, cx, cy, cz, ux, uy, uz));
    if (matrixMode != GL_MODELVIEW)
        glCheckFail("gluLookAt outside the model-view matrix");
    double fx = cx - ex, fy = cy - ey, fz = cz - ez;
    double sx = fy * uz - fz * uy, sy = fz * ux - fx * uz, sz = fx * uy - fy * ux;
    if (sx == 0 && sy == 0 && sz == 0)
        glCheckFail("gluLookAt with no defined orientation");
    lookAtsThisFrame++;
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    outsideBegin("gluPerspective");
    finite("gluPerspective", glNumbers(fovy, aspect, zNear, zFar));
    if (!(aspect > 0))
        glCheckFail("gluPerspective with an aspect ratio that is not positive");
}

}  // extern "C"

// gl_check.cpp -- the checking stand-in for GL, GLU and GLUT used by the fuzz
// target. Each function checks its call against the state a real context
// would have (matrix mode, stack depths, an open glBegin) and aborts on the
// first broken rule; nothing is drawn or stored, so frames are cheap.

#include "gl_check.h"

#include <GL/glut.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

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

// Quadrics are made before main runs; plain storage needs no constructor.
static char quadrics[16];
static int nbQuadrics;

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
static void finite(const char* call, std::initializer_list<double> args)
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

// GL: matrices
void glMatrixMode(GLenum mode)
{
    outsideBegin("glMatrixMode");
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION)
        glCheckFail("glMatrixMode with a mode the game never uses");
    matrixMode = mode;
}

void glLoadIdentity() { outsideBegin("glLoadIdentity"); }

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

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { outsideBegin("glTranslatef"); finite("glTranslatef", {x, y, z}); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { outsideBegin("glTranslated"); finite("glTranslated", {x, y, z}); }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { outsideBegin("glRotatef"); finite("glRotatef", {a, x, y, z}); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { outsideBegin("glScalef"); finite("glScalef", {x, y, z}); }

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
    finite("glVertex3f", {x, y, z});
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { finite("glColor3f", {r, g, b}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { finite("glNormal3f", {x, y, z}); }

// GL: state
void glClear(GLbitfield) { outsideBegin("glClear"); }
void glEnable(GLenum) { outsideBegin("glEnable"); }
void glDisable(GLenum) { outsideBegin("glDisable"); }
void glShadeModel(GLenum) { outsideBegin("glShadeModel"); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { finite("glClearColor", {r, g, b, a}); }
void glPointSize(GLfloat size) { finite("glPointSize", {size}); }
void glFlush() { outsideBegin("glFlush"); }
void glFinish() { outsideBegin("glFinish"); }

void glViewport(GLint, GLint, GLsizei w, GLsizei h)
{
    outsideBegin("glViewport");
    if (w < 0 || h < 0)
        glCheckFail("glViewport with a negative size");
}

void glLightf(GLenum, GLenum, GLfloat v) { outsideBegin("glLightf"); finite("glLightf", {v}); }

void glLightfv(GLenum, GLenum pname, const GLfloat* v)
{
    outsideBegin("glLightfv");
    if (pname == GL_SPOT_DIRECTION)
        finite("glLightfv", {v[0], v[1], v[2]});
    else
        finite("glLightfv", {v[0], v[1], v[2], v[3]});
}

void glMaterialfv(GLenum, GLenum pname, const GLfloat* v)
{
    outsideBegin("glMaterialfv");
    if (pname == GL_SHININESS)
        finite("glMaterialfv", {v[0]});
    else
        finite("glMaterialfv", {v[0], v[1], v[2], v[3]});
}

// GLU
GLUquadric* gluNewQuadric()
{
    return (GLUquadric*)&quadrics[nbQuadrics++];
}

void gluCylinder(GLUquadric* q, GLdouble base, GLdouble top, GLdouble height, GLint, GLint)
{
    drawing("gluCylinder");
    if (q == nullptr)
        glCheckFail("gluCylinder without a quadric");
    finite("gluCylinder", {base, top, height});
}

// A view with the eye on its target, or looking along the up vector, has no
// orientation: GLU builds a matrix that flattens the whole scene.
void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz)
{
    outsideBegin("gluLookAt");
    finite("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
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
    finite("gluPerspective", {fovy, aspect, zNear, zFar});
    if (!(aspect > 0))
        glCheckFail("gluPerspective with an aspect ratio that is not positive");
}

// GLUT: window and callbacks (never called by a frame, present for the link)
void glutInit(int*, char**) {}
void glutInitDisplayMode(unsigned int) {}
void glutInitWindowSize(int, int) {}
void glutInitWindowPosition(int, int) {}
int glutCreateWindow(const char*) { return 1; }
void glutDisplayFunc(void (*)()) {}
void glutKeyboardFunc(void (*)(unsigned char, int, int)) {}
void glutKeyboardUpFunc(void (*)(unsigned char, int, int)) {}
void glutReshapeFunc(void (*)(int, int)) {}
void glutSpecialFunc(void (*)(int, int, int)) {}
void glutSpecialUpFunc(void (*)(int, int, int)) {}
void glutWindowStatusFunc(void (*)(int)) {}
void glutIgnoreKeyRepeat(int) {}
void glutTimerFunc(unsigned int, void (*)(int), int) {}
void glutPostRedisplay() {}
void glutLeaveMainLoop() {}
#include "../bench/gl_lists_noop.inc"
void glutSwapBuffers() { outsideBegin("glutSwapBuffers"); }
void glutMainLoop() {}

// GLUT: solids
void glutSolidSphere(GLdouble r, GLint, GLint) { drawing("glutSolidSphere"); finite("glutSolidSphere", {r}); }
void glutSolidCube(GLdouble size) { drawing("glutSolidCube"); finite("glutSolidCube", {size}); }
void glutSolidOctahedron() { drawing("glutSolidOctahedron"); }

void glutSolidTorus(GLdouble inner, GLdouble outer, GLint, GLint)
{
    drawing("glutSolidTorus");
    finite("glutSolidTorus", {inner, outer});
}

void glutSolidCone(GLdouble base, GLdouble height, GLint, GLint)
{
    drawing("glutSolidCone");
    finite("glutSolidCone", {base, height});
}

}  // extern "C"

// gl_record.cpp -- the recording stand-in for GL, GLU and GLUT. Each function
// appends one GlCall; nothing is drawn.

#include "gl_record.h"

#include <GL/glut.h>

#include <initializer_list>

std::vector<GlCall> glCalls;

void glRecordReset()
{
    glCalls.clear();
}

std::vector<GlCall> callsNamed(const std::string& name)
{
    std::vector<GlCall> out;
    for (const GlCall& c : glCalls)
        if (c.name == name)
            out.push_back(c);
    return out;
}

size_t countCalls(const std::string& name)
{
    return callsNamed(name).size();
}

long indexOfCall(const std::string& name, size_t n)
{
    for (size_t i = 0; i < glCalls.size(); i++)
        if (glCalls[i].name == name && n-- == 0)
            return (long)i;
    return -1;
}

// Quadrics are created before main, perhaps before glCalls is constructed,
// so creating one records nothing and touches no object with a constructor.
static char quadrics[16];
static int nbQuadrics;

double quadricId(const void* quadric)
{
    return (double)((const char*)quadric - quadrics) + 1;
}

static void record(const char* name, std::initializer_list<double> args)
{
    glCalls.push_back(GlCall{name, std::vector<double>(args)});
}

static void recordArray(const char* name, std::initializer_list<double> head,
                        const GLfloat* values, int n)
{
    GlCall c{name, std::vector<double>(head)};
    for (int i = 0; i < n; i++)
        c.args.push_back(values[i]);
    glCalls.push_back(c);
}

// Display lists: names are handed out in order and stay valid until
// glRecordForgetLists(), as in a context that is then replaced.
static GLuint nextList = 1;
void glRecordForgetLists() { nextList = 1; }

// Matrices read back: those the test set, the identity by default.
double glRecordProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
double glRecordModelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

float glRecordLightPosition[4] = {0, 0, 1, 0};
float glRecordLightDirection[3] = {0, 0, -1};
float glRecordLightCutoff = 180;

extern "C" {

// GL
void glClear(GLbitfield mask) { record("glClear", {(double)mask}); }
void glMatrixMode(GLenum mode) { record("glMatrixMode", {(double)mode}); }
void glLoadIdentity() { record("glLoadIdentity", {}); }
void glPushMatrix() { record("glPushMatrix", {}); }
void glPopMatrix() { record("glPopMatrix", {}); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { record("glTranslated", {x, y, z}); }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { record("glRotatef", {a, x, y, z}); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { record("glScalef", {x, y, z}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { record("glNormal3f", {x, y, z}); }
void glBegin(GLenum mode) { record("glBegin", {(double)mode}); }
void glEnd() { record("glEnd", {}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", {x, y, z}); }
void glEnable(GLenum cap) { record("glEnable", {(double)cap}); }
void glDisable(GLenum cap) { record("glDisable", {(double)cap}); }
void glShadeModel(GLenum mode) { record("glShadeModel", {(double)mode}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { record("glClearColor", {r, g, b, a}); }
void glPointSize(GLfloat size) { record("glPointSize", {size}); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { record("glViewport", {(double)x, (double)y, (double)w, (double)h}); }
void glFlush() { record("glFlush", {}); }
void glFinish() { record("glFinish", {}); }
void glLightf(GLenum light, GLenum pname, GLfloat v) { record("glLightf", {(double)light, (double)pname, v}); }

void glLightfv(GLenum light, GLenum pname, const GLfloat* v)
{
    recordArray("glLightfv", {(double)light, (double)pname}, v, pname == GL_SPOT_DIRECTION ? 3 : 4);
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* v)
{
    recordArray("glMaterialfv", {(double)face, (double)pname}, v, pname == GL_SHININESS ? 1 : 4);
}

// GLU
GLUquadric* gluNewQuadric()
{
    return (GLUquadric*)&quadrics[nbQuadrics++];
}

void gluCylinder(GLUquadric* q, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks)
{
    record("gluCylinder", {quadricId(q), base, top, height, (double)slices, (double)stacks});
}

void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz)
{
    record("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    record("gluPerspective", {fovy, aspect, zNear, zFar});
}

// GLUT
void glutInit(int*, char**) { record("glutInit", {}); }
void glutInitDisplayMode(unsigned int mode) { record("glutInitDisplayMode", {(double)mode}); }
void glutInitWindowSize(int w, int h) { record("glutInitWindowSize", {(double)w, (double)h}); }
void glutInitWindowPosition(int x, int y) { record("glutInitWindowPosition", {(double)x, (double)y}); }
int glutCreateWindow(const char*) { record("glutCreateWindow", {}); return 1; }
void glutDisplayFunc(void (*)()) { record("glutDisplayFunc", {}); }
void glutKeyboardFunc(void (*)(unsigned char, int, int)) { record("glutKeyboardFunc", {}); }
void glutKeyboardUpFunc(void (*)(unsigned char, int, int)) { record("glutKeyboardUpFunc", {}); }
void glutReshapeFunc(void (*)(int, int)) { record("glutReshapeFunc", {}); }
void glutSpecialFunc(void (*)(int, int, int)) { record("glutSpecialFunc", {}); }
void glutSpecialUpFunc(void (*)(int, int, int)) { record("glutSpecialUpFunc", {}); }
void glutWindowStatusFunc(void (*)(int)) { record("glutWindowStatusFunc", {}); }
void glutIgnoreKeyRepeat(int ignore) { record("glutIgnoreKeyRepeat", {(double)ignore}); }
void glutTimerFunc(unsigned int ms, void (*)(int), int value) { record("glutTimerFunc", {(double)ms, (double)value}); }
void glutPostRedisplay() { record("glutPostRedisplay", {}); }
void glutLeaveMainLoop() { record("glutLeaveMainLoop", {}); }

GLuint glGenLists(GLsizei n) { record("glGenLists", {(double)n}); GLuint first = nextList; nextList += n; return first; }
GLboolean glIsList(GLuint list) { return list >= 1 && list < nextList; }
void glNewList(GLuint list, GLenum mode) { record("glNewList", {(double)list, (double)mode}); }
void glEndList() { record("glEndList", {}); }
void glCallList(GLuint list) { record("glCallList", {(double)list}); }

void glGetDoublev(GLenum what, GLdouble* out)
{
    const double* m = what == GL_PROJECTION_MATRIX ? glRecordProjection : glRecordModelview;
    for (int i = 0; i < 16; i++)
        out[i] = m[i];
}
void glGetLightfv(GLenum, GLenum what, GLfloat* out)
{
    if (what == GL_POSITION)
        for (int i = 0; i < 4; i++)
            out[i] = glRecordLightPosition[i];
    if (what == GL_SPOT_DIRECTION)
        for (int i = 0; i < 3; i++)
            out[i] = glRecordLightDirection[i];
    if (what == GL_SPOT_CUTOFF)
        out[0] = glRecordLightCutoff;
}
void glutSwapBuffers() { record("glutSwapBuffers", {}); }
void glutMainLoop() { record("glutMainLoop", {}); }
void glutSolidSphere(GLdouble r, GLint slices, GLint stacks) { record("glutSolidSphere", {r, (double)slices, (double)stacks}); }
void glutSolidCube(GLdouble size) { record("glutSolidCube", {size}); }
void glutSolidOctahedron() { record("glutSolidOctahedron", {}); }

void glutSolidTorus(GLdouble inner, GLdouble outer, GLint sides, GLint rings)
{
    record("glutSolidTorus", {inner, outer, (double)sides, (double)rings});
}

void glutSolidCone(GLdouble base, GLdouble height, GLint slices, GLint stacks)
{
    record("glutSolidCone", {base, height, (double)slices, (double)stacks});
}

}  // extern "C"

// gl_null.cpp -- a stand-in for GL, GLU and GLUT whose every function does
// nothing, so the benchmarks time the game's own work and not a driver's.
// It defines the same functions as the recording stand-in of the tests, but
// keeps nothing: a benchmark must not allocate.

#include <GL/glut.h>

// Quadrics are created before main; any distinct non-null handles will do.
static char quadrics[16];
static int nbQuadrics;

extern "C" {

// GL
void glClear(GLbitfield) {}
void glMatrixMode(GLenum) {}
void glLoadIdentity() {}
void glPushMatrix() {}
void glPopMatrix() {}
void glTranslatef(GLfloat, GLfloat, GLfloat) {}
void glTranslated(GLdouble, GLdouble, GLdouble) {}
void glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glScalef(GLfloat, GLfloat, GLfloat) {}
void glColor3f(GLfloat, GLfloat, GLfloat) {}
void glNormal3f(GLfloat, GLfloat, GLfloat) {}
void glBegin(GLenum) {}
void glEnd() {}
void glVertex3f(GLfloat, GLfloat, GLfloat) {}
void glEnable(GLenum) {}
void glDisable(GLenum) {}
void glShadeModel(GLenum) {}
void glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void glPointSize(GLfloat) {}
void glViewport(GLint, GLint, GLsizei, GLsizei) {}
void glFlush() {}
void glFinish() {}
void glLightf(GLenum, GLenum, GLfloat) {}
void glLightfv(GLenum, GLenum, const GLfloat*) {}
void glMaterialfv(GLenum, GLenum, const GLfloat*) {}

// GLU
GLUquadric* gluNewQuadric()
{
    return (GLUquadric*)&quadrics[nbQuadrics++ % 16];
}

void gluCylinder(GLUquadric*, GLdouble, GLdouble, GLdouble, GLint, GLint) {}
void gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
               GLdouble, GLdouble, GLdouble) {}
void gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) {}

// GLUT
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
#include "gl_lists_noop.inc"
void glutSwapBuffers() {}
void glutMainLoop() {}
void glutSolidSphere(GLdouble, GLint, GLint) {}
void glutSolidCube(GLdouble) {}
void glutSolidOctahedron() {}
void glutSolidTorus(GLdouble, GLdouble, GLint, GLint) {}
void glutSolidCone(GLdouble, GLdouble, GLint, GLint) {}

}  // extern "C"

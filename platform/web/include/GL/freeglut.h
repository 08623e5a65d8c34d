// freeglut.h -- the GL, GLU and GLUT interface of the web build: the calls
// and names the game uses, with the values the desktop headers give them,
// implemented over WebGL by platform/web/ (gl_layer.cpp; GLU and the GLUT
// solids in shapes.cpp; glut_layer.cpp). Only the subset the game calls is declared.

#ifndef CLANKWISE_WEB_FREEGLUT_H
#define CLANKWISE_WEB_FREEGLUT_H

typedef unsigned int GLenum;
typedef unsigned int GLbitfield;
typedef unsigned int GLuint;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLboolean;
typedef float GLfloat;
typedef double GLdouble;
typedef void GLvoid;

#define GL_NO_ERROR 0
#define GL_FALSE 0
#define GL_TRUE 1
#define GL_POINTS 0x0000
#define GL_LINES 0x0001
#define GL_LINE_LOOP 0x0002
#define GL_LINE_STRIP 0x0003
#define GL_TRIANGLES 0x0004
#define GL_TRIANGLE_STRIP 0x0005
#define GL_TRIANGLE_FAN 0x0006
#define GL_QUADS 0x0007
#define GL_QUAD_STRIP 0x0008
#define GL_POLYGON 0x0009
#define GL_CURRENT_BIT 0x00000001
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_VIEWPORT_BIT 0x00000800
#define GL_TRANSFORM_BIT 0x00001000
#define GL_ENABLE_BIT 0x00002000
#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_FRONT 0x0404
#define GL_BACK 0x0405
#define GL_FRONT_AND_BACK 0x0408
#define GL_CULL_FACE 0x0B44
#define GL_LIGHTING 0x0B50
#define GL_COLOR_MATERIAL 0x0B57
#define GL_DEPTH_TEST 0x0B71
#define GL_NORMALIZE 0x0BA1
#define GL_BLEND 0x0BE2
#define GL_CURRENT_COLOR 0x0B00
#define GL_CURRENT_NORMAL 0x0B02
#define GL_VIEWPORT 0x0BA2
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
#define GL_PACK_ALIGNMENT 0x0D05
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_SPOT_DIRECTION 0x1204
#define GL_SPOT_EXPONENT 0x1205
#define GL_SPOT_CUTOFF 0x1206
#define GL_CONSTANT_ATTENUATION 0x1207
#define GL_LINEAR_ATTENUATION 0x1208
#define GL_QUADRATIC_ATTENUATION 0x1209
#define GL_COMPILE 0x1300
#define GL_UNSIGNED_BYTE 0x1401
#define GL_SHININESS 0x1601
#define GL_EMISSION 0x1600
#define GL_AMBIENT_AND_DIFFUSE 0x1602
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_RGB 0x1907
#define GL_RGBA 0x1908
#define GL_FLAT 0x1D00
#define GL_SMOOTH 0x1D01
#define GL_RENDER 0x1C00
#define GL_FEEDBACK 0x1C01
#define GL_3D_COLOR 0x0602
#define GL_POLYGON_TOKEN 0x0703
#define GL_SRC_ALPHA 0x0302
#define GL_ONE_MINUS_SRC_ALPHA 0x0303
#define GL_LIGHT0 0x4000
#define GL_LIGHT2 0x4002

void glEnable(GLenum cap);
void glDisable(GLenum cap);
void glShadeModel(GLenum mode);
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void glClear(GLbitfield mask);
void glPointSize(GLfloat size);
void glBlendFunc(GLenum sfactor, GLenum dfactor);
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h);
void glFlush();
void glFinish();
GLenum glGetError();
void glMatrixMode(GLenum mode);
void glLoadIdentity();
void glPushMatrix();
void glPopMatrix();
void glMultMatrixd(const GLdouble* m);
void glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void glTranslated(GLdouble x, GLdouble y, GLdouble z);
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void glScalef(GLfloat x, GLfloat y, GLfloat z);
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f);
void glBegin(GLenum mode);
void glEnd();
void glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void glNormal3f(GLfloat x, GLfloat y, GLfloat z);
void glColor3f(GLfloat r, GLfloat g, GLfloat b);
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void glRasterPos2i(GLint x, GLint y);
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params);
void glLightfv(GLenum light, GLenum pname, const GLfloat* params);
void glLightf(GLenum light, GLenum pname, GLfloat param);
void glGetLightfv(GLenum light, GLenum pname, GLfloat* params);
void glGetDoublev(GLenum pname, GLdouble* params);
void glGetFloatv(GLenum pname, GLfloat* params);
void glPushAttrib(GLbitfield mask);
void glPopAttrib();
GLuint glGenLists(GLsizei range);
GLboolean glIsList(GLuint list);
void glNewList(GLuint list, GLenum mode);
void glEndList();
void glCallList(GLuint list);
void glFeedbackBuffer(GLsizei size, GLenum type, GLfloat* buffer);
GLint glRenderMode(GLenum mode);
void glPixelStorei(GLenum pname, GLint param);
void glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                  GLvoid* pixels);

// GLU
struct GLUquadric;
typedef struct GLUquadric GLUquadricObj;
GLUquadric* gluNewQuadric();
void gluCylinder(GLUquadric* q, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                 GLint stacks);
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz);

// GLUT
#define GLUT_RGB 0
#define GLUT_SINGLE 0
#define GLUT_DEPTH 16
#define GLUT_HIDDEN 0
#define GLUT_FULLY_RETAINED 1
#define GLUT_KEY_F1 1
#define GLUT_KEY_F2 2
#define GLUT_KEY_F3 3
#define GLUT_KEY_F4 4
#define GLUT_KEY_F5 5
#define GLUT_KEY_F6 6
#define GLUT_KEY_F7 7
#define GLUT_KEY_F8 8
#define GLUT_KEY_F9 9
#define GLUT_KEY_F10 10
#define GLUT_KEY_F11 11
#define GLUT_KEY_F12 12
#define GLUT_KEY_LEFT 100
#define GLUT_KEY_UP 101
#define GLUT_KEY_RIGHT 102
#define GLUT_KEY_DOWN 103
#define GLUT_KEY_SHIFT_L 0x0070
#define GLUT_KEY_SHIFT_R 0x0071
#define GLUT_KEY_CTRL_L 0x0072
#define GLUT_KEY_CTRL_R 0x0073
#define GLUT_KEY_ALT_L 0x0074
#define GLUT_KEY_ALT_R 0x0075
#define GLUT_WINDOW_WIDTH 102
#define GLUT_WINDOW_HEIGHT 103
#define GLUT_ACTION_ON_WINDOW_CLOSE 0x01F9
#define GLUT_ACTION_GLUTMAINLOOP_RETURNS 1
#define GLUT_BITMAP_HELVETICA_10 ((void*)6)
#define GLUT_BITMAP_HELVETICA_12 ((void*)7)
#define GLUT_BITMAP_HELVETICA_18 ((void*)8)

void glutInit(int* argc, char** argv);
void glutInitWindowSize(int w, int h);
void glutInitWindowPosition(int x, int y);
void glutInitDisplayMode(unsigned int mode);
int glutCreateWindow(const char* title);
int glutGetWindow();
int glutGet(GLenum what);
void glutDisplayFunc(void (*f)());
void glutReshapeFunc(void (*f)(int, int));
void glutKeyboardFunc(void (*f)(unsigned char, int, int));
void glutKeyboardUpFunc(void (*f)(unsigned char, int, int));
void glutSpecialFunc(void (*f)(int, int, int));
void glutSpecialUpFunc(void (*f)(int, int, int));
void glutWindowStatusFunc(void (*f)(int));
void glutIgnoreKeyRepeat(int ignore);
void glutTimerFunc(unsigned int ms, void (*f)(int), int value);
void glutPostRedisplay();
void glutSwapBuffers();
void glutLeaveMainLoop();
void glutFullScreenToggle();
void glutSolidCube(GLdouble size);
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks);
void glutSolidCone(GLdouble base, GLdouble height, GLint slices, GLint stacks);
void glutSolidTorus(GLdouble inner, GLdouble outer, GLint sides, GLint rings);
void glutSolidOctahedron();
void glutBitmapString(void* font, const unsigned char* text);
int glutBitmapLength(void* font, const unsigned char* text);

#endif

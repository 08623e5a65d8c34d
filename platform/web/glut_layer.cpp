// glut_layer.cpp -- the GLUT window of the web build: the page's canvas is
// the window, the page itself calls the frame and the key callbacks (see
// page.cpp and page.js), so the registrations here only keep the pointers,
// and the bitmap text of the help goes to a 2D canvas laid over the
// picture.

#include <cstring>

#include "layer.h"

static int rasterX, rasterY;              // window pixels, from the bottom
static float rasterColour[3] = {1, 1, 1};  // the colour current at glRasterPos

void glutInit(int*, char**) {}
void glutInitWindowSize(int, int) {}
void glutInitWindowPosition(int, int) {}
void glutInitDisplayMode(unsigned int) {}
int glutCreateWindow(const char*) { return 1; }
int glutGetWindow() { return 1; }
void glutDisplayFunc(void (*)()) {}
void glutReshapeFunc(void (*)(int, int)) {}
void glutKeyboardFunc(void (*)(unsigned char, int, int)) {}
void glutKeyboardUpFunc(void (*)(unsigned char, int, int)) {}
void glutSpecialFunc(void (*)(int, int, int)) {}
void glutSpecialUpFunc(void (*)(int, int, int)) {}
void glutWindowStatusFunc(void (*)(int)) {}
void glutIgnoreKeyRepeat(int) {}     // the page drops repeated key events
void glutTimerFunc(unsigned int, void (*)(int), int) {}  // the page paces frames
void glutPostRedisplay() {}
void glutSwapBuffers() { layerFlush(); }
void glutLeaveMainLoop() {}  // a page is left by closing it; Escape stays the browser's
void glutFullScreenToggle() { webglFullscreen(); }

int glutGet(GLenum what)
{
    GLdouble viewport[4];
    glGetDoublev(GL_VIEWPORT, viewport);
    return what == GLUT_WINDOW_WIDTH ? (int)viewport[2] : (int)viewport[3];
}

// The raster position: (x, y) through both matrices to window pixels.
void glRasterPos2i(GLint x, GLint y)
{
    GLdouble mv[16], pr[16], vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetDoublev(GL_VIEWPORT, vp);
    double eye[4], clip[4], v[4] = {(double)x, (double)y, 0, 1};
    for (int r = 0; r < 4; r++)
        eye[r] = mv[r] * v[0] + mv[4 + r] * v[1] + mv[8 + r] * v[2] + mv[12 + r] * v[3];
    for (int r = 0; r < 4; r++)
        clip[r] = pr[r] * eye[0] + pr[4 + r] * eye[1] + pr[8 + r] * eye[2] + pr[12 + r] * eye[3];
    if (clip[3] == 0)
        return;
    rasterX = (int)((clip[0] / clip[3] + 1) / 2 * vp[2] + vp[0]);
    rasterY = (int)((clip[1] / clip[3] + 1) / 2 * vp[3] + vp[1]);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    memcpy(rasterColour, colour, sizeof rasterColour);
}

// The pixel height of each of the game's fonts.
static int fontSize(void* font)
{
    if (font == GLUT_BITMAP_HELVETICA_18)
        return 18;
    return font == GLUT_BITMAP_HELVETICA_12 ? 12 : 10;
}

void glutBitmapString(void* font, const unsigned char* text)
{
    if (!layerRasterise)
        return;
    layerFlush();  // the backdrop under the text goes first
    GLdouble vp[4];
    glGetDoublev(GL_VIEWPORT, vp);
    webglText(rasterX, (int)vp[3] - rasterY, rasterColour[0], rasterColour[1], rasterColour[2],
              fontSize(font), (const char*)text);
}

int glutBitmapLength(void* font, const unsigned char* text)
{
    return webglTextWidth(fontSize(font), (const char*)text);
}

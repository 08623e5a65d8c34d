// icon.cpp -- draws the game's robot, with the game's own robot() and GL
// state, alone in a square window, for the icon: once on black and once on
// white, written as NAME-black.png and NAME-white.png. A pixel that is the
// same in both is the robot's; packaging/icons/make-icons.sh makes the rest
// transparent and scales the robot to the icon sizes. Not installed.
//
//   icon --out DIR [--size N]
//
// Exit status: 0 done, 1 the window or a picture failed, 2 bad command line.

#include <cstdlib>
#include <cstring>

#include "replay.h"
#include "game.h"

static std::string iconOut;    // folder for the two pictures
static int iconSize = 512;     // window side, pixels
static int iconStatus = 1;     // exit status, 0 once both pictures are written

// A light of the icon's own from above the viewer's right shoulder: the
// robot's spot light shines ahead of it, so in the game the robot itself
// is lit by the dim ambient light alone, too dark for an icon.
static void lightRobot()
{
    GLfloat direction[4] = {1.0f, 0.9f, 0.6f, 0};  // toward the light, w 0: far away
    GLfloat white[4] = {1, 1, 1, 1};
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
}

// The robot at rest, three quarters from its front and a little from above,
// filling most of the window. Writes typeCam (0: the body is drawn).
static void drawRobot(float clear)
{
    glClearColor(clear, clear, clear, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30, 1, 1, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(5.5, 1.6, 3.2, 0, -0.85, 0, 0, 1, 0);
    lightRobot();
    typeCam = CAM_SURVEILLANCE;
    robot(0, 0, 0);
    glFinish();
}

// The display callback: both pictures, then out of the main loop.
// Writes iconStatus.
static void iconFrame()
{
    drawRobot(0);
    int ok = writeFrontBufferPng(iconOut + "/icon-black.png");
    drawRobot(1);
    ok = ok && writeFrontBufferPng(iconOut + "/icon-white.png");
    iconStatus = ok ? 0 : 1;
    glutLeaveMainLoop();
}

// Reads the command line, opens the window and draws. See the top of the
// file for the exit status.
int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        long long n = 0;
        if (strcmp(argv[i], "--out") == 0)
            iconOut = argv[i + 1];
        else if (strcmp(argv[i], "--size") == 0 && (n = wholeNumber(argv[i + 1], 16, 1024)) >= 0)
            iconSize = (int)n;
        else
            iconOut.clear(), argc = 0;
    }
    if (iconOut.empty() || argc % 2 == 0 || !prepareOutFolder(iconOut)) {
        fputs("usage: icon --out DIR [--size N]\n", stderr);
        return 2;
    }
    int glutArgc = 1;
    char* glutArgv[] = {argv[0], nullptr};
    glutInit(&glutArgc, glutArgv);
    glutInitDisplayMode(GLUT_SINGLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(iconSize, iconSize);
    glutCreateWindow("Clankwise icon");
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    initRendering();
    glutDisplayFunc(iconFrame);
    glutMainLoop();
    closeWindow();
    return iconStatus;
}

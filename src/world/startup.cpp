// startup.cpp -- bringing the game up: the command list, the tables, the
// window with its fixed GL state, and the two callbacks that are not part of
// a frame (reshape and the 10 ms timer).

#include <cstdio>
#include <cstdlib>

#include "game.h"

// Prints the command list once, and flushes it so that a pipe or a log file
// sees it at start rather than at exit. Reads and writes no globals.
void printCommands()
{
    puts("Commande:\n"
         "1 //Camera surveillance\n"
         "2 //Test tps\n"
         "3 //FPS\n"
         "4 //cam livre\n"
         "5 //Mini map\n"
         "Z //avencer\n"
         "S //reculer\n"
         "Q //tourner vers la gauche\n"
         "D //tourner vers la droite\n"
         "V //Coup de poing\n"
         "espace //Tirer");
    fflush(stdout);
}

// Releases every key and frees every bullet slot.
// Writes keyStates, specialStates, bulletS[].etat.
void clearTables()
{
    releaseAllKeys();
    for (int i = 0; i < NB_BULLETS; i++)
        bulletS[i].etat = 0;
}

// Plants the trees of the layout and gives each crown its green. Exactly one
// forestRand() per tree, in tree order, so a fixed seed gives a fixed forest.
// Reads tab, nbsapin; writes sapinS[].X, Z, color.
void plantTrees()
{
    for (int i = 0; i < nbsapin; i++) {
        sapinS[i].Z = (float)tab[2 * i];
        sapinS[i].X = (float)tab[2 * i + 1];
        sapinS[i].color = (float)((double)(forestRand() % 70 + 10) / 100);
    }
}

// Opens the 500 by 500 window at (100, 100), sets the fixed GL state and
// registers the window's callbacks. The arguments go to GLUT unread; the
// size and place are given first, so that a -geometry among them, which
// glutInit reads, overrides them.
void openWindow(int* argc, char** argv)
{
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(100, 100);
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_SINGLE | GLUT_RGB | GLUT_DEPTH);
    glutCreateWindow("Clankwise");
    initRendering();

    glutDisplayFunc(display);
    glutKeyboardFunc(keyPressed);
    glutKeyboardUpFunc(keyUp);
    glutReshapeFunc(reshape);

    // The arrow and function keys, and a held key that must not flicker
    // with the keyboard's auto-repeat (this window only, not the server's).
    glutSpecialFunc(specialPressed);
    glutSpecialUpFunc(specialUp);
    glutWindowStatusFunc(windowStatus);
    glutIgnoreKeyRepeat(1);
}

// The GL state that never changes: one spot light (GL_LIGHT2, carried by the
// robot), depth test, and colour material so glColor3f sets the lit colour.
void initRendering()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT2);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glPointSize(2);
}

// Viewport and perspective for a new window size. Leaves the projection
// matrix selected; the frame selects the model-view matrix itself.
// Writes windowWidth, windowHeight.
void reshape(int w, int h)
{
    windowWidth = w;
    windowHeight = h;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A minimised window reports a zero size; an aspect of w/0 or 0/h would
    // put infinities into the projection, so each side counts as at least 1.
    double aspect = (double)(w > 0 ? w : 1) / (double)(h > 0 ? h : 1);
    gluPerspective(60, aspect, 1, 200);
}

// The game's clock: one frame asked for every 10 ms, until the window is
// closed (a timer may still fire after that, with no window to draw in).
// Reads windowGone.
void update(int value)
{
    (void)value;
    if (windowGone)
        return;
    glutPostRedisplay();
    glutTimerFunc(10, update, 0);
}

// startup.cpp -- bringing the game up: one start shared by every program
// (the game, the page, the tools, the tests, the benchmarks and the fuzz
// target), the command list, the tables, the window with its fixed GL state,
// and the two callbacks that are not part of a frame (reshape and the 10 ms
// timer).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game.h"

// Copies every piece of the world, end to end, into `to` (WORLD_BYTES).
void saveWorld(unsigned char* to)
{
    for (const WorldPiece& piece : WORLD) {
        memcpy(to, piece.at, piece.size);
        to += piece.size;
    }
}

// Puts back every piece of the world from a copy made by saveWorld.
void restoreWorld(const unsigned char* from)
{
    for (const WorldPiece& piece : WORLD) {
        memcpy(piece.at, from, piece.size);
        from += piece.size;
    }
}

// The world's start values, copied before main runs: every global is
// initialised with constants, and those come before any code runs.
static unsigned char worldAtStart[WORLD_BYTES];
static const int worldAtStartSaved = (saveWorld(worldAtStart), 1);

// Puts every global a run changes back to its start value, as a new process
// has them: the world from its start copy, the run's own state by hand.
// Writes the world, the key tables, paused, the window's globals, helpShown,
// hintFrames, capsLock, nbsapin, what the pad holds (not padPoll: the
// pad support is the program's, started after).
void resetWorld()
{
    (void)worldAtStartSaved;
    restoreWorld(worldAtStart);
    releaseAllKeys();
    std::fill(padKeys, padKeys + 256, 0);
    std::fill(padSpecials, padSpecials + 256, 0);
    padShoulders = 0;
    padCycleKey = 0;
    nbsapin = NB_TREES;
    paused = 0;
    windowGone = 0;
    windowWidth = 500;
    windowHeight = 500;
    windowHidden = 0;
    frameDrawn = 1;
    helpShown = 0;
    hintFrames = 0;
    capsLock = 0;
}

// Is the environment variable `name` set to "1"?
static int environmentSaysOne(const char* name)
{
    const char* value = getenv(name);
    return value != nullptr && strcmp(value, "1") == 0;
}

// The one start of every program that runs the game: the world as a new
// process has it, the options every program shares (the player's interface
// with its start hint; CLANKWISE_IMMEDIATE=1, which only adds to a tool's
// own --immediate; CLANKWISE_DESIGNED_PACING=1), the pace started afresh,
// the crowns' generator seeded, every key let go, every bullet slot freed,
// the trees planted and the sounds made, their output opened if the program
// asked for one (soundOutput) and the game is not muted. The window is the
// caller's: openWindow opens it.
// Writes the whole world and the options.
void startGame(unsigned seed, int player)
{
    resetWorld();
    playerInterface = player;
    hintFrames = player && startHint ? START_HINT_FRAMES : 0;
    if (environmentSaysOne("CLANKWISE_IMMEDIATE"))
        immediateDrawing = 1;
    designedPacing = environmentSaysOne("CLANKWISE_DESIGNED_PACING");
    resetPace();
    seedForest(seed);
    clearTables();
    plantTrees();
    startSound();
}

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
// registers the window's callbacks: the frame, through the pace (pace.cpp:
// the frames due, the pad read before each; with designedPacing, one frame
// per redisplay). The arguments go to GLUT unread; the
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

    glutDisplayFunc(pacedDisplay);
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

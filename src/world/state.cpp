// state.cpp -- the definitions of every global of the game with its start
// value (game.h says who writes each), and the fixed layout of the 211 fir
// trees. The controls table alone lives with the keys, in input/keys.cpp.

#include "game.h"

// Robot
float X0 = 1;
float Z0 = 1;
float y = 0;
float angle = 0;
float roue1 = 0;
float roue2 = 0;
int robotBumping = 0;

// The run
int paused = 0;
int windowGone = 0;
int windowWidth = 500;
int windowHeight = 500;
int windowHidden = 0;
int frameDrawn = 1;
int designedPacing = 0;
long framesDropped = 0;

// Sound
int soundOutput = SOUND_NONE;
int soundMuted = 0;

// Input
int keyStates[256];
int specialStates[256];
int padKeys[256];
int padSpecials[256];
int padShoulders = 0;
int padCycleKey = 0;
void (*padPoll)() = nullptr;
int HBGDplay[4];
int camlibre485679oklm[10];
int typeCam = 0;
int capsLock = 0;
int (*capsLockState)() = nullptr;

// Bullets
bu bulletS[NB_BULLETS];
int bull = 0;

// Cameras
float Xc = 0;
float Zc = 0;
float XCamLibre = 0;
float YCamLibre = 0;
float ZCamLibre = 0;
float angle1CamLibre = 0;
float angle2CamLibre = 0;

// Punches
int hit = 0;
int punch = 0;
float angleP1 = 0;
float angleP2 = 20;

// Drawing
int immediateDrawing = 0;
int treeStacks = 10;

// The player's interface
int playerInterface = 0;
int startHint = 1;
int helpShown = 0;
int hintFrames = 0;

// Trees: every record takes its defaults (Pv 5, destroy 10) before main.
sa sapinS[NB_TREES];
int nbsapin = NB_TREES;

// The quadrics need no GL context, so they exist before main runs.
GLUquadric* Cbras = gluNewQuadric();
GLUquadric* Croue = gluNewQuadric();
GLUquadric* Csapin2 = gluNewQuadric();

// Tree layout, one (Z, X) pair per tree. Read in order the pairs run in rows
// of rising X: the outer rows and the ends of every row ring the field, the
// rest are groves inside it.
double tab[2 * NB_TREES] = {
    -27, -27, -24, -25.5, -21, -26, -18, -26.5, -15, -27,
    -12, -25.5, -9, -26, -6, -26.5, -3, -27, 0, -25.5,
    3, -26, 6, -26.5, 9, -27, 12, -25.5, 15, -26,
    18, -26.5, 21, -27, 24, -25.5, 27, -26, -25.5, -24,
    -22.5, -22.5, -19.5, -23, -16.5, -23.5, -13.5, -24, -10.5, -22.5,
    -7.5, -23, -4.5, -23.5, -1.5, -24, 1.5, -22.5, 4.5, -23,
    7.5, -23.5, 10.5, -24, 13.5, -22.5, 16.5, -23, 19.5, -23.5,
    22.5, -24, 25.5, -22.5, 28.5, -23, -26, -21, -23, -19.5,
    -17, -20.5, -14, -21, -11, -19.5, -8, -20, 22, -21,
    25, -19.5, 28, -20, -26.5, -18, -23.5, -16.5, -14.5, -18,
    -11.5, -16.5, 24.5, -16.5, 27.5, -17, -27, -15, -24, -13.5,
    -3, -15, 6, -14.5, 9, -15, 18, -14.5, 21, -15,
    24, -13.5, 27, -14, -25.5, -12, -22.5, -10.5, -4.5, -11.5,
    -1.5, -12, 4.5, -11, 7.5, -11.5, 10.5, -12, 19.5, -11.5,
    22.5, -12, 25.5, -10.5, 28.5, -11, -26, -9, -23, -7.5,
    -14, -9, -11, -7.5, -8, -8, -5, -8.5, -2, -9,
    1, -7.5, 4, -8, 7, -8.5, 10, -9, 22, -9,
    25, -7.5, 28, -8, -26.5, -6, -23.5, -4.5, -14.5, -6,
    -11.5, -4.5, -8.5, -5, -5.5, -5.5, -2.5, -6, 0.5, -4.5,
    3.5, -5, 6.5, -5.5, 9.5, -6, 24.5, -4.5, 27.5, -5,
    -27, -3, -24, -1.5, -12, -1.5, -9, -2, -6, -2.5,
    24, -1.5, 27, -2, -25.5, 0, -22.5, 1.5, -19.5, 1,
    -7.5, 1, -4.5, 0.5, 25.5, 1.5, 28.5, 1, -26, 3,
    -23, 4.5, -20, 4, -17, 3.5, -14, 3, -11, 4.5,
    -8, 4, -5, 3.5, -2, 3, 1, 4.5, 4, 4,
    7, 3.5, 10, 3, 13, 4.5, 16, 4, 25, 4.5,
    28, 4, -26.5, 6, -23.5, 7.5, -20.5, 7, -17.5, 6.5,
    -14.5, 6, -11.5, 7.5, -8.5, 7, -5.5, 6.5, -2.5, 6,
    0.5, 7.5, 3.5, 7, 6.5, 6.5, 9.5, 6, 12.5, 7.5,
    15.5, 7, 24.5, 7.5, 27.5, 7, -27, 9, -24, 10.5,
    -21, 10, 12, 10.5, 15, 10, 24, 10.5, 27, 10,
    -25.5, 12, -22.5, 13.5, 25.5, 13.5, 28.5, 13, -26, 15,
    -23, 16.5, 25, 16.5, 28, 16, -26.5, 18, -23.5, 19.5,
    24.5, 19.5, 27.5, 19, -27, 21, -24, 22.5, -21, 22,
    21, 21, 24, 22.5, 27, 22, -25.5, 24, -22.5, 25.5,
    -19.5, 25, -16.5, 24.5, -13.5, 24, -10.5, 25.5, -7.5, 25,
    -4.5, 24.5, -1.5, 24, 1.5, 25.5, 4.5, 25, 7.5, 24.5,
    10.5, 24, 13.5, 25.5, 16.5, 25, 19.5, 24.5, 22.5, 24,
    25.5, 25.5, 28.5, 25, -26, 27, -23, 28.5, -20, 28,
    -17, 27.5, -14, 27, -11, 28.5, -8, 28, -5, 27.5,
    -2, 27, 1, 28.5, 4, 28, 7, 27.5, 10, 27,
    13, 28.5, 16, 28, 19, 27.5, 22, 27, 25, 28.5,
    28, 28,
};

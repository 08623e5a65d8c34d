// pause.cpp -- the pause (p). While paused the game keeps drawing, so the
// window still answers resizes and shows the help, but the world stands
// still: every paused frame runs on the world as it stood when the pause
// began, with no key held, and afterwards everything it moved is put back.
// So resuming goes on exactly where the game stopped, to the bit, and the
// frame itself needs no second, "still" version of every drawing step.

#include <algorithm>

#include "game.h"

// The world as it stood when the pause began.
static float savedX0, savedZ0, savedAngle, savedRoue1, savedRoue2;
static sa savedTrees[NB_TREES];
static bu savedBullets[NB_BULLETS];
static int savedBull, savedHit, savedPunch, savedTypeCam;
static float savedAngleP1, savedAngleP2, savedXc, savedZc;
static float savedFree[5];  // free camera: X, Y, Z, tilt, heading
static int savedFlags[4], savedFreeFlags[10];

// The keys held by the player while a paused frame runs without them.
static int liveKeys[256], liveSpecials[256];

// Copies one piece of the world into its saved copy (save) or back.
template <typename T>
static void keep(T& saved, T& live, int save)
{
    if (save)
        saved = live;
    else
        live = saved;
}

template <typename T, int N>
static void keep(T (&saved)[N], T (&live)[N], int save)
{
    if (save)
        std::copy(live, live + N, saved);
    else
        std::copy(saved, saved + N, live);
}

// Everything a frame can change, in one list: the robot, the trees, the
// bullets and the gun, the punch, the cameras and this frame's flags.
// Reads or writes (save: reads) all of those globals.
static void keepWorld(int save)
{
    keep(savedX0, X0, save);
    keep(savedZ0, Z0, save);
    keep(savedAngle, angle, save);
    keep(savedRoue1, roue1, save);
    keep(savedRoue2, roue2, save);
    keep(savedTrees, sapinS, save);
    keep(savedBullets, bulletS, save);
    keep(savedBull, bull, save);
    keep(savedHit, hit, save);
    keep(savedPunch, punch, save);
    keep(savedAngleP1, angleP1, save);
    keep(savedAngleP2, angleP2, save);
    keep(savedTypeCam, typeCam, save);
    keep(savedXc, Xc, save);
    keep(savedZc, Zc, save);
    keep(savedFree[0], XCamLibre, save);
    keep(savedFree[1], YCamLibre, save);
    keep(savedFree[2], ZCamLibre, save);
    keep(savedFree[3], angle1CamLibre, save);
    keep(savedFree[4], angle2CamLibre, save);
    keep(savedFlags, HBGDplay, save);
    keep(savedFreeFlags, camlibre485679oklm, save);
}

// p: pauses, keeping the world as it stands between two frames, or resumes
// from it. Writes paused and the saved world.
void togglePause()
{
    paused = !paused;
    if (paused)
        keepWorld(1);
}

// Start of a paused frame: the frame sees no key held. Writes keyStates and
// specialStates, keeping the player's own.
void beginPausedFrame()
{
    keep(liveKeys, keyStates, 1);
    keep(liveSpecials, specialStates, 1);
    std::fill(keyStates, keyStates + 256, 0);
    std::fill(specialStates, specialStates + 256, 0);
}

// End of a paused frame: the world goes back to where the pause began and
// the player's keys come back. Writes the world and the key tables.
void endPausedFrame()
{
    keepWorld(0);
    keep(liveKeys, keyStates, 0);
    keep(liveSpecials, specialStates, 0);
}

// pause.cpp -- the pause (p). While paused the game keeps drawing, so the
// window still answers resizes and shows the help, but the world stands
// still: every paused frame runs on the world as it stood when the pause
// began, with no key held, and afterwards everything it moved is put back.
// So resuming goes on exactly where the game stopped, to the bit, and the
// frame itself needs no second, "still" version of every drawing step. What
// is kept is game.h's WORLD, the one list of what a frame may change.

#include <algorithm>

#include "game.h"

// The world as it stood when the pause began.
static unsigned char savedWorld[WORLD_BYTES];

// The keys held by the player while a paused frame runs without them.
static int liveKeys[256], liveSpecials[256];

// p: pauses, keeping the world as it stands between two frames, or resumes
// from it. Writes paused and the saved world.
void togglePause()
{
    paused = !paused;
    if (paused)
        saveWorld(savedWorld);
}

// Start of a paused frame: the frame sees no key held. Writes keyStates and
// specialStates, keeping the player's own.
void beginPausedFrame()
{
    std::copy(keyStates, keyStates + 256, liveKeys);
    std::copy(specialStates, specialStates + 256, liveSpecials);
    std::fill(keyStates, keyStates + 256, 0);
    std::fill(specialStates, specialStates + 256, 0);
}

// End of a paused frame: the world goes back to where the pause began and
// the player's keys come back. Writes the world and the key tables.
void endPausedFrame()
{
    restoreWorld(savedWorld);
    std::copy(liveKeys, liveKeys + 256, keyStates);
    std::copy(liveSpecials, liveSpecials + 256, specialStates);
}

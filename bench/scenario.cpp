// scenario.cpp -- start-up, a full bullet pool and a world snapshot for the
// benchmarks. Nothing here runs inside a timed frame except the restores,
// which are plain copies.

#include "scenario.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "game.h"

// The game's start with the benchmarks' seed, before the window.
// Writes every table of the game.
void startWorld()
{
    startGame(BENCH_SEED, 0);
}

// True when (x, z) lies farther than `margin` from every tree that blocks.
static bool clearOfTrees(double x, double z, double margin)
{
    for (int i = 0; i < nbsapin; i++) {
        double d = sqrt(sqr((double)sapinS[i].X - x) + sqr((double)sapinS[i].Z - z));
        if (sapinS[i].destroy > 5 && !(d > margin))
            return false;
    }
    return true;
}

// Candidate points on a half-unit grid inside the chase camera's view of the
// robot at its start (1, 1) facing -X. A bullet one unit ahead must still
// clear the trees by more than its radius 1.5, hence the margin 2.6 at both
// the point and the point one unit further.
const int MAX_SPOTS = 1024;
static float spotX[MAX_SPOTS];
static float spotZ[MAX_SPOTS];

static int findSpots()
{
    int n = 0;
    for (int xi = 0; xi <= 44; xi++) {
        double x = -0.5 * xi;
        double halfWidth = 0.5 * (6 - x) * 0.55;
        for (int zi = -40; zi <= 40 && n < MAX_SPOTS; zi++) {
            double z = 1 + 0.5 * zi;
            if (fabs(z - 1) <= halfWidth && clearOfTrees(x, z, 2.6) &&
                clearOfTrees(x - 1, z, 2.6)) {
                spotX[n] = (float)x;
                spotZ[n] = (float)z;
                n++;
            }
        }
    }
    return n;
}

// Spreads the bullets evenly over the candidate points, nearest first.
// Aborts when there are fewer points than bullets: the scene would not be
// the one the figures describe.
void fillBullets(int first, int last)
{
    int spots = findSpots();
    int count = last - first + 1;
    if (spots < count)
        abort();
    for (int k = 0; k < count; k++) {
        bu& b = bulletS[first + k];
        int s = (int)((long)k * spots / count);
        b.etat = 1;
        b.dir = 0;
        b.X = spotX[s];
        b.Z = spotZ[s];
    }
}

// The snapshot: the world a frame may change, and the held keys.
static unsigned char savedWorld[WORLD_BYTES];
static int savedKeys[256], savedSpecials[256];

void saveBenchWorld()
{
    saveWorld(savedWorld);
    memcpy(savedKeys, keyStates, sizeof keyStates);
    memcpy(savedSpecials, specialStates, sizeof specialStates);
}

void restoreBenchWorld()
{
    restoreWorld(savedWorld);
    memcpy(keyStates, savedKeys, sizeof keyStates);
    memcpy(specialStates, savedSpecials, sizeof specialStates);
}

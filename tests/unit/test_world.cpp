// test_world.cpp -- the reset of the game's globals used by every unit test.

#include "test_world.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "game.h"
#include "gl_record.h"

// The layout as compiled, taken before any test can write to it.
static double tabAtStart[2 * NB_TREES];
static const bool tabSaved = (std::memcpy(tabAtStart, tab, sizeof tab), true);

void resetTestWorld()
{
    (void)tabSaved;
    resetWorld();
    std::memcpy(tab, tabAtStart, sizeof tab);
    playerInterface = 0;
    soundMuted = 0;
    // The tests check the designed call stream, so they draw as designed
    // (as CLANKWISE_IMMEDIATE=1 asks), with no display list left over.
    immediateDrawing = 1;
    forgetCachedLists();
    glRecordForgetLists();
    glRecordReset();
}

void startWorld(unsigned seed)
{
    resetTestWorld();
    startGame(seed, 0);
    glRecordReset();
}

void onlyTrees(std::initializer_list<std::pair<float, float>> trees)
{
    int n = 0;
    for (const auto& t : trees) {
        sapinS[n] = sa{};
        sapinS[n].X = t.first;
        sapinS[n].Z = t.second;
        sapinS[n].color = 0.5f;
        n++;
    }
    nbsapin = n;
}

std::vector<double> frameLookAt()
{
    glRecordReset();
    display();
    std::vector<GlCall> looks = callsNamed("gluLookAt");
    EXPECT_EQ(looks.size(), 1u);
    return looks.empty() ? std::vector<double>(9, NAN) : looks.back().args;
}

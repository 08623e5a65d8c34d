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

void resetWorld()
{
    (void)tabSaved;
    // The tests check the designed call stream, so they draw as designed
    // (as CLANKWISE_IMMEDIATE=1 asks), with no display list left over.
    immediateDrawing = 1;
    forgetCachedLists();
    glRecordForgetLists();
    X0 = 1;
    Z0 = 1;
    y = 0;
    angle = 0;
    roue1 = 0;
    roue2 = 0;

    std::memset(keyStates, 0, sizeof keyStates);
    std::memset(specialStates, 0, sizeof specialStates);
    std::memset(HBGDplay, 0, sizeof HBGDplay);
    std::memset(camlibre485679oklm, 0, sizeof camlibre485679oklm);
    typeCam = 0;

    for (bu& b : bulletS)
        b = bu{0, 0, 0, 0};
    bull = 0;

    Xc = 0;
    Zc = 0;
    XCamLibre = 0;
    YCamLibre = 0;
    ZCamLibre = 0;
    angle1CamLibre = 0;
    angle2CamLibre = 0;

    hit = 0;
    punch = 0;
    angleP1 = 0;
    angleP2 = 20;

    for (sa& t : sapinS)
        t = sa{};
    nbsapin = NB_TREES;
    std::memcpy(tab, tabAtStart, sizeof tab);
    paused = 0;
    windowGone = 0;
    windowWidth = 500;
    windowHeight = 500;
    playerInterface = 0;
    helpShown = 0;
    hintFrames = 0;
    capsLock = 0;

    glRecordReset();
}

void startWorld(unsigned seed)
{
    resetWorld();
    seedForest(seed);
    clearTables();
    plantTrees();
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

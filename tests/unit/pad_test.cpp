// pad_test.cpp -- a pad's state as held keys (input/pad.cpp): the dead zone,
// the d-pad and stick, the free camera's own keys, the shoulders' cycle, and
// a pad gone letting go of all it held. The platforms' readers are tested
// in tests/pad (SDL) and tests/web (the Gamepad API).

#include <cmath>

#include "game.h"
#include "test_world.h"

using PadTest = WorldTest;

static int heldCount()
{
    int n = 0;
    for (int i = 0; i < 256; i++)
        n += keyStates[i] + specialStates[i];
    return n;
}

static PadState stick(double x, double y)
{
    PadState pad = {};
    pad.connected = 1;
    pad.axis[PAD_LEFT_X] = x;
    pad.axis[PAD_LEFT_Y] = y;
    return pad;
}

TEST_F(PadTest, TheLeftStickHoldsTheArrowsPastTheDeadZoneDiagonalsTwo)
{
    struct Case { double x, y; int up, down, left, right; } cases[] = {
        {0, 0, 0, 0, 0, 0},          {0.29, -0.29, 0, 0, 0, 0}, {0, -0.31, 1, 0, 0, 0},
        {0, 1, 0, 1, 0, 0},          {-0.5, 0, 0, 0, 1, 0},     {0.9, -0.9, 1, 0, 0, 1},
        {-1, 1, 0, 1, 1, 0},         {NAN, 1, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        padFrame(stick(c.x, c.y));
        int want[4] = {c.up, c.down, c.left, c.right};
        int keys[4] = {GLUT_KEY_UP, GLUT_KEY_DOWN, GLUT_KEY_LEFT, GLUT_KEY_RIGHT};
        for (int k = 0; k < 4; k++)
            EXPECT_EQ(specialStates[keys[k]], want[k]) << c.x << ", " << c.y << ": key " << k;
        EXPECT_EQ(heldCount(), c.up + c.down + c.left + c.right);
    }
}

TEST_F(PadTest, EachButtonHoldsItsKeyAndAGonePadLetsGoOfAll)
{
    struct Case { int button; int key; int special; } cases[] = {
        {PAD_A, ' ', 0},  {PAD_B, 'v', 0},  {PAD_X, 0, GLUT_KEY_F2},
        {PAD_Y, 0, GLUT_KEY_F5}, {PAD_LEFT_STICK, 0, GLUT_KEY_F3},
        {PAD_RIGHT_STICK, 0, GLUT_KEY_F4}, {PAD_UP, 0, GLUT_KEY_UP},
        {PAD_LEFT, 0, GLUT_KEY_LEFT},
    };
    PadState all = stick(0, 0);
    for (const Case& c : cases) {
        PadState pad = stick(0, 0);
        pad.button[c.button] = all.button[c.button] = 1;
        padFrame(pad);
        EXPECT_EQ(c.key ? keyStates[c.key] : specialStates[c.special], 1) << "button " << c.button;
        EXPECT_EQ(heldCount(), 1) << "button " << c.button;
        padFrame(stick(0, 0));
        EXPECT_EQ(heldCount(), 0) << "button " << c.button;
    }
    padFrame(all);
    EXPECT_EQ(heldCount(), 8);
    padFrame(PadState{});
    EXPECT_EQ(heldCount(), 0);
}

TEST_F(PadTest, StartPausesAndBackShowsTheHelpOncePerPress)
{
    PadState pad = stick(0, 0);
    pad.button[PAD_START] = pad.button[PAD_BACK] = 1;
    for (int frame = 0; frame < 3; frame++)
        padFrame(pad);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(helpShown, 1);
    padFrame(stick(0, 0));
    padFrame(pad);
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(helpShown, 0);
}

TEST_F(PadTest, TheShouldersCycleTheCamerasBothWays)
{
    const int forward[] = {CAM_CHASE, CAM_FIRST_PERSON, CAM_FREE, CAM_MAP, CAM_SURVEILLANCE};
    for (int step : {1, -1}) {
        for (int i = 0; i < 5; i++) {
            PadState pad = stick(0, 0);
            pad.button[step > 0 ? PAD_RIGHT_SHOULDER : PAD_LEFT_SHOULDER] = 1;
            padFrame(pad);
            keyboard();
            keyboard();  // held for a second frame: no second step
            padFrame(stick(0, 0));
            keyboard();
            EXPECT_EQ(typeCam, step > 0 ? forward[i] : forward[(8 - i) % 5]) << step << ", " << i;
        }
    }
}

TEST_F(PadTest, InTheFreeCameraTheSticksAndTriggersFlyIt)
{
    typeCam = CAM_FREE;
    PadState pad = stick(0.8, -0.8);
    pad.axis[PAD_RIGHT_X] = -0.8;
    pad.axis[PAD_RIGHT_Y] = 0.8;
    pad.axis[PAD_RIGHT_TRIGGER] = 0.6;
    pad.axis[PAD_LEFT_TRIGGER] = 0.4;
    padFrame(pad);
    keyboard();
    // 4 8 5 6 7 9 o k l m
    const int want[10] = {0, 1, 0, 1, 1, 0, 0, 0, 1, 1};
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(camlibre485679oklm[i], want[i]) << i;
    EXPECT_EQ(HBGDplay[FLAG_FORWARD] + HBGDplay[FLAG_RIGHT], 0);
}

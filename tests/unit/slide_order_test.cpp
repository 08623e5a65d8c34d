// slide_order_test.cpp -- within one movement step the trees are tested in
// table order, each against the mover's position as the trees before it
// left it: a tree that pushes the mover back changes what the next tree
// sees.

#include <cmath>

#include "game.h"
#include "test_world.h"

using SlideOrderTest = WorldTest;

// The robot at (1, 1) heading pi/4 steps forward to (endX, endZ). Tree A,
// 2.45 ahead of the step's end on X, is touched by the X move alone and sends
// X back to 1. Tree B, 2.45 behind the start on X, is out of reach of the
// full step but within reach of (1, endZ), where A leaves the robot; its Z
// test then sends Z back too.
TEST_F(SlideOrderTest, ALaterTreeSeesThePositionAnEarlierTreePushedBack)
{
    const float a = (float)(PI / 4);
    const float endX = (float)(1 - std::cos((double)a) / 4);
    const float endZ = (float)(1 - std::sin((double)a) / 4);
    const std::pair<float, float> treeA{endX - 2.45f, 1};
    const std::pair<float, float> treeB{1 + 2.45f, endZ};

    // A first: B is tested at (1, endZ) and blocks the Z move as well.
    onlyTrees({treeA, treeB});
    angle = a;
    int flags[4] = {0, 1, 0, 0};
    moveEn(&X0, &Z0, &roue1, &roue2, &angle, flags, flags, MOVE_ROBOT);
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, 1.0f);

    // B first: it is tested at the full step's end, out of its reach; then
    // A sends X back and Z keeps its move.
    startWorld(1);
    onlyTrees({treeB, treeA});
    angle = a;
    moveEn(&X0, &Z0, &roue1, &roue2, &angle, flags, flags, MOVE_ROBOT);
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, endZ);

    // The same across: C, touched by the Z move alone, sends Z back to 1;
    // D is then in reach of (endX, 1) and sends X back too.
    startWorld(1);
    onlyTrees({{1, endZ - 2.45f}, {endX, 1 + 2.45f}});
    angle = a;
    moveEn(&X0, &Z0, &roue1, &roue2, &angle, flags, flags, MOVE_ROBOT);
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, 1.0f);
}

// The same holds for the probes, which slide like the robot but neither
// sink nor draw: a chase probe (radius 2, a quarter unit backwards).
TEST_F(SlideOrderTest, AProbeSlidesTreeAfterTreeToo)
{
    const double a = PI / 4;
    float x = 1, z = 1, wheel = 0, heading = (float)a;
    const float endX = (float)(1 + std::cos((double)heading) / 4);
    const float endZ = (float)(1 + std::sin((double)heading) / 4);

    // A, 1.95 beyond the end on X, touched by the X move alone; B, 1.95
    // before the start on X, in reach only once X is back at 1.
    onlyTrees({{endX + 1.95f, 1}, {1 - 1.95f, endZ}});
    int flags[4] = {0, 1, 0, 0};
    moveEn(&x, &z, &wheel, &wheel, &heading, flags, flags, MOVE_CHASE_PROBE);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(z, 1.0f);
}

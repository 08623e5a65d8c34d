// frame_test.cpp -- the order of one frame's steps as seen through the GL
// calls it makes, the wheel range kept by the frame, and what a frame with
// no key held leaves alone.

#include <GL/glut.h>

#include <cmath>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using FrameTest = WorldTest;

// Index of the first call named `name` at or after `from`, or -1.
static long nextCall(const std::string& name, long from)
{
    for (size_t i = (size_t)from; i < glCalls.size(); i++)
        if (glCalls[i].name == name)
            return (long)i;
    return -1;
}

// Index of the last call named `name` before `before`, or -1.
static long lastCallBefore(const std::string& name, long before)
{
    for (long i = before - 1; i >= 0; i--)
        if (glCalls[(size_t)i].name == name)
            return i;
    return -1;
}

TEST_F(FrameTest, StepsComeInTheirOrder)
{
    bulletS[0] = bu{1, 0, 5, 5};  // one bullet in flight
    display();

    ASSERT_FALSE(glCalls.empty());
    EXPECT_EQ(glCalls.front().name, "glClear");
    EXPECT_EQ(glCalls.front().args[0], (double)(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    EXPECT_EQ(glCalls.back().name, "glFlush");
    EXPECT_EQ(glCalls[glCalls.size() - 2].name, "glutSwapBuffers");
    EXPECT_EQ(countCalls("glutSwapBuffers"), 1u);
    EXPECT_EQ(countCalls("glFlush"), 1u);

    // Every standing tree is drawn, and all of them before the one camera.
    ASSERT_EQ(countCalls("gluLookAt"), 1u);
    long lookAt = indexOfCall("gluLookAt");
    EXPECT_EQ(countCalls("glutSolidCone"), 4u * 211u);
    EXPECT_LT(indexOfCall("glutSolidCone", 4 * 211 - 1), lookAt);
    EXPECT_EQ(callsNamed("gluCylinder")[210].args[0], quadricId(Csapin2));
    EXPECT_LT(indexOfCall("gluCylinder", 210), lookAt);

    // The camera starts from a fresh model-view matrix.
    long reset = lastCallBefore("glLoadIdentity", lookAt);
    ASSERT_GE(reset, 0);
    EXPECT_EQ(glCalls[(size_t)lastCallBefore("glMatrixMode", reset)].args[0], GL_MODELVIEW);
    EXPECT_GT(reset, indexOfCall("gluCylinder", 210));

    // Ground, then the bullet, then the robot (its translation to (X0, y,
    // Z0) and turn, then its light), then the swap.
    long ground = nextCall("glBegin", lookAt);
    long lastQuad = indexOfCall("glBegin", 2915);
    long bullet = indexOfCall("glutSolidSphere");
    ASSERT_GT(ground, lookAt);
    EXPECT_GT(bullet, lastQuad);
    EXPECT_EQ(glCalls[(size_t)bullet - 3].args, (std::vector<double>{5, 0, 5}));
    long robot = nextCall("glTranslatef", bullet);
    ASSERT_GT(robot, bullet);
    EXPECT_EQ(glCalls[(size_t)robot].args, (std::vector<double>{1, 0, 1}));
    EXPECT_EQ(glCalls[(size_t)robot + 1].name, "glRotatef");
    EXPECT_EQ(glCalls[(size_t)robot + 1].args, (std::vector<double>{180, 0, -1, 0}));
    EXPECT_GT(indexOfCall("glLightfv"), robot);
    EXPECT_LT(indexOfCall("glLightfv"), (long)glCalls.size() - 2);
}

TEST_F(FrameTest, AfterAReshapeTheTreesGoIntoTheModelViewKeepingLastFramesView)
{
    reshape(300, 200);
    glRecordReset();
    display();
    long firstTree = indexOfCall("glutSolidCone");
    ASSERT_GE(firstTree, 0);
    long mode = lastCallBefore("glMatrixMode", firstTree);
    ASSERT_GE(mode, 0);
    EXPECT_EQ(glCalls[(size_t)mode].args[0], GL_MODELVIEW);
    // Selected, not reset: the trees keep last frame's camera.
    EXPECT_EQ(lastCallBefore("glLoadIdentity", firstTree), -1);
}

TEST_F(FrameTest, WheelsAreKeptInRangeBeforeTheRobotMoves)
{
    const float cases[][2] = {{365, 0}, {-5, 360}, {0, 0}, {360, 360},
                              {360.00003f, 0}, {-0.00001f, 360}, {180, 180}};
    for (float* wheel : {&roue1, &roue2}) {
        float* other = wheel == &roue1 ? &roue2 : &roue1;
        for (const auto& c : cases) {
            *wheel = c[0];
            *other = 100;
            display();
            EXPECT_EQ(*wheel, c[1]) << "from " << c[0];
            EXPECT_EQ(*other, 100.0f);
        }
    }
    // A wheel driven below 0 this frame is only brought back next frame.
    roue1 = 5;
    keyPressed('z', 0, 0);
    display();
    EXPECT_EQ(roue1, -5.0f);
    display();
    EXPECT_EQ(roue1, 350.0f);  // 360, then the forward step's -10
}

// The robot's own placement: its translation to (x, 0, z) and the turn that
// follows it, or an empty call if the frame drew no robot there.
static GlCall robotTurn(float x, float z)
{
    for (size_t i = 0; i + 1 < glCalls.size(); i++)
        if (glCalls[i].name == "glTranslatef" &&
            glCalls[i].args == std::vector<double>{x, 0, z} &&
            glCalls[i + 1].name == "glRotatef")
            return glCalls[i + 1];
    return GlCall{};
}

TEST_F(FrameTest, HeldZMovesTheRobotAQuarterUnitTowardItsDrawnFront)
{
    for (float a : {0.0f, 1.0f, -2.5f}) {
        startWorld(1);
        X0 = 0;
        Z0 = 10;  // open ground
        angle = a;
        keyPressed('z', 0, 0);
        display();
        EXPECT_EQ(X0, (float)(0 - std::cos(-(double)a) / 4)) << "heading " << a;
        EXPECT_EQ(Z0, (float)(10 + std::sin(-(double)a) / 4)) << "heading " << a;
        // Turned by a in degrees + 180 about -Y, the model's +X front points
        // along (-cos a, -sin a): the way the robot just moved.
        GlCall turn = robotTurn(X0, Z0);
        EXPECT_EQ(turn.args, (std::vector<double>{
                                 (float)((double)a * 57.29577951308232 + 180), 0, -1, 0}));
    }
}

TEST_F(FrameTest, AFrameWithNoKeyChangesNothingButTheCooldown)
{
    bull = 4;
    const sa before = sapinS[100];
    display();
    display();
    EXPECT_EQ(bull, 2);
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, 1.0f);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(roue1, 0.0f);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(sapinS[100].destroy, before.destroy);
    EXPECT_EQ(sapinS[100].Pv, before.Pv);
}

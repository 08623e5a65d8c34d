// probe_camera_test.cpp -- the chase and first-person cameras when a tree
// stops their probe on its very first step, so that the probe is still on
// the robot. The robot gets closer to a tree than its own radius after a
// diagonal approach; then the eye may not be left on the target (first
// person) or straight above it (chase), where the view has no orientation.

#include <cmath>
#include <vector>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using Args = std::vector<double>;

// True when the view direction is neither zero nor along the up vector.
static bool hasOrientation(const Args& a)
{
    double f[3] = {a[3] - a[0], a[4] - a[1], a[5] - a[2]};
    double side[3] = {f[1] * a[8] - f[2] * a[7], f[2] * a[6] - f[0] * a[8],
                      f[0] * a[7] - f[1] * a[6]};
    return side[0] != 0 || side[1] != 0 || side[2] != 0;
}

class ProbeCameraTest : public WorldTest {};

TEST_F(ProbeCameraTest, FirstPersonProbeStoppedAtOnceLooksAlongTheHeading)
{
    // Heading 0, front toward -X. The tree 2.4 behind the robot would be
    // 1.4 from the probe's step: the step is taken back whole.
    onlyTrees({{4.4f, 1}});
    typeCam = CAM_FIRST_PERSON;
    X0 = 2;
    Z0 = 1;
    Args a = frameLookAt();
    EXPECT_EQ(Xc, X0);
    EXPECT_EQ(Zc, Z0);
    EXPECT_EQ(a, (Args{2, 0, 1, 1, 0, 1, 0, 1, 0}));

    // With room behind, the designed view comes back: one unit behind,
    // looking at the robot.
    X0 = 1.5f;
    EXPECT_EQ(frameLookAt(), (Args{2.5, 0, 1, 1.5, 0, 1, 0, 1, 0}));
}

TEST_F(ProbeCameraTest, FirstPersonAfterAWrapFacingAwayFromATree)
{
    // The place a fuzzed key sequence found: just wrapped to the float
    // nearest -pi, the probe moves along -X, where the tree stops it, and
    // its Z move of sin(-pi) is too small to change the float Z.
    onlyTrees({{-5, 3.5f}});
    typeCam = CAM_FIRST_PERSON;
    X0 = -2.6022265f;
    Z0 = 3.00551248f;
    angle = -PI_F;
    Args a = frameLookAt();
    EXPECT_EQ(Xc, X0);
    EXPECT_EQ(Zc, Z0);
    EXPECT_TRUE(hasOrientation(a));
    EXPECT_EQ(a[0], (double)X0);
    EXPECT_EQ(a[2], (double)Z0);
    EXPECT_DOUBLE_EQ(a[3], (double)X0 - std::cos((double)-PI_F));
    EXPECT_DOUBLE_EQ(a[5], (double)Z0 - std::sin((double)-PI_F));
}

TEST_F(ProbeCameraTest, ChaseProbeStoppedAtOnceLooksDownAheadOfTheRobot)
{
    // 2.2 behind the robot, the tree stops every quarter step of the chase
    // probe (radius 2): the eye stays 2 above the robot's own point.
    onlyTrees({{4.2f, 1}});
    typeCam = CAM_CHASE;
    X0 = 2;
    Z0 = 1;
    Args a = frameLookAt();
    EXPECT_EQ(Xc, X0);
    EXPECT_EQ(Zc, Z0);
    EXPECT_EQ(a, (Args{2, 2, 1, 1, 0, 1, 0, 1, 0}));

    // A probe that got anywhere keeps looking at the robot.
    X0 = 1.5f;
    a = frameLookAt();
    EXPECT_GT(a[0], 1.5);
    EXPECT_EQ(a[3], 1.5);
    EXPECT_EQ(a[5], 1.0);
}

TEST_F(ProbeCameraTest, KeysThatBackTheRobotIntoATreeKeepAFirstPersonView)
{
    // Real key events and whole frames from the start: turn, drive, back
    // diagonally into the tree at (-5, 3.5), turn away from it. Among these
    // frames is one whose probe a tree stops at once.
    struct Hold {
        unsigned char key;
        int frames;
    };
    const Hold script[] = {{'q', 21}, {'z', 87}, {'q', 8}, {'s', 57},
                           {'q', 16}, {'s', 59}, {'d', 29}, {'z', 42}};
    keyPressed('"', 0, 0);
    int frame = 0, stoppedAtOnce = 0;
    for (const Hold& h : script) {
        keyPressed(h.key, 0, 0);
        for (int f = 0; f < h.frames; f++, frame++) {
            Args a = frameLookAt();
            ASSERT_EQ(typeCam, CAM_FIRST_PERSON);
            ASSERT_TRUE(hasOrientation(a)) << "frame " << frame;
            if (Xc == X0 && Zc == Z0)
                stoppedAtOnce++;
        }
        keyUp(h.key, 0, 0);
    }
    EXPECT_GT(stoppedAtOnce, 0);
}

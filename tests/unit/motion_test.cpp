// motion_test.cpp -- the shared movement step: heading wrap at pi in double
// precision, wheel turns, the step of each kind of mover, sliding along
// trees, and the damage and sinking of trees.

#include <cmath>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using MotionTest = WorldTest;

// One robot step with the given flags {back, forward, left, right}.
static void robotStep(std::vector<int> f)
{
    int flags[4] = {f[0], f[1], f[2], f[3]};
    moveEn(&X0, &Z0, &roue1, &roue2, &angle, flags, flags, MOVE_ROBOT);
}

// The heading after one robot step with only the turn flags, no trees.
static float turned(float from, int left, int right)
{
    nbsapin = 0;
    angle = from;
    robotStep({0, 0, left, right});
    return angle;
}

TEST_F(MotionTest, HeadingWrapsToTheFarEndDroppingTheOvershoot)
{
    EXPECT_EQ(turned(-3.1f, 1, 0), 3.1415927410125732f);
    EXPECT_EQ(turned(3.1f, 0, 1), -3.1415927410125732f);
    // Only past pi: 3.0 + 0.1 stays, as does the float just below pi.
    EXPECT_EQ(turned(3.0f, 0, 1), (float)(3.0f + 0.1));
    EXPECT_EQ(turned(3.041592597961426f, 0, 1), 3.141592502593994f);

    angle = 0;
    for (int call = 1; call <= 32; call++) {
        turned(angle, 0, 1);
        if (call == 31) {
            EXPECT_EQ(angle, 3.099999189376831f);
        }
    }
    EXPECT_EQ(angle, -3.1415927410125732f);

    // From the float pi, a left turn and then a right turn land exactly on
    // the float pi again, which lies above pi in double: it wraps.
    EXPECT_EQ(turned(3.1415927410125732f, 1, 0), 3.041592836380005f);
    EXPECT_EQ(turned(3.041592836380005f, 0, 1), -3.1415927410125732f);
    EXPECT_EQ(turned(-3.1415927410125732f, 0, 1), -3.041592836380005f);
    EXPECT_EQ(turned(-3.041592836380005f, 1, 0), 3.1415927410125732f);
}

TEST_F(MotionTest, BothTurnFlagsTogether)
{
    EXPECT_EQ(turned(0, 1, 1), -1.4901161e-09f);
    // Each turn is formed in double with the double 0.1: a float 0.1 would
    // give exactly 0 here.
    EXPECT_EQ(turned(0.1f, 1, 0), 1.4901161e-09f);
    EXPECT_EQ(turned(-0.1f, 0, 1), -1.4901161e-09f);
    EXPECT_EQ(turned(-3.1f, 1, 1), -3.1415927410125732f);  // both wraps fire
    roue1 = 40;
    roue2 = 70;
    turned(0, 1, 1);
    EXPECT_EQ(roue1, 40.0f);
    EXPECT_EQ(roue2, 70.0f);
}

TEST_F(MotionTest, WheelsAndStepOfEachKind)
{
    nbsapin = 0;
    // flags, kind, wheel 1 change, wheel 2 change, X change (heading 0).
    const struct { int f[4]; int kind; float d1, d2, dx; } cases[] = {
        {{0, 0, 1, 0}, 0, 5, -5, 0},   {{0, 0, 0, 1}, 0, -5, 5, 0},
        {{1, 0, 0, 0}, 0, 10, 10, 0.25f}, {{0, 1, 0, 0}, 0, -10, -10, -0.25f},
        {{0, 1, 0, 0}, 1, 0, 0, -1},   {{0, 1, 0, 0}, 2, -10, -10, 0.25f},
        {{0, 1, 0, 0}, 3, -10, -10, 1}, {{1, 0, 0, 0}, 3, 10, 10, -1},
        {{1, 1, 0, 0}, 0, 0, 0, 0},    {{0, 1, 0, 0}, 7, -10, -10, -1},
    };
    for (const auto& c : cases) {
        float x = 4, z = 4, r1 = 100, r2 = 200, a = 0;
        int flags[4] = {c.f[0], c.f[1], c.f[2], c.f[3]};
        int alive = 1;
        moveEn(&x, &z, &r1, &r2, &a, flags, &alive, c.kind);
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " flags " << c.f[0]
                                        << c.f[1] << c.f[2] << c.f[3]);
        EXPECT_EQ(r1, 100 + c.d1);
        EXPECT_EQ(r2, 200 + c.d2);
        if (c.f[2] == 0 && c.f[3] == 0) {
            EXPECT_EQ(x, 4 + c.dx);
            EXPECT_EQ(z, 4.0f);
        }
        EXPECT_EQ(alive, 1);
    }
}

// Starts over with one tree at (tx, tz) at sink level d, and takes one
// forward robot step from (1, 1) with heading a.
static void forwardPast(float tx, float tz, float a = 0, float d = 10)
{
    startWorld(1);
    onlyTrees({{tx, tz}});
    sapinS[0].destroy = d;
    angle = a;
    robotStep({0, 1, 0, 0});
}

static double distTo(float tx, float tz, float x, float z)
{
    return std::sqrt(sqr((double)tx - x) + sqr((double)tz - z));
}

TEST_F(MotionTest, StraightApproachStopsStrictlyInsideTheRadius)
{
    forwardPast(-1.75f, 1);  // the step ends exactly 2.5 away
    EXPECT_EQ(X0, 0.75f);
    forwardPast(-1.74f, 1);  // it would end 2.49 away: undone
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, 1.0f);
}

TEST_F(MotionTest, OnTheDiagonalOnlyAnAxisThatTouchesAloneIsUndone)
{
    const float a = (float)(PI / 4);
    const float endX = (float)(1 - std::cos(a) / 4), endZ = (float)(1 - std::sin(a) / 4);

    // 2.49 ahead on the line of the step: neither axis alone comes within
    // 2.5, so nothing is undone and the robot ends inside the radius.
    float tx = (float)(endX - 2.49 * std::cos(a)), tz = (float)(endZ - 2.49 * std::sin(a));
    ASSERT_GE(distTo(tx, tz, endX, 1), 2.5);
    ASSERT_GE(distTo(tx, tz, 1, endZ), 2.5);
    forwardPast(tx, tz, a);
    EXPECT_EQ(X0, endX);
    EXPECT_EQ(Z0, endZ);
    EXPECT_LT(distTo(tx, tz, X0, Z0), 2.5);

    forwardPast(endX - 2.45f, 1, a);  // touched by the X move alone: slides
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, endZ);
    forwardPast(1, endZ - 2.45f, a);  // touched by the Z move alone
    EXPECT_EQ(X0, endX);
    EXPECT_EQ(Z0, 1.0f);
}

TEST_F(MotionTest, ATreeSunkToExactlyFiveBlocksNothing)
{
    forwardPast(-1.74f, 1, 0, 5.1f);  // lowered in this very step to exactly 5
    EXPECT_EQ(sapinS[0].destroy, 5.0f);
    EXPECT_EQ(X0, 0.75f);
    forwardPast(-1.74f, 1, 0, 5.2f);  // still above 5 after the step: blocks
    EXPECT_EQ(X0, 1.0f);

    // Probes do not lower trees: 5 exactly lets them through, the next
    // float above does not.
    for (float d : {5.0f, 5.0000005f}) {
        onlyTrees({{-1.0f, 1}});
        sapinS[0].destroy = d;
        float x = 1, z = 1, wheel = 0, h = 0;
        int flags[4] = {1, 0, 0, 0};
        moveEn(&x, &z, &wheel, &wheel, &h, flags, flags, MOVE_STEP_PROBE);
        EXPECT_EQ(x, d == 5.0f ? 0.0f : 1.0f) << "destroy " << d;
    }
}

// One bullet step toward -X ending at (x, z); returns whether it survived.
static bool bulletEndsAt(float x, float z)
{
    bu b{1, 0, x + 1, z};
    int flags[4] = {0, 1, 0, 0};
    moveEn(&b.X, &b.Z, &b.Z, &b.Z, &b.dir, flags, &b.etat, MOVE_BULLET);
    EXPECT_EQ(b.X, x);
    EXPECT_EQ(b.Z, z);
    return b.etat == 1;
}

TEST_F(MotionTest, HitsWearDownInnerTreesOnly)
{
    onlyTrees({{5.5f, 5}});
    for (int hitNo = 1; hitNo <= 4; hitNo++) {
        EXPECT_FALSE(bulletEndsAt(5, 5));
        EXPECT_EQ(sapinS[0].Pv, 5 - hitNo);
        EXPECT_EQ(sapinS[0].destroy, 10.0f);
    }
    EXPECT_FALSE(bulletEndsAt(5, 5));
    EXPECT_EQ(sapinS[0].Pv, 0);
    EXPECT_EQ(sapinS[0].destroy, 9.899999618530273f);
    EXPECT_FALSE(bulletEndsAt(5, 5));
    EXPECT_EQ(sapinS[0].Pv, -1);
    EXPECT_EQ(sapinS[0].destroy, 9.899999618530273f);

    // On or outside the +-20 square: the bullet dies, the tree is untouched.
    const float edge[][2] = {{20, 0}, {-20, 0}, {0, 20}, {0, -20}, {28.5f, 1}, {19.5f, 20}};
    for (const auto& t : edge) {
        onlyTrees({{t[0], t[1]}});
        EXPECT_FALSE(bulletEndsAt(t[0] + 0.5f, t[1]));
        EXPECT_EQ(sapinS[0].Pv, 5) << t[0] << ", " << t[1];
        EXPECT_EQ(sapinS[0].destroy, 10.0f);
    }
    onlyTrees({{19.5f, -19.5f}});
    EXPECT_FALSE(bulletEndsAt(19, -19.5f));
    EXPECT_EQ(sapinS[0].Pv, 4);
}

TEST_F(MotionTest, ABulletStopsStrictlyInsideItsRadiusAndAboveFiveOnly)
{
    onlyTrees({{6.5f, 5}});  // exactly 1.5 away
    EXPECT_TRUE(bulletEndsAt(5, 5));
    EXPECT_EQ(sapinS[0].Pv, 5);

    onlyTrees({{5.5f, 5}});
    sapinS[0].destroy = 5;
    EXPECT_TRUE(bulletEndsAt(5, 5));
    EXPECT_EQ(sapinS[0].Pv, 5);
    sapinS[0].destroy = 5.0000005f;
    EXPECT_FALSE(bulletEndsAt(5, 5));
    EXPECT_EQ(sapinS[0].Pv, 4);
}

TEST_F(MotionTest, ASinkingTreeTurnsPassableAt49StepsAndVanishesAt99)
{
    // Robot steps counted from the hit, with a blocking tree 2.49 ahead of
    // where the forward step ends. The k-th step drives, the rest stand.
    for (int k : {48, 49}) {
        startWorld(1);
        onlyTrees({{-1.74f, 1}});
        sapinS[0].destroy = 9.899999618530273f;
        for (int s = 1; s < k; s++)
            robotStep({0, 0, 0, 0});
        robotStep({0, 1, 0, 0});
        EXPECT_EQ(X0, k == 48 ? 1.0f : 0.75f) << "step " << k;
        EXPECT_EQ(sapinS[0].destroy, k == 48 ? 5.0999956f : 4.9999957f);
    }

    startWorld(1);
    onlyTrees({{-1.74f, 1}});
    sapinS[0].destroy = 9.899999618530273f;
    for (int s = 1; s <= 100; s++) {
        glRecordReset();
        robotStep({0, 0, 0, 0});
        // Every step, drawn or not, keeps the matrix stack balanced.
        EXPECT_EQ(countCalls("glPushMatrix"), countCalls("glPopMatrix"));
        EXPECT_EQ(countCalls("glScalef"), 1u);
        EXPECT_EQ(countCalls("glutSolidCone"), s < 99 ? 4u : 0u) << "step " << s;
    }
    EXPECT_LT(sapinS[0].destroy, -0.1f);  // keeps falling, no floor

    // Drawn while above 0 by any amount.
    sapinS[0].destroy = 0.1f;
    glRecordReset();
    robotStep({0, 0, 0, 0});
    EXPECT_EQ(sapinS[0].destroy, 1.4901161e-09f);
    EXPECT_EQ(countCalls("glutSolidCone"), 4u);
}

TEST_F(MotionTest, TheRobotStepIsTheOnlyOneThatSinksAndDraws)
{
    onlyTrees({{10, 10}, {-10, -10}});
    sapinS[1].destroy = 7;
    float x = 0, z = 0, wheel = 0, a = 0;
    int flags[4] = {0, 1, 0, 0};
    for (int kind : {1, 2, 3})
        moveEn(&x, &z, &wheel, &wheel, &a, flags, flags, kind);
    EXPECT_TRUE(glCalls.empty());
    EXPECT_EQ(sapinS[1].destroy, 7.0f);
    robotStep({0, 0, 0, 0});
    EXPECT_EQ(sapinS[1].destroy, (float)(7.0 - 0.1));
    EXPECT_EQ(sapinS[0].destroy, 10.0f);
    EXPECT_EQ(countCalls("gluCylinder"), 2u);
}

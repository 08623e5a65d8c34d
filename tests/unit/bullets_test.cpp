// bullets_test.cpp -- the gun: the cooldown, the pool of 66 slots, the spawn
// point one unit ahead, the field that bullets fly in, and what a bullet does
// to the trees, driven through whole frames where it matters.

#include <cmath>
#include <set>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using BulletsTest = WorldTest;

static int inFlight()
{
    int n = 0;
    for (const bu& b : bulletS)
        n += b.etat == 1;
    return n;
}

// Runs `frames` frames with no trees, space held in the frames for which
// `held` says so; returns the frames (from 1) in which a bullet was fired.
static std::set<int> shotFrames(int frames, bool (*held)(int))
{
    nbsapin = 0;
    std::set<int> shots;
    for (int f = 1; f <= frames; f++) {
        keyStates[' '] = held(f) ? 1 : 0;
        int before = inFlight();
        display();
        if (inFlight() > before)
            shots.insert(f);
    }
    return shots;
}

TEST_F(BulletsTest, HeldSpaceFiresEveryTenthFrame)
{
    EXPECT_EQ(shotFrames(25, [](int) { return true; }), (std::set<int>{1, 11, 21}));
    startWorld(1);
    // Let go after the shot, then held again: still ten frames apart.
    EXPECT_EQ(shotFrames(25, [](int f) { return f != 2; }), (std::set<int>{1, 11, 21}));
    startWorld(1);
    EXPECT_EQ(shotFrames(25, [](int f) { return f >= 5; }), (std::set<int>{5, 15, 25}));
}

TEST_F(BulletsTest, AFullPoolDropsTheShotButRestartsTheCooldown)
{
    for (int i = 0; i < NB_BULLETS; i++)
        bulletS[i] = bu{1, 0.5f, (float)i / 4, -3};
    keyStates[' '] = 1;
    for (int call = 1; call <= 21; call++) {
        keyboard();
        EXPECT_EQ(bull, 10 - (call - 1) % 10) << "call " << call;
    }
    for (int i = 0; i < NB_BULLETS; i++) {
        EXPECT_EQ(bulletS[i].X, (float)i / 4);
        EXPECT_EQ(bulletS[i].Z, -3.0f);
        EXPECT_EQ(bulletS[i].dir, 0.5f);
    }
}

TEST_F(BulletsTest, TheFirstFreeSlotIsTakenOneUnitAheadOfTheRobot)
{
    nbsapin = 0;
    for (int i : {0, 1, 3, 65})
        bulletS[i] = bu{1, 2, 9, 9};
    bulletS[2] = bu{0, 2, 9, 9};  // a free slot keeps its old values
    X0 = 3;
    Z0 = -2;
    angle = 0.5f;
    keyStates[' '] = 1;
    keyboard();
    EXPECT_EQ(bulletS[2].etat, 1);
    EXPECT_EQ(bulletS[2].dir, 0.5f);
    EXPECT_EQ(bulletS[2].X, (float)(3 - std::cos(0.5)));
    EXPECT_EQ(bulletS[2].Z, (float)(-2 - std::sin(0.5)));
    EXPECT_EQ(bulletS[4].etat, 0);
    EXPECT_EQ(inFlight(), 5);
    EXPECT_EQ(angle, 0.5f);  // the spawn step does not turn the robot
}

TEST_F(BulletsTest, ASpawnPointTooCloseToATreeFallsBackAxisByAxis)
{
    onlyTrees({{-1, 1}});  // 1 unit from the spawn point (0, 1)
    keyStates[' '] = 1;
    keyboard();
    EXPECT_EQ(bulletS[0].etat, 1);
    EXPECT_EQ(bulletS[0].X, 1.0f);  // the robot's own X
    EXPECT_EQ(bulletS[0].Z, 1.0f);
    EXPECT_EQ(sapinS[0].Pv, 5);
}

TEST_F(BulletsTest, BulletsFlyInsideTheClosedField)
{
    nbsapin = 0;
    const float next27 = 27.000001907348633f;
    const float cases[][3] = {// X, Z, stays in flight
                              {27, 1, 1},  {-27, 1, 1}, {1, 27, 1},     {1, -27, 1},
                              {next27, 1, 0}, {-next27, 1, 0}, {1, next27, 0}, {1, -next27, 0}};
    for (const auto& c : cases) {
        glRecordReset();
        bulletS[0] = bu{1, 0, c[0], c[1]};
        moveBullets();
        SCOPED_TRACE(testing::Message() << c[0] << ", " << c[1]);
        EXPECT_EQ(bulletS[0].etat, (int)c[2]);
        ASSERT_EQ(countCalls("glutSolidSphere"), (size_t)c[2]);
        if (c[2] == 1) {
            EXPECT_EQ(callsNamed("glTranslatef")[0].args, (std::vector<double>{c[0], 0, c[1]}));
            EXPECT_EQ(bulletS[0].X, c[0] - 1);
        } else {
            EXPECT_EQ(bulletS[0].X, c[0]);  // freed where it was, not moved
        }
    }
}

TEST_F(BulletsTest, AStepOutOfTheFieldCanStillHitAnOuterTreeWithoutHarm)
{
    onlyTrees({{28.5f, 1}});
    bulletS[0] = bu{1, 3.1415927410125732f, 27, 1};  // flying toward +X
    moveBullets();
    EXPECT_EQ(bulletS[0].X, 28.0f);
    EXPECT_EQ(bulletS[0].etat, 0);
    EXPECT_EQ(sapinS[0].Pv, 5);
}

TEST_F(BulletsTest, OneStepCanHitTwoTrees)
{
    onlyTrees({{5, 6}, {5, 4}, {5, 9}});
    bulletS[0] = bu{1, 0, 6, 5};
    moveBullets();
    EXPECT_EQ(bulletS[0].etat, 0);
    EXPECT_EQ(sapinS[0].Pv, 4);
    EXPECT_EQ(sapinS[1].Pv, 4);
    EXPECT_EQ(sapinS[2].Pv, 5);  // 4 units away
}

// The position at which each bullet of the frame was drawn.
static std::vector<std::vector<double>> bulletsDrawn()
{
    std::vector<std::vector<double>> at;
    for (size_t i = 3; i < glCalls.size(); i++)
        if (glCalls[i].name == "glutSolidSphere" && glCalls[i].args[0] == 0.4)
            at.push_back(glCalls[i - 3].args);
    return at;
}

TEST_F(BulletsTest, FromTheStartFiveShotsSinkTheTreeAtMinus4_5)
{
    const int tree = 94;
    ASSERT_EQ(sapinS[tree].X, -4.5f);
    ASSERT_EQ(sapinS[tree].Z, 0.5f);
    keyStates[' '] = 1;
    std::set<int> hitFrames;
    for (int f = 1; f <= 44; f++) {
        glRecordReset();
        int pv = sapinS[tree].Pv;
        display();
        if (sapinS[tree].Pv != pv)
            hitFrames.insert(f);
        int age = (f - 1) % 10;  // frames since the last shot
        auto drawn = bulletsDrawn();
        if (age <= 3) {
            // Drawn at (0, 1), then one unit further each frame, and in its
            // fourth frame at -3: before the step that hits, never at -4.
            ASSERT_EQ(drawn.size(), 1u) << "frame " << f;
            EXPECT_EQ(drawn[0], (std::vector<double>{(double)-age, 0, 1})) << "frame " << f;
        } else {
            EXPECT_TRUE(drawn.empty()) << "frame " << f;
        }
        EXPECT_EQ(sapinS[tree].destroy, f < 44 ? 10.0f : 9.899999618530273f) << "frame " << f;
    }
    EXPECT_EQ(hitFrames, (std::set<int>{4, 14, 24, 34, 44}));
    EXPECT_EQ(sapinS[tree].Pv, 0);
    for (int i = 0; i < NB_TREES; i++) {
        if (i != tree) {
            EXPECT_EQ(sapinS[i].Pv, 5) << "tree " << i;
        }
    }
}

TEST_F(BulletsTest, ABulletIsARedEllipsoidAlongItsFlight)
{
    nbsapin = 0;
    bulletS[7] = bu{1, 0.25f, 2, 3};
    moveBullets();
    std::vector<std::string> names;
    for (const GlCall& c : glCalls)
        names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"glPushMatrix", "glColor3f", "glTranslatef",
                                               "glRotatef", "glScalef", "glutSolidSphere",
                                               "glPopMatrix"}));
    ASSERT_EQ(glCalls.size(), 7u);
    EXPECT_EQ(glCalls[1].args, (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(glCalls[3].args,
              (std::vector<double>{(float)(0.25 * 57.29577951308232 + 270), 0, -1, 0}));
    EXPECT_EQ(glCalls[4].args, (std::vector<double>{0.5, 0.5, 0.8f}));
    EXPECT_EQ(glCalls[5].args, (std::vector<double>{0.4, 10, 10}));
    // It moved one unit along (-cos dir, -sin dir).
    EXPECT_EQ(bulletS[7].X, (float)(2 - std::cos(-0.25)));
    EXPECT_EQ(bulletS[7].Z, (float)(3 + std::sin(-0.25)));
}

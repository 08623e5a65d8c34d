// scenery_test.cpp -- the ground and the fir trees as drawn through the
// recording stand-in: the 2916 ground squares and their order, a standing
// tree call by call, a sinking tree's depth, and where trees are drawn.

#include <GL/glut.h>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using SceneryTest = WorldTest;

using Args = std::vector<double>;

TEST_F(SceneryTest, TheGroundIs2916UpwardSquaresInRowsOfEqualZ)
{
    terrain();
    ASSERT_EQ(countCalls("glBegin"), 2916u);
    ASSERT_EQ(countCalls("glEnd"), 2916u);
    ASSERT_EQ(countCalls("glVertex3f"), 4u * 2916u);
    EXPECT_EQ(countCalls("glPushMatrix"), 2917u);
    EXPECT_EQ(countCalls("glPopMatrix"), 2917u);
    EXPECT_EQ(glCalls.front().name, "glPushMatrix");
    EXPECT_EQ(glCalls.back().name, "glPopMatrix");

    ASSERT_EQ(countCalls("glColor3f"), 1u);
    EXPECT_EQ(callsNamed("glColor3f")[0].args, (Args{0.2f, 1, 0.2f}));
    // One upward normal, set before any square, so the ground's lighting
    // does not depend on what was drawn before it.
    ASSERT_EQ(countCalls("glNormal3f"), 1u);
    EXPECT_EQ(callsNamed("glNormal3f")[0].args, (Args{0, 1, 0}));
    EXPECT_LT(indexOfCall("glNormal3f"), indexOfCall("glBegin"));

    // The whole plane two units down, then one translation per square.
    std::vector<GlCall> moves = callsNamed("glTranslatef");
    ASSERT_EQ(moves.size(), 2917u);
    EXPECT_EQ(moves[0].args, (Args{0, -2, 0}));
    EXPECT_EQ(moves[1].args, (Args{-27, 0, -27}));
    EXPECT_EQ(moves[2].args, (Args{-26, 0, -27}));
    EXPECT_EQ(moves[55].args, (Args{-27, 0, -26}));  // the second row
    EXPECT_EQ(moves[2916].args, (Args{26, 0, 26}));
    for (int k = 0; k < 2916; k++)
        ASSERT_EQ(moves[k + 1].args, (Args{(double)(-27 + k % 54), 0, (double)(-27 + k / 54)}))
            << "square " << k;

    // Every square: the same four corners, counter-clockwise seen from
    // above, so its front face points up.
    std::vector<GlCall> v = callsNamed("glVertex3f");
    const Args corners[4] = {{-0.5, 0, -0.5}, {-0.5, 0, 0.5}, {0.5, 0, 0.5}, {0.5, 0, -0.5}};
    for (size_t i = 0; i < v.size(); i++)
        ASSERT_EQ(v[i].args, corners[i % 4]) << "vertex " << i;
    for (const GlCall& b : callsNamed("glBegin"))
        ASSERT_EQ(b.args[0], GL_QUADS);
    double e1[3], e2[3];
    for (int a = 0; a < 3; a++) {
        e1[a] = corners[1][a] - corners[0][a];
        e2[a] = corners[2][a] - corners[0][a];
    }
    EXPECT_GT(e1[2] * e2[0] - e1[0] * e2[2], 0);  // the y of e1 x e2
}

TEST_F(SceneryTest, AStandingTreeCallByCall)
{
    sapin(3, 0, -7, 0.42f, 10);
    const double id = quadricId(Csapin2);
    const std::vector<GlCall> expected = {
        {"glPushMatrix", {}},
        {"glMaterialfv", {GL_FRONT, GL_AMBIENT, 0, 0, 0, 1}},
        {"glMaterialfv", {GL_FRONT, GL_DIFFUSE, 0.1f, 0.5f, 0.8f, 1}},
        {"glMaterialfv", {GL_FRONT, GL_SPECULAR, 0, 0, 0, 1}},
        {"glMaterialfv", {GL_FRONT, GL_SHININESS, 0}},
        {"glTranslated", {3, 0, -7}},
        {"glTranslated", {0, 1.8, 0}},
        {"glColor3f", {0, 0.42f, 0}},
        {"glRotatef", {90, -1, 0, 0}},
        {"glTranslated", {0, 0, 10.0 - 9.8}},
        {"glutSolidCone", {1.0, 1.5, 10, 10}},
        {"glTranslated", {0, 0, -0.9}},
        {"glutSolidCone", {1.3, 2.0, 10, 10}},
        {"glTranslated", {0, 0, -1.0}},
        {"glutSolidCone", {1.6, 2.5, 10, 10}},
        {"glTranslated", {0, 0, -1.1}},
        {"glutSolidCone", {1.9, 3.0, 10, 10}},
        {"glColor3f", {0.8f, 0.4f, 0}},
        {"glTranslatef", {0, 0, -1.1f}},  // single precision, unlike the rest
        {"gluCylinder", {id, 0.5, 0.5, 2.0, 10, 10}},
        {"glPopMatrix", {}},
    };
    ASSERT_EQ(glCalls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(glCalls[i].name, expected[i].name) << "call " << i;
        EXPECT_EQ(glCalls[i].args, expected[i].args) << "call " << i << " " << expected[i].name;
    }
}

// Heights above the base point of the top tier's tip and the trunk's
// bottom, from the recorded translations along the turned local Z.
static std::pair<double, double> treeSpan()
{
    double up = 0, tip = 0;
    for (const GlCall& c : glCalls) {
        if (c.name == "glTranslated" || c.name == "glTranslatef")
            up += c.args[1] + c.args[2];  // y before the turn, local z after
        if (c.name == "glutSolidCone" && c.args[0] == 1.0)
            tip = up + c.args[1];
    }
    return {tip, up};
}

TEST_F(SceneryTest, ASinkingTreeIsLoweredByItsSinkLevelInDouble)
{
    sapin(0, 0, 0, 0.5f, 10);
    auto standing = treeSpan();
    EXPECT_NEAR(standing.first, 3.5, 1e-9);
    EXPECT_NEAR(standing.second, -2.1, 1e-6);

    glRecordReset();
    sapin(0, 0, 0, 0.5f, 9.899999618530273f);
    EXPECT_EQ(callsNamed("glTranslated")[2].args[2], 9.899999618530273 - 9.8);

    glRecordReset();
    sapin(0, 0, 0, 0.5f, 4.5f);
    EXPECT_NEAR(treeSpan().first, -2.0, 1e-9);  // the tip meets the ground
}

TEST_F(SceneryTest, TreesAreDrawnAtTheirPositionTruncatedTowardZero)
{
    onlyTrees({{-25.5f, -24}, {-0.5f, -0.5f}, {28.5f, 25.5f}});
    sapinS[1].color = 0.17f;
    sapinS[2].destroy = 6;
    float x = 10, z = 10, wheel = 0, a = 0;
    int flags[4] = {0, 0, 0, 0};
    moveEn(&x, &z, &wheel, &wheel, &a, flags, flags, MOVE_ROBOT);

    const Args at[3] = {{-25, 0, -24}, {0, 0, 0}, {28, 0, 25}};
    std::vector<GlCall> moves = callsNamed("glTranslated");
    std::vector<GlCall> crowns = callsNamed("glColor3f");
    ASSERT_EQ(moves.size(), 3u * 6u);
    for (int t = 0; t < 3; t++) {
        EXPECT_EQ(moves[6 * t].args, at[t]) << "tree " << t;
        EXPECT_EQ(crowns[2 * t].args, (Args{0, sapinS[t].color, 0})) << "tree " << t;
    }
    // The sinking tree is drawn with its level already lowered this step.
    EXPECT_EQ(moves[6 * 2 + 2].args[2], (double)(float)(6 - 0.1) - 9.8);
}

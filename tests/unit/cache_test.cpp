// cache_test.cpp -- the default drawing: each standing tree's two lists
// are made again exactly when its colour changes or the context is new, the
// one-stack list is called only for a tree the light cannot reach, a
// sinking tree is drawn afresh at every sink step, the ground is recorded
// once from feedback; and the view-volume and light tests never drop a
// tree whose sphere reaches into the view or the light.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

// The tree lists' names start at 1 in the recorder; tree i has 1 + i.
class CacheTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        immediateDrawing = 0;
        // A view volume of +-100 around the origin: every tree in view.
        for (int i = 0; i < 16; i++)
            glRecordProjection[i] = i == 15 ? 1 : i % 5 == 0 ? 0.01 : 0;
    }
    void TearDown() override
    {
        for (int i = 0; i < 16; i++)
            glRecordProjection[i] = i % 5 == 0;
    }
    // Runs a frame; returns how many lists it made, and in `made` the last.
    int frame(double* made = nullptr)
    {
        glRecordReset();
        display();
        std::vector<GlCall> lists = callsNamed("glNewList");
        if (made != nullptr && !lists.empty())
            *made = lists.back().args[0];
        return (int)lists.size();
    }
    // Did this frame call list `list`?
    bool called(double list)
    {
        for (const GlCall& c : callsNamed("glCallList"))
            if (c.args[0] == list)
                return true;
        return false;
    }
    // The stacks of every cone and trunk recorded this frame into list
    // `only`, or into any list.
    std::vector<double> recordedStacks(double only = 0)
    {
        std::vector<double> stacks;
        bool recording = false;
        for (const GlCall& c : glCalls) {
            if (c.name == "glNewList")
                recording = only == 0 || c.args[0] == only;
            if (c.name == "glEndList")
                recording = false;
            if (recording && (c.name == "glutSolidCone" || c.name == "gluCylinder"))
                stacks.push_back(c.args.back());
        }
        return stacks;
    }
};

TEST_F(CacheTest, ListsAreMadeOnceThenCalled)
{
    EXPECT_EQ(frame(), 2 * NB_TREES + 1);  // two for every tree, one for the ground
    EXPECT_EQ(countCalls("glCallList"), (size_t)NB_TREES + 1);
    EXPECT_EQ(countCalls("glutSolidCone"), 8u * NB_TREES);
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(countCalls("glCallList"), (size_t)NB_TREES + 1);
    EXPECT_EQ(countCalls("glutSolidCone"), 0u);

    // A new context knows no list: all are made again.
    glRecordForgetLists();
    EXPECT_EQ(frame(), 2 * NB_TREES + 1);
    EXPECT_EQ(countCalls("glGenLists"), 1u);
}

TEST_F(CacheTest, ASinkingTreeIsDrawnAfreshAtEverySinkStepUntilGone)
{
    const int k = 94;
    frame();
    sapinS[k].destroy = 9.9f;  // a fifth hit starts it sinking
    int frames = 0;
    while (sapinS[k].destroy > 0) {
        int made = frame();  // sinks it a notch, then draws what is left
        EXPECT_EQ(made, 0);
        bool drawn = sapinS[k].destroy > 0;
        // Its own drawing at its new sink level, the others from their lists.
        EXPECT_EQ(countCalls("glutSolidCone"), drawn ? 4u : 0u) << sapinS[k].destroy;
        EXPECT_EQ(countCalls("glCallList"), (size_t)NB_TREES) << sapinS[k].destroy;
        if (drawn) {
            std::vector<GlCall> lowered = callsNamed("glTranslated");
            ASSERT_GE(lowered.size(), 3u);
            EXPECT_DOUBLE_EQ(lowered[2].args[2], (double)sapinS[k].destroy - 9.8);
            frames++;
        }
    }
    EXPECT_EQ(frames, 98);
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(countCalls("glutSolidCone"), 0u);

    // A standing tree's list is made again when its colour changes.
    double made = 0;
    sapinS[7].color = 0.42f;
    EXPECT_EQ(frame(&made), 2);
    EXPECT_EQ(made, 1 + NB_TREES + 7);
}

TEST_F(CacheTest, BackFacesAreCulledOnlyForTreesSeenFromOutside)
{
    // Every tree wholly inside the volume, the eye at the origin: culled,
    // switched on once for the trees and off after them.
    frame();
    EXPECT_EQ(callsNamed("glEnable").size(), 1u);
    EXPECT_EQ(callsNamed("glEnable")[0].args[0], GL_CULL_FACE);
    EXPECT_LT(indexOfCall("glEnable"), indexOfCall("glCallList"));
    EXPECT_GT(indexOfCall("glDisable"), indexOfCall("glCallList", NB_TREES - 1));

    // The eye 5 below the origin, under the ground: nothing culled.
    glRecordModelview[13] = 5;
    frame();
    glRecordModelview[13] = 0;
    EXPECT_EQ(countCalls("glEnable") + countCalls("glDisable"), 0u);

    // Trees across the far plane, moved to z = 1 here, are cut open by it:
    // culling goes off for them and on again for the others.
    glRecordProjection[14] = 0.99;
    frame();
    glRecordProjection[14] = 0;
    EXPECT_GT(countCalls("glDisable"), 1u);
}

// The perspective of the game's window (60 degrees, square, near 1, far
// 200) with the eye at the origin looking along -Z.
static void perspective(double m[16])
{
    double f = 1 / tan(30 * M_PI / 180), n = 1, farPlane = 200;
    for (int i = 0; i < 16; i++)
        m[i] = 0;
    m[0] = f;
    m[5] = f;
    m[10] = (farPlane + n) / (n - farPlane);
    m[11] = -1;
    m[14] = 2 * farPlane * n / (n - farPlane);
}

TEST(CullTest, ASphereReachingIntoTheViewIsKept)
{
    double p[16];
    perspective(p);
    const struct {
        double x, z;
        int in;
        const char* why;
    } cases[] = {
        {0, -10, 1, "straight ahead"},
        {0, 10, 0, "behind the eye"},
        {0, 0.5, 1, "around the eye, reaching past the near plane"},
        {0, 2.3, 1, "behind the eye, reaching 0.1 past the near plane"},
        {0, 2.5, 0, "behind the eye, stopping 0.1 short of the near plane"},
        {9.6, -10, 1, "just inside the right side"},
        {9.8, -10, 0, "just outside the right side"},
        {-9.6, -10, 1, "just inside the left side"},
        {0, -203, 1, "beyond the far plane, reaching back into the view"},
        {0, -204, 0, "wholly beyond the far plane"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sphereInView(p, c.x, 0, c.z, 3.4), c.in) << c.why;

    // Matrices a degenerate view can give cull nothing.
    double zero[16] = {0}, nan[16];
    for (int i = 0; i < 16; i++)
        nan[i] = i == 5 ? NAN : p[i];
    EXPECT_EQ(sphereInView(zero, 1000, 0, 1000, 3.4), 1);
    EXPECT_EQ(sphereInView(nan, 1000, 0, 1000, 3.4), 1);
}

TEST(SpotTest, OnlyASphereWhollyOutsideTheConeIsDark)
{
    // A spot at the origin along -Z, 20 degrees wide, and a tree's sphere
    // 10 ahead and x to the side: the nearest point of the sphere is 20.64
    // degrees off the axis at x = 7.4 and 21.09 at 7.5. A degree is allowed.
    const double at[4] = {0, 0, 0, 1}, along[3] = {0, 0, -1};
    const struct {
        double x, y, z;
        int lit;
        const char* why;
    } cases[] = {
        {0, 0, -10, 1, "on the axis"},
        {7.4, 0, -10, 1, "reaching into the cone and its margin"},
        {7.5, 0, -10, 0, "just clear of the margin"},
        {0, -7.5, -10, 0, "just clear, below"},
        {0, 0, 10, 0, "behind the light"},
        {0, 0, 3, 1, "around the light"},
    };
    for (const auto& c : cases) {
        double centre[3] = {c.x, c.y, c.z};
        EXPECT_EQ(sphereInSpot(at, along, 20, centre, 3.4), c.lit) << c.why;
    }
    // No spot, or one that cannot be judged: everything may be lit.
    double behind[3] = {0, 0, 10}, none[3] = {0, 0, 0}, distant[4] = {0, 0, 1, 0};
    EXPECT_EQ(sphereInSpot(at, along, 180, behind, 3.4), 1);
    // A cone of 90 degrees or more is not judged by its angle, even where
    // the angle would say "dark": GL has no such spot but 180, and a wrong
    // "dark" would lose a lit tree's stacks.
    EXPECT_EQ(sphereInSpot(at, along, 120, behind, 3.4), 1);
    EXPECT_EQ(sphereInSpot(distant, along, 20, behind, 3.4), 1);
    EXPECT_EQ(sphereInSpot(at, none, 20, behind, 3.4), 1);
}

TEST_F(CacheTest, ATreeTheLightCannotReachComesFromItsOneStackList)
{
    // The spot 10 in front of tree k, shining at it; the eye coordinates of
    // this fixture are the world's.
    const int k = 94;
    float x = (int)sapinS[k].X, z = (int)sapinS[k].Z;
    const float position[4] = {x, 0.7f, z + 10, 1}, at[3] = {0, 0, -1}, away[3] = {0, 0, 1};
    memcpy(glRecordLightPosition, position, sizeof position);
    memcpy(glRecordLightDirection, at, sizeof at);
    glRecordLightCutoff = 20;

    // Both lists of every tree are made at once, with ten stacks and one;
    // a tree in the light is called from the first, the others from the
    // second.
    EXPECT_EQ(frame(), 2 * NB_TREES + 1);
    EXPECT_EQ(recordedStacks(1 + k), std::vector<double>(5, 10));
    EXPECT_EQ(recordedStacks(1 + NB_TREES + k), std::vector<double>(5, 1));
    size_t full = 0;
    for (const GlCall& c : callsNamed("glCallList"))
        full += c.args[0] <= NB_TREES;
    EXPECT_GT(full, 0u);
    EXPECT_LT(full, (size_t)NB_TREES / 2);
    EXPECT_TRUE(called(1 + k));

    // Turned away, the light leaves tree k: now its one-stack list is
    // called. Lists are made neither then nor when it turns back.
    memcpy(glRecordLightDirection, away, sizeof away);
    EXPECT_EQ(frame(), 0);
    EXPECT_TRUE(called(1 + NB_TREES + k));
    EXPECT_FALSE(called(1 + k));
    memcpy(glRecordLightDirection, at, sizeof at);
    EXPECT_EQ(frame(), 0);
    EXPECT_TRUE(called(1 + k));

    const float none[4] = {0, 0, 1, 0};
    memcpy(glRecordLightPosition, none, sizeof none);
    glRecordLightCutoff = 180;
}

TEST_F(CacheTest, TheGroundIsRecordedInWorldCoordinatesFromFeedback)
{
    // What the renderer hands back, in the capture's window coordinates
    // (x + 32, y + 32, 0.5 - z / 64): a triangle in one colour, a token
    // that is no polygon, and a four-cornered polygon in another colour.
    const float dark[4] = {0.2f, 1, 0.2f, 1}, light[4] = {0.5f, 1, 0.5f, 1};
    auto corner = [](float x, float z, const float* c) {
        glRecordFeedback.insert(glRecordFeedback.end(),
                                {x + 32, 30, 0.5f - z / 64, c[0], c[1], c[2], c[3]});
    };
    glRecordFeedback = {GL_POLYGON_TOKEN, 3};
    corner(-0.5f, -0.5f, dark), corner(-0.5f, 0.5f, dark), corner(0.5f, -0.5f, dark);
    glRecordFeedback.insert(glRecordFeedback.end(), {GL_PASS_THROUGH_TOKEN, 7, GL_POLYGON_TOKEN, 4});
    corner(26, 26, light), corner(26, 26.5f, light), corner(26.5f, 26.5f, light), corner(26.5f, 26, light);
    frame();
    glRecordFeedback.clear();

    // terrain() ran in feedback mode, outside every list.
    long into = indexOfCall("glRenderMode"), out = indexOfCall("glRenderMode", 1);
    long ground = indexOfCall("glNewList", 2 * NB_TREES);
    ASSERT_GE(into, 0);
    EXPECT_EQ(glCalls[into].args[0], GL_FEEDBACK);
    EXPECT_EQ(std::count_if(glCalls.begin() + into, glCalls.begin() + out,
                            [](const GlCall& c) { return c.name == "glBegin"; }),
              54 * 54);
    EXPECT_LT(out, ground);
    EXPECT_EQ(glCalls[ground].args[0], 1 + 2 * NB_TREES);

    // The list: terrain's last normal, then triangles fanned from each
    // polygon's first corner, a colour only where it changes.
    std::vector<std::vector<double>> vertices, colours;
    for (long i = ground; glCalls[i].name != "glEndList"; i++) {
        if (glCalls[i].name == "glVertex3f")
            vertices.push_back(glCalls[i].args);
        if (glCalls[i].name == "glColor4f")
            colours.push_back(glCalls[i].args);
        if (glCalls[i].name == "glNormal3f") {
            EXPECT_EQ(glCalls[i].args, (std::vector<double>{0, 1, 0}));
        }
    }
    const std::vector<std::vector<double>> world = {
        {-0.5, -2, -0.5}, {-0.5, -2, 0.5}, {0.5, -2, -0.5},
        {26, -2, 26}, {26, -2, 26.5}, {26.5, -2, 26.5},
        {26, -2, 26}, {26.5, -2, 26.5}, {26.5, -2, 26}};
    EXPECT_EQ(vertices, world);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_FLOAT_EQ(colours[1][0], 0.5f);
    EXPECT_EQ(countCalls("glBegin") - countCalls("glEnd"), 0u);
}

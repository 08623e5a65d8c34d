// robot_test.cpp -- the robot as the recording stand-in sees it: where it is
// placed, its light, the pieces of its body and their colours, what each
// camera mode leaves in or out, and the punch, frame by frame.

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using Pair = std::pair<double, double>;

// One punch, the two joint angles drawn in each of its 25 frames.
static const Pair punchFrames[25] = {
    {0, 20},   {-10, 30}, {-20, 40}, {-30, 50}, {-40, 60}, {-40, 70}, {-40, 80},
    {-40, 90}, {-30, 90}, {-20, 90}, {-10, 90}, {0, 90},   {10, 90},  {20, 90},
    {30, 80},  {40, 70},  {50, 60},  {50, 50},  {50, 40},  {40, 30},  {30, 20},
    {20, 20},  {10, 20},  {0, 20},   {0, 20},
};
static const Pair rest = {0, 20};

static double f(double v) { return (double)(float)v; }  // as glXxxf gets it

// A call written out, so mismatching sequences read well in a failure.
static std::string show(const GlCall& c)
{
    std::string s = c.name + "(";
    char buf[32];
    for (size_t i = 0; i < c.args.size(); i++) {
        std::snprintf(buf, sizeof buf, "%s%.17g", i ? ", " : "", c.args[i]);
        s += buf;
    }
    return s + ")";
}

static std::vector<std::string> shown(const std::vector<GlCall>& calls, size_t from = 0,
                                      size_t to = (size_t)-1)
{
    std::vector<std::string> out;
    for (size_t i = from; i < calls.size() && i < to; i++)
        out.push_back(show(calls[i]));
    return out;
}

// Where the robot's drawing starts in the recorded frame: its placement push,
// three calls before its light, which nothing else sets.
static size_t robotStart()
{
    long light = indexOfCall("glLightfv");
    EXPECT_GE(light, 3);
    return light < 3 ? glCalls.size() : (size_t)(light - 3);
}

static size_t findFrom(size_t from, const GlCall& want)
{
    for (size_t i = from; i < glCalls.size(); i++)
        if (glCalls[i].name == want.name && glCalls[i].args == want.args)
            return i;
    return glCalls.size();
}

static size_t countFrom(size_t from, const std::string& name)
{
    size_t n = 0;
    for (size_t i = from; i < glCalls.size(); i++)
        n += glCalls[i].name == name;
    return n;
}

// The two joint angles arm `arm` was drawn with: its first two rotations
// about (0, 0, 1) after the shoulder offset; the third must be 0.
static Pair armJoints(int arm)
{
    size_t i = findFrom(robotStart(), {"glTranslatef", {0, 0, arm == 0 ? -1.0 : 1.0}});
    std::vector<double> joints;
    for (; i < glCalls.size() && joints.size() < 3; i++)
        if (glCalls[i].name == "glRotatef" && glCalls[i].args.size() == 4 &&
            glCalls[i].args[1] == 0 && glCalls[i].args[2] == 0 && glCalls[i].args[3] == 1)
            joints.push_back(glCalls[i].args[0]);
    EXPECT_EQ(joints.size(), 3u) << "arm " << arm;
    if (joints.size() < 3)
        return {NAN, NAN};
    EXPECT_EQ(joints[2], 0) << "arm " << arm;
    return {joints[0], joints[1]};
}

static void frame()
{
    glRecordReset();
    display();
}

class RobotTest : public WorldTest {};

TEST_F(RobotTest, OnePunchRunsTheKeyframesOnArmZero)
{
    keyPressed('v', 0, 0);
    for (int n = 1; n <= 25; n++) {
        frame();
        keyUp('v', 0, 0);
        EXPECT_EQ(armJoints(0), punchFrames[n - 1]) << "frame " << n;
        EXPECT_EQ(armJoints(1), rest) << "frame " << n;
        EXPECT_EQ(hit, n < 25 ? 2 : 1) << "frame " << n;
    }
    EXPECT_EQ(hit, 1);
    EXPECT_EQ(punch, 6);

    frame();
    EXPECT_EQ(armJoints(0), rest);
    EXPECT_EQ(hit, 1);
}

TEST_F(RobotTest, VDuringAPunchIsIgnoredAndTheNextPunchIsArmOnes)
{
    keyPressed('v', 0, 0);
    for (int n = 1; n <= 25; n++) {
        if (n == 2)
            keyUp('v', 0, 0);
        if (n == 9)
            keyPressed('v', 0, 0);  // held again, mid-punch
        if (n == 14)
            keyUp('v', 0, 0);
        frame();
        EXPECT_EQ(armJoints(0), punchFrames[n - 1]) << "frame " << n;
    }
    EXPECT_EQ(hit, 1);

    for (int n = 0; n < 5; n++)
        frame();
    keyPressed('v', 0, 0);
    for (int n = 1; n <= 25; n++) {
        frame();
        keyUp('v', 0, 0);
        EXPECT_EQ(armJoints(1), punchFrames[n - 1]) << "frame " << n;
        EXPECT_EQ(armJoints(0), rest) << "frame " << n;
    }
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(punch, 6);
}

TEST_F(RobotTest, HeldVAlternatesArmsEvery25Frames)
{
    keyPressed('v', 0, 0);
    for (int n = 1; n <= 50; n++) {
        frame();
        int arm = n <= 25 ? 0 : 1;
        EXPECT_EQ(armJoints(arm), punchFrames[(n - 1) % 25]) << "frame " << n;
        EXPECT_EQ(armJoints(1 - arm), rest) << "frame " << n;
    }
    EXPECT_EQ(hit, 0);
    frame();  // and arm 0 again at once
    EXPECT_EQ(hit, 2);
    EXPECT_EQ(punch, 1);  // keyframe 0 is the rest pose: reached at once
}

TEST_F(RobotTest, FirstPersonLeavesOutShoulderBarAndBodyButNotArmsOrLight)
{
    struct Count {
        const char* name;
        size_t withBody, firstPerson;
    };
    const Count counts[] = {
        {"glutSolidCube", 2, 0},   {"glutSolidTorus", 3, 0}, {"glutSolidOctahedron", 2, 0},
        {"glutSolidSphere", 8, 6}, {"gluCylinder", 7, 6},    {"glLightfv", 3, 3},
        {"glLightf", 3, 3},        {"glutSolidCone", 0, 0},
    };
    for (int mode : {0, 2}) {
        typeCam = mode;
        frame();
        size_t from = robotStart();
        for (const Count& c : counts)
            EXPECT_EQ(countFrom(from, c.name), mode == 2 ? c.firstPerson : c.withBody)
                << c.name << " in mode " << mode;
    }

    // Both arms still animate in first person.
    keyPressed('v', 0, 0);
    frame();
    frame();
    EXPECT_EQ(armJoints(0), punchFrames[1]);
    EXPECT_EQ(armJoints(1), rest);
}

TEST_F(RobotTest, OverheadMarkerComesBetweenBodyAndArms)
{
    const std::vector<std::string> marker = {
        "glPushMatrix()",
        show({"glColor3f", {0, 0, f(0.8)}}),
        "glTranslatef(0, 1, 0)",
        "glRotatef(-90, 0, -1, 0)",
        "glutSolidCone(2, 4, 20, 20)",
        "glutSolidSphere(2, 20, 20)",
        "glPopMatrix()",
    };
    for (int mode : {0, 1, 2, 3, 4}) {
        typeCam = mode;
        frame();
        size_t from = robotStart();
        size_t cone = findFrom(from, {"glutSolidCone", {2, 4, 20, 20}});
        if (mode != 3) {
            EXPECT_EQ(cone, glCalls.size()) << "marker in mode " << mode;
            continue;
        }
        size_t axle = findFrom(from, {"gluCylinder", {quadricId(Croue), 0.08, 0.08, 0.6, 20, 20}});
        size_t arm0 = findFrom(from, {"glTranslatef", {0, 0, -1}});
        ASSERT_LT(axle, cone);
        ASSERT_LT(cone, arm0);
        EXPECT_EQ(shown(glCalls, cone - 4, cone + 3), marker);
        EXPECT_EQ(arm0, cone + 4);  // the arms follow at once
    }
}

TEST_F(RobotTest, BodyIsNinePiecesWithColoursCarriedOver)
{
    // Each piece between its own push and pop; the struts and hubs set no
    // colour and stay white from the first strut.
    const double q = quadricId(Croue);
    const std::vector<std::vector<GlCall>> pieces = {
        {{"glColor3f", {1, 0, 0}}, {"glTranslatef", {f(0.1), f(-0.1), 0}},
         {"glScalef", {1, 1, f(1.8)}}, {"glutSolidTorus", {0.2, 0.1, 20, 20}}},
        {{"glColor3f", {1, 1, 0}}, {"glTranslatef", {0, -0.5, 0}}, {"glScalef", {1, 2, 2}},
         {"glutSolidCube", {0.5}}},
        {{"glColor3f", {0.5, 1, 0}}, {"glTranslatef", {0, f(-1.7), f(-0.1)}},
         {"glRotatef", {37, 0, 0, 1}}, {"glScalef", {f(0.4), f(0.4), 0.5}},
         {"glutSolidTorus", {0.2, 0.4, 10, 10}}},
        {{"glColor3f", {1, 0.5, 0}}, {"glTranslatef", {0, f(-1.7), f(0.1)}},
         {"glRotatef", {370, 0, 0, 1}}, {"glScalef", {f(0.4), f(0.4), 0.5}},
         {"glutSolidTorus", {0.2, 0.4, 10, 10}}},
        {{"glColor3f", {1, 1, 1}}, {"glTranslatef", {0, -1, f(-0.28)}},
         {"glScalef", {f(0.3), f(0.8), f(0.3)}}, {"glRotatef", {45, 0, 1, 0}},
         {"glutSolidOctahedron", {}}},
        {{"glTranslatef", {0, -1, f(0.28)}}, {"glScalef", {f(0.3), f(0.8), f(0.3)}},
         {"glRotatef", {45, 0, 1, 0}}, {"glutSolidOctahedron", {}}},
        {{"glTranslatef", {0, f(-1.69), f(0.25)}}, {"glutSolidSphere", {0.1, 20, 20}}},
        {{"glTranslatef", {0, f(-1.69), f(-0.25)}}, {"glutSolidSphere", {0.1, 20, 20}}},
        {{"glColor3f", {1, 0, 0}}, {"glTranslatef", {0, f(-1.68), f(-0.3)}},
         {"gluCylinder", {q, 0.08, 0.08, 0.6, 20, 20}}},
    };

    glRecordReset();
    body(37, 370, 0);

    // Split at the pushes and pops; a colour set between pieces belongs to
    // the next one.
    std::vector<std::vector<GlCall>> got(1);
    int depth = 0;
    for (const GlCall& c : glCalls) {
        if (c.name == "glPushMatrix" && depth++ == 0)
            continue;
        if (c.name == "glPopMatrix" && --depth == 0) {
            got.emplace_back();
            continue;
        }
        got.back().push_back(c);
    }
    EXPECT_EQ(depth, 0);
    ASSERT_EQ(got.size(), 10u);
    EXPECT_TRUE(got.back().empty());
    for (size_t i = 0; i < pieces.size(); i++) {
        EXPECT_EQ(shown(got[i]), shown(pieces[i])) << "piece " << i + 1;
    }
}

TEST_F(RobotTest, ArmIsThreeSegmentsHangingFromTheShoulder)
{
    const std::vector<Pair> segs = {{0.6, 0.6}, {0.5, 0.5}, {0.3, 0.25}};  // length, offset
    const double joints[3] = {0, 20, 0};
    std::vector<std::string> want;
    for (int s = 0; s < 3; s++) {
        want.push_back(show({"glRotatef", {joints[s], 0, 0, 1}}));
        want.push_back("glPushMatrix()");
        want.push_back("glColor3f(1, 0, 1)");
        want.push_back("glRotatef(90, 1, 0, 0)");
        want.push_back(show({"gluCylinder", {quadricId(Cbras), 0.2, 0.2, segs[s].first, 20, 20}}));
        want.push_back("glColor3f(0, 1, 1)");
        want.push_back("glPopMatrix()");
        want.push_back(show({"glTranslatef", {0, -f(segs[s].second), 0}}));
        want.push_back(show({"glutSolidSphere", {0.2, 20, 20}}));
    }
    glRecordReset();
    bras(1);
    EXPECT_EQ(shown(glCalls), want);
}

TEST_F(RobotTest, LightIsSixCallsOnLight2InTheRobotsFrame)
{
    const std::vector<GlCall> light = {
        {"glLightfv", {GL_LIGHT2, GL_DIFFUSE, 1, 1, 1, 1}},
        {"glLightfv", {GL_LIGHT2, GL_POSITION, 0, f(0.02), 0, 1}},
        {"glLightf", {GL_LIGHT2, GL_SPOT_CUTOFF, 20}},
        {"glLightfv", {GL_LIGHT2, GL_SPOT_DIRECTION, 1, f(0.02), 0}},
        {"glLightf", {GL_LIGHT2, GL_SPOT_EXPONENT, 20}},
        {"glLightf", {GL_LIGHT2, GL_QUADRATIC_ATTENUATION, f(0.05)}},
    };
    glRecordReset();
    lumiere();
    EXPECT_EQ(shown(glCalls), shown(light));

    // In a frame: once, first thing after the robot is placed.
    frame();
    size_t from = robotStart();
    EXPECT_EQ(glCalls[from + 2].name, "glRotatef");
    EXPECT_EQ(shown(glCalls, from + 3, from + 9), shown(light));
    EXPECT_EQ(countCalls("glLightfv") + countCalls("glLightf"), 6u);
}

TEST_F(RobotTest, PlacementTurnsTheFrontToTheDrivingDirection)
{
    // Near -pi the degrees come close to 0, where forming them in single
    // precision would lose the last bits.
    const float angles[] = {0, 0.1f, -1.5f, 2.5f, 3.1415927f, -3.1f, -3.1415927f};
    for (float a : angles) {
        X0 = -6.5f;
        Z0 = 3.25f;
        angle = a;
        glRecordReset();
        drawPlayer();
        float degrees = (float)((double)a * 57.29577951308232 + 180);
        ASSERT_GE(glCalls.size(), 4u);
        EXPECT_EQ(show(glCalls[0]), "glPushMatrix()");
        EXPECT_EQ(show(glCalls[1]), "glTranslatef(-6.5, 0, 3.25)");
        EXPECT_EQ(show(glCalls[2]), show({"glRotatef", {degrees, 0, -1, 0}})) << "angle " << a;
        EXPECT_EQ(glCalls[3].name, "glLightfv");
        EXPECT_EQ(show(glCalls.back()), "glPopMatrix()");

        // Rotating +X by t about -Y gives (cos t, 0, sin t): the front must
        // point the way z drives, (-cos a, 0, -sin a).
        double t = glCalls[2].args[0] * M_PI / 180;
        EXPECT_NEAR(std::cos(t), -std::cos(a), 1e-6) << "angle " << a;
        EXPECT_NEAR(std::sin(t), -std::sin(a), 1e-6) << "angle " << a;
    }
}

// camera_test.cpp -- the five cameras as the recording stand-in sees them:
// what each mode hands gluLookAt, how the free camera flies, turns, wraps and
// truncates its target, and that no free-camera view is ever degenerate.

#include <cmath>
#include <string>
#include <vector>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using Args = std::vector<double>;

// Eye, target and up of a gluLookAt, compared exactly.
static void expectView(const Args& got, Args eye, Args target, Args up)
{
    Args want = eye;
    want.insert(want.end(), target.begin(), target.end());
    want.insert(want.end(), up.begin(), up.end());
    EXPECT_EQ(got, want);
}

class CameraTest : public WorldTest {};

TEST_F(CameraTest, SurveillanceFollowsTheRobotAndTheMapDoesNot)
{
    expectView(frameLookAt(), {9, 14, 9}, {1, 0, 1}, {0, 1, 0});
    typeCam = CAM_MAP;
    expectView(frameLookAt(), {0, 45, 0}, {1, 0, 1}, {0, 0, 1});

    X0 = -3.5f;
    Z0 = 12.25f;
    angle = 2;
    expectView(frameLookAt(), {0, 45, 0}, {1, 0, 1}, {0, 0, 1});
    typeCam = CAM_SURVEILLANCE;
    expectView(frameLookAt(), {9, 14, 9}, {-3.5, 0, 12.25}, {0, 1, 0});
}

TEST_F(CameraTest, ChaseEyeAtStartIsStoppedByTheTreeBehindTheRobot)
{
    // The tree at X 4.5, Z 1 lets the probe reach X 2.5, exactly its radius
    // away, and takes back the step after.
    typeCam = CAM_CHASE;
    expectView(frameLookAt(), {2.5, 2, 1}, {1, 0, 1}, {0, 1, 0});
    EXPECT_EQ(Xc, 2.5f);
    EXPECT_EQ(Zc, 1.0f);
}

TEST_F(CameraTest, ChaseEyeInOpenGroundIsFiveBehindAndTwoUp)
{
    onlyTrees({{-20, -20}});
    typeCam = CAM_CHASE;
    X0 = -3.25f;
    Z0 = 7.5f;
    expectView(frameLookAt(), {1.75, 2, 7.5}, {-3.25, 0, 7.5}, {0, 1, 0});

    // Turned, the eye is still behind the robot, whose front faces
    // (-cos a, -sin a), and arrives there in the same frame.
    angle = 1.0f;
    Args a = frameLookAt();
    EXPECT_NEAR(a[0], -3.25 + 5 * std::cos(1.0), 1e-5);
    EXPECT_NEAR(a[2], 7.5 + 5 * std::sin(1.0), 1e-5);
}

TEST_F(CameraTest, FirstPersonEyeIsOneBehindAtHeightZero)
{
    typeCam = CAM_FIRST_PERSON;
    expectView(frameLookAt(), {2, 0, 1}, {1, 0, 1}, {0, 1, 0});

    onlyTrees({{-20, -20}});
    X0 = 6.5f;
    Z0 = -4.0f;
    expectView(frameLookAt(), {7.5, 0, -4}, {6.5, 0, -4}, {0, 1, 0});
}

TEST_F(CameraTest, FreeCameraTargetIsTruncatedTowardZero)
{
    typeCam = CAM_FREE;  // at start: two units along X
    expectView(frameLookAt(), {0, 0, 0}, {2, 0, 0}, {0, 1, 0});
    XCamLibre = 0.5f;  // 2.5 -> 2
    expectView(frameLookAt(), {0.5, 0, 0}, {2, 0, 0}, {0, 1, 0});
    XCamLibre = -2.5f;  // -0.5 -> 0, not -1
    ZCamLibre = -0.5f;  // -0.5 -> 0
    expectView(frameLookAt(), {-2.5, 0, -0.5}, {0, 0, 0}, {0, 1, 0});
    XCamLibre = -4.25f;  // -2.25 -> -2
    ZCamLibre = -1.75f;  // -1.75 -> -1
    expectView(frameLookAt(), {-4.25, 0, -1.75}, {-2, 0, -1}, {0, 1, 0});
}

TEST_F(CameraTest, HoldingKWrapsTheHeadingInThe32ndFrame)
{
    typeCam = CAM_FREE;
    keyPressed('k', 0, 0);
    for (int f = 1; f <= 31; f++)
        frameLookAt();
    EXPECT_FLOAT_EQ(angle2CamLibre, 3.0999992f);

    // The 32nd step gives 3.1999991, past pi: the overshoot is dropped. The
    // cosine of the float nearest -pi is a hair above -1, so the target X,
    // 2 cos of it, truncates to -1.
    Args a = frameLookAt();
    EXPECT_EQ(angle2CamLibre, -3.1415927410125732f);
    expectView(a, {0, 0, 0}, {-1, 0, 0}, {0, 1, 0});

    frameLookAt();
    EXPECT_FLOAT_EQ(angle2CamLibre, -3.0415928f);
    EXPECT_EQ(angle1CamLibre, 0.0f);
}

TEST_F(CameraTest, WrappedHeadingFlipsEveryIdleFrame)
{
    // The float nearest pi lies just outside -pi..pi, so with no turn key the
    // wrap fires in every frame. Only where a whole-number eye Z meets the
    // tiny sine does the target show it.
    typeCam = CAM_FREE;
    angle2CamLibre = -3.1415927410125732f;
    ZCamLibre = 3;
    for (int f = 0; f < 4; f++) {
        Args a = frameLookAt();
        bool positive = f % 2 == 0;
        EXPECT_EQ(angle2CamLibre, positive ? 3.1415927410125732f : -3.1415927410125732f);
        EXPECT_EQ(a[5], positive ? 2 : 3) << "frame " << f;
    }
}

TEST_F(CameraTest, TiltKeysWinOverTurnKeys)
{
    typeCam = CAM_FREE;
    keyPressed('o', 0, 0);
    keyPressed('k', 0, 0);
    float tilt = 0;
    for (int f = 0; f < 3; f++) {
        frameLookAt();
        tilt = (float)((double)tilt + 0.01);
        EXPECT_EQ(angle1CamLibre, tilt);
        EXPECT_EQ(angle2CamLibre, 0.0f);
    }

    keyUp('k', 0, 0);
    keyPressed('l', 0, 0);  // o wins over l
    frameLookAt();
    EXPECT_EQ(angle1CamLibre, (float)((double)tilt + 0.01));

    keyUp('o', 0, 0);
    frameLookAt();
    EXPECT_EQ(angle1CamLibre, tilt);
    EXPECT_EQ(angle2CamLibre, 0.0f);

    keyUp('l', 0, 0);
    keyPressed('k', 0, 0);
    keyPressed('m', 0, 0);  // k wins over m
    frameLookAt();
    EXPECT_EQ(angle2CamLibre, (float)0.1);
    EXPECT_EQ(angle1CamLibre, tilt);
}

TEST_F(CameraTest, FreeEyeMovesWithTheHeadingOfBeforeTheTurn)
{
    typeCam = CAM_FREE;
    for (char c : {'8', '6', '7', '9', 'k'})
        keyPressed(c, 0, 0);
    frameLookAt();
    EXPECT_EQ(ZCamLibre, 2.0f);  // 2 cos 0, not 2 cos 0.1
    EXPECT_EQ(XCamLibre, 0.0f);  // 2 sin 0
    EXPECT_EQ(YCamLibre, 0.0f);  // 7 and 9 cancel
    EXPECT_FLOAT_EQ(angle2CamLibre, 0.1f);

    frameLookAt();
    EXPECT_FLOAT_EQ(ZCamLibre, (float)(2 + 2 * std::cos(0.1)));
    EXPECT_FLOAT_EQ(XCamLibre, (float)(2 * std::sin(0.1)));
}

TEST_F(CameraTest, TiltBranchTargetLooksAheadAlongX)
{
    // From the start the first o frame tilts by 0.01: level with the eye's X
    // it would look straight up the up vector. The target steps one whole
    // unit past the eye's truncated X instead.
    typeCam = CAM_FREE;
    keyPressed('o', 0, 0);
    expectView(frameLookAt(), {0, 0, 0}, {1, 9, 0}, {0, 1, 0});
    XCamLibre = -2.5f;
    expectView(frameLookAt(), {-2.5, 0, 0}, {-1, 9, 0}, {0, 1, 0});

    // The heading branch keeps the target level with the eye.
    keyUp('o', 0, 0);
    keyPressed('7', 0, 0);
    YCamLibre = 4;
    expectView(frameLookAt(), {-2.5, 5, 0}, {-0.0, 5, 0}, {0, 1, 0});
}

TEST_F(CameraTest, EveryModeMakesExactlyOneLookAtOnAFreshModelView)
{
    keyPressed('z', 0, 0);
    keyPressed('d', 0, 0);
    keyPressed('o', 0, 0);
    for (int mode : {0, 1, 2, 3, 4}) {
        typeCam = mode;
        for (int f = 0; f < 3; f++) {
            frameLookAt();
            long at = indexOfCall("gluLookAt");
            ASSERT_GE(at, 2) << "mode " << mode;
            EXPECT_EQ(glCalls[at - 1].name, "glLoadIdentity");
            EXPECT_EQ(glCalls[at - 2].name, "glMatrixMode");
            EXPECT_EQ(glCalls[at - 2].args, Args{GL_MODELVIEW});
            EXPECT_EQ(countCalls("glLoadIdentity"), 1u) << "mode " << mode;
        }
    }
}

// The view basis as GLU builds it, in single precision: forward from eye to
// target, side = forward x up. Empty when it stands, else why it collapses.
static std::string basisFault(const Args& a)
{
    for (double v : a)
        if (!std::isfinite(v))
            return "non-finite argument";
    double d[3] = {a[3] - a[0], a[4] - a[1], a[5] - a[2]};
    double cross[3] = {d[1] * a[8] - d[2] * a[7], d[2] * a[6] - d[0] * a[8],
                       d[0] * a[7] - d[1] * a[6]};
    if (cross[0] == 0 && cross[1] == 0 && cross[2] == 0)
        return "view direction parallel to up";

    float f[3] = {(float)d[0], (float)d[1], (float)d[2]};
    float n = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (float& v : f)
        v /= n;
    float up[3] = {(float)a[6], (float)a[7], (float)a[8]};
    float s[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2],
                  f[0] * up[1] - f[1] * up[0]};
    float sn = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (!(sn > 0) || !std::isfinite(sn))
        return "side vector collapses in single precision";
    return "";
}

// The free camera's state, set before one call of vuelibre().
struct FreeShot {
    float x, y, z, tilt, heading;
    int keys;  // bit i: camlibre485679oklm[6 + i], i.e. o, k, l, m
};

static Args shoot(const FreeShot& s)
{
    XCamLibre = s.x;
    YCamLibre = s.y;
    ZCamLibre = s.z;
    angle1CamLibre = s.tilt;
    angle2CamLibre = s.heading;
    for (int i = 0; i < 4; i++)
        camlibre485679oklm[6 + i] = (s.keys >> i) & 1;
    glRecordReset();
    vuelibre();
    EXPECT_EQ(countCalls("gluLookAt"), 1u);
    return callsNamed("gluLookAt").back().args;
}

TEST_F(CameraTest, FreeCameraViewNeverDegenerates)
{
    const float halfPi = 1.5707963267948966f;
    std::vector<float> coords = {-7, -2.5f, -1, -0.5f, 0, 0.25f, 1, 2.9999998f, 3, 1000.5f};
    std::vector<float> heights = {-3, 0, 1, 12};
    std::vector<float> angles = {0, halfPi, -halfPi, halfPi - 0.01f, halfPi + 0.01f,
                                 3.1415927f, -3.1415927f, 3.13f, -3.13f};
    for (int i = -64; i <= 64; i++)
        angles.push_back(i * 0.05f);

    int shots = 0, faults = 0;
    for (float x : coords)
        for (float z : coords)
            for (float h : heights)
                for (float a : angles)
                    for (int keys : {0, 1, 2, 4, 8, 3, 5}) {
                        FreeShot s{x, h, z, a, a, keys};
                        std::string why = basisFault(shoot(s));
                        shots++;
                        if (!why.empty() && faults++ < 5)
                            ADD_FAILURE() << why << " at eye (" << x << ", " << h << ", " << z
                                          << "), angle " << a << ", keys " << keys;
                    }
    EXPECT_EQ(faults, 0) << "of " << shots;
}

TEST_F(CameraTest, LongFreeFlightsStayNonDegenerate)
{
    // Whole frames of key polling and camera, holding o, then l, then k,
    // the eye also flying: each tilt runs more than a full turn and wraps.
    typeCam = CAM_FREE;
    const char* legs[] = {"o", "o86", "l", "l54", "k8", "m7", "o9"};
    for (const char* leg : legs) {
        for (const char* c = leg; *c; c++)
            keyPressed(*c, 0, 0);
        for (int f = 0; f < 700; f++) {
            keyboard();
            glRecordReset();
            placeCamera();
            ASSERT_EQ(countCalls("gluLookAt"), 1u);
            std::string why = basisFault(callsNamed("gluLookAt")[0].args);
            ASSERT_EQ(why, "") << "leg " << leg << " frame " << f;
        }
        for (const char* c = leg; *c; c++)
            keyUp(*c, 0, 0);
    }
}

// startup_test.cpp -- what the game is before its first frame: the planted
// forest, the crown colours, the command list, the window and its fixed GL
// state, the projection after a reshape and the 10 ms clock.

#include <GL/glut.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using StartupTest = WorldTest;

TEST_F(StartupTest, TreesArePlantedFromTheLayoutZFirst)
{
    ASSERT_EQ(nbsapin, 211);
    for (int i = 0; i < nbsapin; i++) {
        EXPECT_EQ(sapinS[i].Z, (float)tab[2 * i]) << "tree " << i;
        EXPECT_EQ(sapinS[i].X, (float)tab[2 * i + 1]) << "tree " << i;
        EXPECT_EQ(sapinS[i].Pv, 5) << "tree " << i;
        EXPECT_EQ(sapinS[i].destroy, 10.0f) << "tree " << i;
    }
    // A few trees spelled out, so a wrong layout cannot hide behind the
    // loop above: {index, X, Z}.
    const float known[][3] = {{0, -27, -27},   {1, -25.5f, -24}, {19, -24, -25.5f},
                              {94, -4.5f, 0.5f}, {111, 0.5f, -4.5f}, {201, 28.5f, 1},
                              {210, 28, 28}};
    for (const auto& k : known) {
        EXPECT_EQ(sapinS[(int)k[0]].X, k[1]) << "tree " << k[0];
        EXPECT_EQ(sapinS[(int)k[0]].Z, k[2]) << "tree " << k[0];
    }
}

TEST_F(StartupTest, EveryCoordinateOfTheLayoutIsAWholeOrHalfUnitOnTheField)
{
    for (int i = 0; i < 2 * NB_TREES; i++) {
        EXPECT_EQ(tab[i] * 2, std::floor(tab[i] * 2)) << "entry " << i;
        EXPECT_GE(tab[i], -27.5);
        EXPECT_LE(tab[i], 28.5);
    }
}

// The colour the game should give the crown for one rand() value.
static float crownFor(int r)
{
    return (float)((double)(r % 70 + 10) / 100);
}

TEST(StartupColours, OneRandPerTreeInTreeOrder)
{
    for (unsigned seed : {1u, 7u, 20240601u}) {
        startWorld(seed);
        srand(seed);
        for (int i = 0; i < NB_TREES; i++)
            ASSERT_EQ(sapinS[i].color, crownFor(rand())) << "seed " << seed << " tree " << i;

        // No extra draws: the generator is left just after the 211th value.
        int next = rand();
        startWorld(seed);
        EXPECT_EQ(rand(), next) << "seed " << seed;
    }
}

TEST(StartupColours, EveryCrownIsOneOfTheSeventyGreens)
{
    for (unsigned seed : {3u, 99u}) {
        startWorld(seed);
        for (int i = 0; i < NB_TREES; i++) {
            float c = sapinS[i].color;
            int hundredths = (int)std::lround(c * 100.0);
            EXPECT_GE(hundredths, 10);
            EXPECT_LE(hundredths, 79);
            EXPECT_EQ(c, (float)(hundredths / 100.0)) << "tree " << i;
        }
    }
}

TEST_F(StartupTest, TheWorldStartsStillAndEmpty)
{
    keyStates['z'] = 1;
    bulletS[5] = bu{1, 2, 3, 4};
    clearTables();
    EXPECT_EQ(keyStates['z'], 0);
    for (const bu& b : bulletS)
        EXPECT_EQ(b.etat, 0);
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, 1.0f);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(typeCam, 0);
    EXPECT_EQ(angleP2, 20.0f);
}

TEST(StartupOutput, CommandListByteForByte)
{
    testing::internal::CaptureStdout();
    printCommands();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Commande:\n"
              "1 //Camera surveillance\n"
              "2 //Test tps\n"
              "3 //FPS\n"
              "4 //cam livre\n"
              "5 //Mini map\n"
              "Z //avencer\n"
              "S //reculer\n"
              "Q //tourner vers la gauche\n"
              "D //tourner vers la droite\n"
              "V //Coup de poing\n"
              "espace //Tirer\n");
}

// The names of the recorded calls, in order.
static std::vector<std::string> callNames()
{
    std::vector<std::string> names;
    for (const GlCall& c : glCalls)
        names.push_back(c.name);
    return names;
}

TEST_F(StartupTest, WindowAndFixedState)
{
    int argc = 1;
    char arg0[] = "clankwise";
    char* argv[] = {arg0, nullptr};
    openWindow(&argc, argv);

    const std::vector<std::string> first = {
        "glutInit", "glutInitDisplayMode", "glutInitWindowSize", "glutInitWindowPosition",
        "glutCreateWindow", "glEnable", "glEnable", "glEnable", "glEnable", "glEnable",
        "glShadeModel", "glClearColor", "glPointSize", "glutDisplayFunc", "glutKeyboardFunc",
        "glutKeyboardUpFunc", "glutReshapeFunc"};
    std::vector<std::string> names = callNames();
    ASSERT_GE(names.size(), first.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + first.size()), first);

    EXPECT_EQ(callsNamed("glutInitDisplayMode")[0].args, std::vector<double>{16});
    EXPECT_EQ(callsNamed("glutInitWindowSize")[0].args, (std::vector<double>{500, 500}));
    EXPECT_EQ(callsNamed("glutInitWindowPosition")[0].args, (std::vector<double>{100, 100}));
    std::vector<double> enabled;
    for (const GlCall& c : callsNamed("glEnable"))
        enabled.push_back(c.args[0]);
    EXPECT_EQ(enabled, (std::vector<double>{GL_LIGHTING, GL_LIGHT2, GL_DEPTH_TEST,
                                            GL_COLOR_MATERIAL, GL_NORMALIZE}));
    EXPECT_EQ(callsNamed("glShadeModel")[0].args, std::vector<double>{GL_SMOOTH});
    EXPECT_EQ(callsNamed("glClearColor")[0].args, (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(callsNamed("glPointSize")[0].args, std::vector<double>{2});
}

TEST_F(StartupTest, ReshapeSetsViewportAndPerspectiveAndLeavesProjectionSelected)
{
    reshape(640, 480);
    EXPECT_EQ(callNames(), (std::vector<std::string>{"glViewport", "glMatrixMode",
                                                     "glLoadIdentity", "gluPerspective"}));
    EXPECT_EQ(callsNamed("glViewport")[0].args, (std::vector<double>{0, 0, 640, 480}));
    EXPECT_EQ(callsNamed("glMatrixMode")[0].args, std::vector<double>{GL_PROJECTION});
    EXPECT_EQ(callsNamed("gluPerspective")[0].args,
              (std::vector<double>{60, 640.0 / 480.0, 1, 200}));
}

TEST_F(StartupTest, AZeroSidedWindowGivesAFinitePositiveAspect)
{
    for (auto wh : {std::pair<int, int>{500, 0}, {0, 500}, {0, 0}}) {
        glRecordReset();
        reshape(wh.first, wh.second);
        ASSERT_EQ(countCalls("gluPerspective"), 1u);
        double aspect = callsNamed("gluPerspective")[0].args[1];
        EXPECT_TRUE(std::isfinite(aspect)) << wh.first << "x" << wh.second;
        EXPECT_GT(aspect, 0) << wh.first << "x" << wh.second;
        EXPECT_EQ(callsNamed("glViewport")[0].args,
                  (std::vector<double>{0, 0, (double)wh.first, (double)wh.second}));
    }
}

TEST_F(StartupTest, TheTimerAsksForAFrameAndRearmsItselfEvery10Ms)
{
    update(0);
    EXPECT_EQ(callNames(), (std::vector<std::string>{"glutPostRedisplay", "glutTimerFunc"}));
    EXPECT_EQ(callsNamed("glutTimerFunc")[0].args, (std::vector<double>{10, 0}));
}

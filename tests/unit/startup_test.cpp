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

TEST_F(StartupTest, TheWholeLayoutIsIntact)
{
    // Every coordinate is a whole or half unit, so these sums are exact; a
    // changed, swapped or shifted entry anywhere in the table changes them.
    double sum = 0, weighted = 0, squares = 0;
    for (int i = 0; i < 2 * NB_TREES; i++) {
        EXPECT_EQ(tab[i] * 2, std::floor(tab[i] * 2)) << "entry " << i;
        sum += tab[i];
        weighted += (i + 1) * tab[i];
        squares += tab[i] * tab[i];
    }
    EXPECT_EQ(sum, -55.0);
    EXPECT_EQ(weighted, 471682.0);
    EXPECT_EQ(squares, 138331.5);
}

// The colour the game should give the crown for one value of the sequence.
static float crownFor(int r)
{
    return (float)((double)(r % 70 + 10) / 100);
}

TEST(StartupColours, OneRandPerTreeInTreeOrder)
{
    for (unsigned seed : {1u, 7u, 20240601u}) {
        startWorld(seed);
        seedForest(seed);
        for (int i = 0; i < NB_TREES; i++)
            ASSERT_EQ(sapinS[i].color, crownFor(forestRand())) << "seed " << seed << " tree " << i;

        // No extra draws: the generator is left just after the 211th value.
        int next = forestRand();
        startWorld(seed);
        EXPECT_EQ(forestRand(), next) << "seed " << seed;
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

TEST_F(StartupTest, ClearingTheTablesReleasesEveryKeyAndFreesEverySlot)
{
    keyStates['z'] = 1;
    keyStates[255] = 1;
    bulletS[65].etat = 1;
    clearTables();
    for (int k = 0; k < 256; k++)
        EXPECT_EQ(keyStates[k], 0);
    for (const bu& b : bulletS)
        EXPECT_EQ(b.etat, 0);
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

// The recorded calls as "name(arg,arg)", in order; their arguments here are
// all whole numbers.
static std::vector<std::string> calls()
{
    std::vector<std::string> out;
    for (const GlCall& c : glCalls) {
        std::string s = c.name + "(";
        for (size_t i = 0; i < c.args.size(); i++)
            s += (i ? "," : "") + std::to_string((long long)c.args[i]);
        out.push_back(s + ")");
    }
    return out;
}

TEST_F(StartupTest, WindowAndFixedState)
{
    int argc = 1;
    char arg0[] = "clankwise";
    char* argv[] = {arg0, nullptr};
    openWindow(&argc, argv);
    auto e = [](int v) { return std::to_string(v); };
    const std::vector<std::string> expected = {
        // Size and place before glutInit, so that a -geometry it reads wins.
        "glutInitWindowSize(500,500)", "glutInitWindowPosition(100,100)", "glutInit()",
        "glutInitDisplayMode(16)", "glutCreateWindow()",
        "glEnable(" + e(GL_LIGHTING) + ")", "glEnable(" + e(GL_LIGHT2) + ")",
        "glEnable(" + e(GL_DEPTH_TEST) + ")", "glEnable(" + e(GL_COLOR_MATERIAL) + ")",
        "glEnable(" + e(GL_NORMALIZE) + ")", "glShadeModel(" + e(GL_SMOOTH) + ")",
        "glClearColor(0,0,0,0)", "glPointSize(2)", "glutDisplayFunc()", "glutKeyboardFunc()",
        "glutKeyboardUpFunc()", "glutReshapeFunc()"};
    std::vector<std::string> got = calls();
    ASSERT_GE(got.size(), expected.size());
    got.resize(expected.size());
    EXPECT_EQ(got, expected);
}

TEST_F(StartupTest, ReshapeSetsViewportAndPerspectiveAndLeavesProjectionSelected)
{
    reshape(640, 480);
    EXPECT_EQ(calls(), (std::vector<std::string>{
                           "glViewport(0,0,640,480)",
                           "glMatrixMode(" + std::to_string(GL_PROJECTION) + ")",
                           "glLoadIdentity()", "gluPerspective(60,1,1,200)"}));
    EXPECT_EQ(glCalls.back().args[1], 640.0 / 480.0);  // shown truncated above
}

TEST_F(StartupTest, AZeroSidedWindowGivesAFinitePositiveAspect)
{
    for (auto wh : {std::pair<int, int>{500, 0}, {0, 500}, {0, 0}}) {
        glRecordReset();
        reshape(wh.first, wh.second);
        double aspect = glCalls.back().args[1];
        EXPECT_TRUE(std::isfinite(aspect) && aspect > 0) << wh.first << "x" << wh.second;
        EXPECT_EQ(glCalls.front().args, (std::vector<double>{0, 0, (double)wh.first,
                                                             (double)wh.second}));
    }
}

TEST_F(StartupTest, TheTimerAsksForAFrameAndRearmsItselfEvery10Ms)
{
    update(0);
    EXPECT_EQ(calls(), (std::vector<std::string>{"glutPostRedisplay()", "glutTimerFunc(10,0)"}));
}

// glibc's rand() sequence, from the generator the other platforms use:
// values 1, 2, 1000 and 100000 after srand(seed), as glibc gives them. Seed 0
// counts as 1; seeds of 2^31 and more are taken as negative numbers.
TEST(ForestRandom, GlibcSequenceOnEveryPlatform)
{
    struct { unsigned seed; int v1, v2, v1000, v100000; } known[] = {
        {0u, 1804289383, 846930886, 1143565421, 660658275},
        {1u, 1804289383, 846930886, 1143565421, 660658275},
        {7u, 1045618677, 1863967299, 1850767143, 1673123431},
        {2147483648u, 1336741213, 1210407648, 193932953, 1214836719},
        {4294967295u, 254925627, 1205188300, 1892540048, 2125453799},
    };
    for (const auto& k : known) {
        glibcSrand(k.seed);
        int v[100000];
        for (int& x : v)
            x = glibcRand();
        EXPECT_EQ(v[0], k.v1) << "seed " << k.seed;
        EXPECT_EQ(v[1], k.v2) << "seed " << k.seed;
        EXPECT_EQ(v[999], k.v1000) << "seed " << k.seed;
        EXPECT_EQ(v[99999], k.v100000) << "seed " << k.seed;
    }
}

#ifdef __GLIBC__
// Where the C library is glibc, the generator follows its rand() value for
// value over 100,000 draws of seeds across the whole range.
TEST(ForestRandom, GeneratorEqualsTheCLibrary)
{
    for (unsigned seed : {0u, 1u, 2u, 12345u, 2147483647u, 2147483648u, 3000000000u, 4294967295u}) {
        srand(seed);
        glibcSrand(seed);
        for (int i = 0; i < 100000; i++)
            ASSERT_EQ(glibcRand(), rand()) << "seed " << seed << " draw " << i;
    }
}
#endif

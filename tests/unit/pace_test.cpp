// pace_test.cpp -- the game's pace: the rule that says how many frames are
// due on a clock the test sets, and frames run without their drawing, which
// must leave the game exactly where frames drawn one by one would.

#include <string>
#include <vector>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using PaceTest = WorldTest;

static double fakeNow;  // the clock the pace reads, ms
static double fakeClock() { return fakeNow; }

// The rule on a clock: a start at 1000 ms, then one tick `after` ms later.
// Paused and hidden, the game stands still: one frame, and no burst after.
TEST_F(PaceTest, FramesDueByTheClockAtMost25AtOnce)
{
    const struct {
        const char* what;
        double after;  // ms after the first frame
        int paused, hidden;
        int due;       // frames due then
        long dropped;  // frames given up on
    } cases[] = {
        {"early", 9.9, 0, 0, 0, 0},
        {"on time", 10, 0, 0, 1, 0},
        {"late by one frame", 20, 0, 0, 2, 0},
        {"late by 7 frames", 80, 0, 0, 8, 0},
        {"late by 24 frames", 250, 0, 0, 25, 0},
        {"late by 200 frames", 2010, 0, 0, 25, 176},
        {"paused and late", 2010, 1, 0, 1, 0},
        {"hidden and late", 2010, 0, 1, 1, 0},
    };
    for (const auto& c : cases) {
        resetPace();
        paused = c.paused;
        windowHidden = c.hidden;
        EXPECT_EQ(framesDue(1000), 1) << c.what;
        EXPECT_EQ(framesDue(1000 + c.after), c.due) << c.what;
        EXPECT_EQ(framesDropped, c.dropped) << c.what;
        // The tick after that, 10 ms on, finds one frame due: no frame is
        // run twice, and none is owed after a drop, a pause or a hiding.
        paused = windowHidden = 0;
        EXPECT_EQ(framesDue(1000 + c.after + 10), 1) << c.what;
    }
}

// The timer: where the machine keeps up, one redisplay per tick and the
// next tick when the next frame is due; frames found due wait for the
// redisplay, which runs them all and draws the last. With the designed
// pacing, a redisplay every 10 ms whatever the clock says.
TEST_F(PaceTest, TheTimerAsksForTheFramesDueAndComesBackWhenTheNextIs)
{
    double (*realClock)() = paceClock;
    paceClock = fakeClock;
    fakeNow = 500;
    update(0);
    EXPECT_EQ(countCalls("glutPostRedisplay"), 1u);
    EXPECT_EQ(callsNamed("glutTimerFunc").back().args[0], 10);
    runDueFrames(display);

    glRecordReset();
    fakeNow = 513.5;  // 3.5 ms late: the next frame is due in 6.5 ms
    update(0);
    EXPECT_EQ(callsNamed("glutTimerFunc").back().args[0], 7);
    fakeNow = 545;  // 3 frames more are due: 4 wait for the redisplay
    update(0);
    glRecordReset();
    runDueFrames(display);
    EXPECT_EQ(countCalls("gluLookAt"), 4u);  // four frames ran...
    EXPECT_EQ(countCalls("glFlush"), 1u);    // ...and one was shown

    glRecordReset();
    runDueFrames(display);  // GLUT's own redraw, with no frame due: one frame
    EXPECT_EQ(countCalls("glFlush"), 1u);

    glRecordReset();
    fakeNow = 546;
    update(0);
    EXPECT_EQ(countCalls("glutPostRedisplay"), 0u);  // nothing due yet

    designedPacing = 1;
    glRecordReset();
    update(0);
    EXPECT_EQ(countCalls("glutPostRedisplay"), 1u);
    EXPECT_EQ(callsNamed("glutTimerFunc").back().args[0], 10);
    designedPacing = 0;
    paceClock = realClock;
}

// A frame that is not drawn draws nothing, but keeps what the next drawn
// frame takes over: the camera's matrix and the robot's light.
TEST_F(PaceTest, AFrameNotDrawnKeepsTheCameraAndTheLightAndDrawsNothing)
{
    keyPressed('v', 0, 0);
    bulletS[0] = bu{1, 0, 3, -3};
    sapinS[94].destroy = 9.5f;
    for (int drawn : {1, 0}) {
        glRecordReset();
        frameDrawn = drawn;
        display();
        frameDrawn = 1;
        EXPECT_EQ(countCalls("gluLookAt"), 1u) << drawn;
        EXPECT_EQ(countCalls("glLightfv"), 3u) << drawn;
        size_t drawing = 0;
        for (const char* name : {"glClear", "glBegin", "glutSolidSphere", "glutSolidCone",
                                 "gluCylinder", "glCallList", "glutSwapBuffers", "glFlush"})
            drawing += countCalls(name);
        EXPECT_EQ(drawing > 0, drawn == 1) << drawn;
    }
}

// Frames run in groups with only the last drawn give the very same game as
// frames drawn one by one: in every camera, with bullets in flight, a tree
// sinking, a punch running and the free camera flying.
static std::vector<std::string> trace;

static void tracedFrame()
{
    display();
    std::vector<unsigned char> bytes(WORLD_BYTES);
    saveWorld(bytes.data());
    trace.push_back(std::string(bytes.begin(), bytes.end()) + std::to_string(hintFrames));
}

TEST_F(PaceTest, FramesNotDrawnLeaveTheGameWhereDrawnOnesWould)
{
    for (int mode : {CAM_SURVEILLANCE, CAM_CHASE, CAM_FIRST_PERSON, CAM_MAP, CAM_FREE}) {
        std::vector<std::string> traces[2];
        for (int grouped : {0, 1}) {
            startGame(1, 1);  // the player's interface: the hint counts down too
            immediateDrawing = grouped;  // both drawings, the lists' culling included
            for (unsigned char k : {'z', 'q', ' ', 'v', '8', 'k'})
                keyPressed(k, 0, 0);
            hintFrames = START_HINT_FRAMES;
            sapinS[94].destroy = 9.5f;
            typeCam = mode;
            trace.clear();
            for (int f = 0; f < 150; f += grouped ? 25 : 1)
                runFrames(grouped ? 25 : 1, tracedFrame);
            traces[grouped] = trace;
        }
        ASSERT_EQ(traces[0].size(), 150u);
        EXPECT_TRUE(traces[0] == traces[1]) << "camera " << mode;
        EXPECT_NE(traces[0].front(), traces[0].back()) << "nothing moved: the test shows nothing";
    }
}

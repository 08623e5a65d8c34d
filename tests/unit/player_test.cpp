// player_test.cpp -- what the game adds for the player at the keyboard: the
// pause, which must leave the game exactly where it stopped; the keys that
// pause, show the help and switch to fullscreen; Caps Lock and keys let go
// in the other case; an overlay that never draws outside the game itself;
// a timer that stops with the window; --no-hint.

#include <cstdio>
#include <string>
#include <vector>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using PlayerTest = WorldTest;

// Every byte of the world a frame may change: the list the pause keeps.
static std::vector<unsigned char> worldAsBytes()
{
    std::vector<unsigned char> bytes(WORLD_BYTES);
    saveWorld(bytes.data());
    return bytes;
}

// The state of the game as a player sees it, every float to the bit, listed
// here by hand: a piece the list above forgot still shows in the traces.
static std::string worldState()
{
    std::string s;
    char buf[64];
    auto add = [&](double v) { snprintf(buf, sizeof buf, "%a ", v), s += buf; };
    for (float v : {X0, Z0, angle, roue1, roue2, Xc, Zc, XCamLibre, YCamLibre, ZCamLibre,
                    angle1CamLibre, angle2CamLibre, angleP1, angleP2})
        add(v);
    for (int v : {bull, hit, punch, typeCam})
        add(v);
    for (const bu& b : bulletS)
        add(b.etat), add(b.dir), add(b.X), add(b.Z);
    for (const sa& t : sapinS)
        add(t.Pv), add(t.destroy);
    return s;
}

// A game that keeps everything moving: driving and turning, shooting and
// punching, a tree sinking, the free camera's keys.
static void busyKeys()
{
    for (unsigned char k : {'z', 'q', ' ', 'v', '8', 'k'})
        keyPressed(k, 0, 0);
    sapinS[94].destroy = 9.5f;
}

// Bullets in flight across the open middle of the field.
static void bulletsInFlight()
{
    for (int i = 0; i < 3; i++)
        bulletS[60 + i] = bu{1, 0.5f * i, 3.0f + i, -3.0f};
}

TEST_F(PlayerTest, APauseLeavesTheGameExactlyWhereItStopped)
{
    const int before = 35, during = 40, after = 30;  // 35: a punch under way
    // In every camera mode: the trace without a pause, then with one, in
    // which the keys stay held and more are pressed and let go. A paused
    // frame must leave every byte of the world as it was.
    for (int mode : {CAM_SURVEILLANCE, CAM_CHASE, CAM_FIRST_PERSON, CAM_MAP, CAM_FREE}) {
        std::vector<std::string> plain, withPause;
        for (int run = 0; run < 2; run++) {
            startWorld(1);
            busyKeys();
            typeCam = mode;
            std::vector<std::string>& trace = run ? withPause : plain;
            for (int f = 0; f < before + after; f++) {
                if (f == before)
                    bulletsInFlight();
                if (run == 1 && f == before) {
                    keyPressed('p', 0, 0);
                    std::vector<unsigned char> atPause = worldAsBytes();
                    for (int g = 0; g < during; g++) {
                        keyPressed(g % 2 ? 'd' : 'x', 0, 0);
                        keyUp('x', 0, 0);
                        display();
                        ASSERT_EQ(worldAsBytes(), atPause) << "mode " << mode << ", paused frame " << g;
                    }
                    keyUp('d', 0, 0);
                    keyPressed('p', 0, 0);
                }
                display();
                trace.push_back(worldState());
            }
            EXPECT_EQ(paused, 0);
        }
        EXPECT_EQ(plain, withPause) << "mode " << mode;
        EXPECT_NE(plain.front(), plain.back()) << "nothing moved: the test shows nothing";
    }
}

TEST_F(PlayerTest, PausedFramesStillDrawAndKeepThePlayersKeys)
{
    keyPressed('z', 0, 0);
    keyPressed('p', 0, 0);
    display();
    EXPECT_GT(countCalls("gluLookAt"), 0u);  // the camera keeps drawing
    EXPECT_GT(countCalls("glutSolidCone") + countCalls("glCallList"), 0u);
    EXPECT_EQ(keyStates['z'], 1);  // held through the pause, it acts after it
    keyPressed('p', 0, 0);
    display();
    EXPECT_EQ(X0, 0.75f);
}

TEST_F(PlayerTest, KeysThatPauseShowHelpAndSwitchToFullscreen)
{
    const struct {
        unsigned char key;
        int* flag;
    } toggles[] = {{'p', &paused}, {'P', &paused}, {'h', &helpShown}, {'H', &helpShown},
                   {'?', &helpShown}, {'n', &soundMuted}, {'N', &soundMuted}};
    for (const auto& t : toggles) {
        keyPressed(t.key, 0, 0);
        EXPECT_EQ(*t.flag, 1) << t.key;
        keyUp(t.key, 0, 0);
        keyPressed(t.key, 0, 0);
        EXPECT_EQ(*t.flag, 0) << t.key;
    }
    // F11 is the game's own: the tools keep their window as it is.
    specialPressed(GLUT_KEY_F11, 0, 0);
    EXPECT_EQ(countCalls("glutFullScreenToggle"), 0u);
    playerInterface = 1;
    specialPressed(GLUT_KEY_F11, 0, 0);
    EXPECT_EQ(countCalls("glutFullScreenToggle"), 1u);
}

TEST_F(PlayerTest, AnyKeyEndsTheStartHint)
{
    for (int special : {0, 1}) {
        hintFrames = 600;
        if (special)
            specialPressed(GLUT_KEY_SHIFT_L, 0, 0);
        else
            keyPressed('x', 0, 0);
        EXPECT_EQ(hintFrames, 0) << special;
    }
}

TEST_F(PlayerTest, CapsLockIsToldFromShiftAndLettersComeUpInEitherCase)
{
    keyPressed('Z', 0, 0);  // upper case with no Shift: Caps Lock
    EXPECT_EQ(capsLock, 1);
    keyUp('Z', 0, 0);
    keyPressed('z', 0, 0);
    EXPECT_EQ(capsLock, 0);
    keyUp('z', 0, 0);
    specialPressed(GLUT_KEY_SHIFT_R, 0, 0);
    keyPressed('Z', 0, 0);  // upper case under Shift: no Caps Lock
    EXPECT_EQ(capsLock, 0);

    // Shift still held but forgotten by the table (the window lost the
    // focus meanwhile): the platform says Caps Lock is off, so no note.
    releaseAllKeys();
    capsLockState = [] { return 0; };
    keyPressed('Z', 0, 0);
    EXPECT_EQ(capsLock, 0);
    capsLockState = [] { return 1; };
    keyPressed('Z', 0, 0);
    EXPECT_EQ(capsLock, 1);
    capsLockState = nullptr;

    // z pressed, then Caps Lock turned on, then z let go: X reports Z.
    releaseAllKeys();
    keyPressed('z', 0, 0);
    keyUp('Z', 0, 0);
    keyboard();
    EXPECT_EQ(HBGDplay[1], 0);
}

TEST_F(PlayerTest, TheOverlayDrawsOnlyInTheGameAndPutsItsStateBack)
{
    helpShown = 1;
    paused = 1;
    capsLock = 1;
    hintFrames = 10;
    drawOverlay();
    EXPECT_TRUE(glCalls.empty()) << "a tool's or a test's picture would change";

    playerInterface = 1;
    for (int help : {1, 0}) {
        glRecordReset();
        helpShown = help;
        drawOverlay();
        EXPECT_GT(countCalls("glutBitmapString"), 0u) << help;
        EXPECT_EQ(countCalls("glPushAttrib"), countCalls("glPopAttrib")) << help;
        EXPECT_EQ(countCalls("glPushMatrix"), countCalls("glPopMatrix")) << help;
        ASSERT_FALSE(glCalls.empty());
        EXPECT_EQ(glCalls.back().name, "glPopAttrib") << help;
    }
    // With nothing to say, nothing is drawn.
    glRecordReset();
    helpShown = paused = capsLock = hintFrames = 0;
    drawOverlay();
    EXPECT_TRUE(glCalls.empty());
}

TEST_F(PlayerTest, NoFrameIsAskedForOnceTheWindowIsClosed)
{
    windowGone = 1;
    update(0);
    EXPECT_TRUE(glCalls.empty());
}

TEST_F(PlayerTest, NoHintOptionTurnsTheStartHintOff)
{
    char a0[] = "clankwise", a1[] = "--no-hint";
    char* argv[] = {a0, a1, nullptr};
    EXPECT_EQ(readCommandLine(2, argv), -1);
    startGame(1, 1);
    EXPECT_EQ(hintFrames, 0);
    startHint = 1;
    startGame(1, 1);
    EXPECT_EQ(hintFrames, START_HINT_FRAMES);
}

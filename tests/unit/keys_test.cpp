// keys_test.cpp -- the held-key table and what a frame makes of it: movement
// flags, the camera mode keys of the French top row, the free-camera flags,
// and keys that must do nothing.

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using KeysTest = WorldTest;

static void press(unsigned char k) { keyPressed(k, 0, 0); }
static void release(unsigned char k) { keyUp(k, 0, 0); }

// Every flag of `flags` is 0 but the one at `on` (none when -1).
static void expectOnly(const int* flags, int n, int on, int key)
{
    for (int f = 0; f < n; f++)
        EXPECT_EQ(flags[f], f == on ? 1 : 0) << "key " << key << ", flag " << f;
}

TEST_F(KeysTest, EachFlagKeySetsItsOwnFlagOnlyWhileHeld)
{
    const char move[] = "szqd";  // back, forward, left, right
    const char freeCam[] = "485679oklm";
    for (int f = 0; f < 14; f++) {
        unsigned char k = f < 4 ? move[f] : freeCam[f - 4];
        press(k);
        keyboard();
        expectOnly(HBGDplay, 4, f < 4 ? f : -1, k);
        expectOnly(camlibre485679oklm, 10, f < 4 ? -1 : f - 4, k);
        release(k);
        keyboard();
        expectOnly(HBGDplay, 4, -1, k);
        expectOnly(camlibre485679oklm, 10, -1, k);
    }
}

TEST_F(KeysTest, AKeyPressedAndReleasedBetweenFramesLeavesNoTrace)
{
    // Drive, turn, fire, punch, a mode key and a free-camera key, each
    // tapped between two frames.
    for (unsigned char k : {'z', 'q', ' ', 'v', '(', '4'}) {
        press(k);
        release(k);
    }
    display();
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(typeCam, CAM_SURVEILLANCE);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(bulletS[0].etat, 0);
    expectOnly(HBGDplay, 4, -1, 0);
    expectOnly(camlibre485679oklm, 10, -1, 0);

    press('z');  // held over the frame, it does act
    display();
    EXPECT_EQ(X0, 0.75f);
}

TEST_F(KeysTest, ModeKeysOfTheTopRowWithTheLastTwoCrossedAndKept)
{
    const struct { unsigned char key; int mode; } map[] = {
        {38, 0}, {233, 1}, {34, 2}, {39, 4}, {40, 3}};
    typeCam = CAM_FIRST_PERSON;
    for (const auto& m : map) {
        press(m.key);
        keyboard();
        EXPECT_EQ(typeCam, m.mode) << "key " << (int)m.key;
        release(m.key);
        keyboard();
        EXPECT_EQ(typeCam, m.mode) << "after key " << (int)m.key << " is released";
    }
}

TEST_F(KeysTest, TheLaterModeTestWinsWhenTwoAreHeld)
{
    press('&');
    press('(');
    keyboard();
    EXPECT_EQ(typeCam, CAM_MAP);
    press(233);  // é loses to (
    keyboard();
    EXPECT_EQ(typeCam, CAM_MAP);
    release('(');
    keyboard();
    EXPECT_EQ(typeCam, CAM_CHASE);  // and beats &
}

TEST_F(KeysTest, UpperCaseLettersAndUnknownCodesDoNothing)
{
    const unsigned char ignored[] = {'Z', 'Q', 'S', 'D', 'V', 'O', 'K', 'L', 'M', 0, 127, 200, 255};
    for (unsigned char k : ignored)
        press(k);
    EXPECT_EQ(keyStates[255], 1);
    for (int frame = 0; frame < 5; frame++)
        display();
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, 1.0f);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(typeCam, CAM_SURVEILLANCE);
    expectOnly(HBGDplay, 4, -1, 0);
    expectOnly(camlibre485679oklm, 10, -1, 0);

    press('v');  // lower-case v, by contrast, starts a punch
    display();
    EXPECT_NE(hit, 0);
}

TEST_F(KeysTest, EscapeLeavesTheMainLoopAndIsNeverHeld)
{
    glRecordReset();
    press(27);
    EXPECT_EQ(countCalls("glutLeaveMainLoop"), 1u);
    EXPECT_EQ(keyStates[27], 0);
    press('z');
    EXPECT_EQ(countCalls("glutLeaveMainLoop"), 1u);
}

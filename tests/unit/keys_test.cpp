// keys_test.cpp -- the held-key table and what a frame makes of it: movement
// flags, the camera mode keys of the French top row, the free-camera flags,
// and keys that must do nothing.

#include "game.h"
#include "test_world.h"

using KeysTest = WorldTest;

static void press(unsigned char k) { keyPressed(k, 0, 0); }
static void release(unsigned char k) { keyUp(k, 0, 0); }

TEST_F(KeysTest, EachMovementKeySetsItsOwnFlagOnly)
{
    const struct { unsigned char key; int flag; } map[] = {
        {'s', 0}, {'z', 1}, {'q', 2}, {'d', 3}};
    for (const auto& m : map) {
        press(m.key);
        keyboard();
        for (int f = 0; f < 4; f++)
            EXPECT_EQ(HBGDplay[f], f == m.flag ? 1 : 0) << "key " << m.key << " flag " << f;
        release(m.key);
        keyboard();
        EXPECT_EQ(HBGDplay[m.flag], 0) << "key " << m.key << " released";
    }
}

TEST_F(KeysTest, AKeyPressedAndReleasedBetweenFramesLeavesNoTrace)
{
    // Fire, punch, drive, turn and a mode key, all tapped between frames.
    for (unsigned char k : {'z', 'q', ' ', 'v', '(', '4'}) {
        press(k);
        release(k);
    }
    display();
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, 1.0f);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(typeCam, 0);
    EXPECT_EQ(hit, 0);
    for (const bu& b : bulletS)
        EXPECT_EQ(b.etat, 0);
    for (int f = 0; f < 4; f++)
        EXPECT_EQ(HBGDplay[f], 0);
    EXPECT_EQ(camlibre485679oklm[0], 0);

    // The same key held over the frame does act.
    press('z');
    display();
    EXPECT_EQ(X0, 0.75f);
}

TEST_F(KeysTest, ModeKeysOfTheTopRowWithTheLastTwoCrossed)
{
    const struct { unsigned char key; int mode; } map[] = {
        {38, 0}, {233, 1}, {34, 2}, {39, 4}, {40, 3}};
    typeCam = 2;
    for (const auto& m : map) {
        press(m.key);
        keyboard();
        EXPECT_EQ(typeCam, m.mode) << "key " << (int)m.key;
        release(m.key);
        keyboard();
        EXPECT_EQ(typeCam, m.mode) << "the mode stays after key " << (int)m.key;
    }
}

TEST_F(KeysTest, TheLaterModeTestWinsWhenTwoAreHeld)
{
    press('&');
    press('(');
    keyboard();
    EXPECT_EQ(typeCam, 3);
    press(233);  // é loses to (
    keyboard();
    EXPECT_EQ(typeCam, 3);
    release('(');
    keyboard();
    EXPECT_EQ(typeCam, 1);  // é beats &
}

TEST_F(KeysTest, FreeCameraFlagsFollowTheirKeys)
{
    const char keysInFlagOrder[] = "485679oklm";
    for (int f = 0; f < 10; f++) {
        press(keysInFlagOrder[f]);
        keyboard();
        for (int g = 0; g < 10; g++)
            EXPECT_EQ(camlibre485679oklm[g], g == f ? 1 : 0)
                << "key " << keysInFlagOrder[f] << " flag " << g;
        release(keysInFlagOrder[f]);
    }
    keyboard();
    for (int g = 0; g < 10; g++)
        EXPECT_EQ(camlibre485679oklm[g], 0);
}

TEST_F(KeysTest, UpperCaseLettersDoNothing)
{
    for (unsigned char k : {'Z', 'Q', 'S', 'D', 'V', 'O', 'K', 'L', 'M'})
        press(k);
    for (int frame = 0; frame < 5; frame++)
        display();
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(Z0, 1.0f);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(punch, 0);
    for (int f = 0; f < 4; f++)
        EXPECT_EQ(HBGDplay[f], 0);
    for (int g = 0; g < 10; g++)
        EXPECT_EQ(camlibre485679oklm[g], 0);

    // Lower-case v, by contrast, starts a punch.
    press('v');
    display();
    EXPECT_NE(hit, 0);
}

TEST_F(KeysTest, EveryCodeIndexesTheTableAndUnknownCodesAreIgnored)
{
    for (int k = 0; k < 256; k++)
        press((unsigned char)k);
    for (int k = 0; k < 256; k++)
        EXPECT_EQ(keyStates[k], 1) << k;
    for (int k = 0; k < 256; k++)
        release((unsigned char)k);
    for (int k = 0; k < 256; k++)
        EXPECT_EQ(keyStates[k], 0) << k;

    for (int k : {0, 1, 65, 127, 200, 255})
        press((unsigned char)k);
    display();
    EXPECT_EQ(X0, 1.0f);
    EXPECT_EQ(typeCam, 0);
}

// twins_test.cpp -- the arrow and function-key twins of the character keys,
// and the held-key tables never keeping a key the player has let go: not
// after a modifier changed its character, not after the window was hidden,
// not for key codes outside the tables.

#include <climits>
#include <vector>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

// One poll of the keys and what it derived: the four robot flags, the ten
// free-camera flags, the camera mode and the punch state.
static std::vector<int> poll()
{
    keyboard();
    std::vector<int> v(HBGDplay, HBGDplay + 4);
    v.insert(v.end(), camlibre485679oklm, camlibre485679oklm + 10);
    v.push_back(typeCam);
    v.push_back(hit);
    return v;
}

// A poll's result with only robot flag `flag` set (none if -1) and `mode`.
static std::vector<int> only(int flag, int mode)
{
    std::vector<int> v(16, 0);
    if (flag >= 0)
        v[flag] = 1;
    v[14] = mode;
    return v;
}

static bool nothingHeld()
{
    for (int i = 0; i < 256; i++)
        if (keyStates[i] != 0 || specialStates[i] != 0)
            return false;
    return true;
}

struct Twin {
    unsigned char key;  // the character key
    int special;        // its twin
    int flag;           // robot flag it sets, or -1
    int mode;           // camera mode it selects, or -1
};

// In the order keyboard() tests them; the mode keys in their designed
// precedence, later rows winning.
static const Twin movers[] = {
    {'q', GLUT_KEY_LEFT, 2, -1},
    {'d', GLUT_KEY_RIGHT, 3, -1},
    {'s', GLUT_KEY_DOWN, 0, -1},
    {'z', GLUT_KEY_UP, 1, -1},
};
static const Twin modeKeys[] = {
    {38, GLUT_KEY_F1, -1, 0},  {233, GLUT_KEY_F2, -1, 1}, {34, GLUT_KEY_F3, -1, 2},
    {39, GLUT_KEY_F4, -1, 4},  {40, GLUT_KEY_F5, -1, 3},
};

class TwinsTest : public WorldTest {};

TEST_F(TwinsTest, ArrowsSetExactlyTheFlagOfTheirLetter)
{
    for (const Twin& t : movers) {
        resetTestWorld();
        keyPressed(t.key, 0, 0);
        std::vector<int> byKey = poll();
        resetTestWorld();
        specialPressed(t.special, 0, 0);
        EXPECT_EQ(poll(), only(t.flag, 0)) << "twin of " << t.key;
        EXPECT_EQ(poll(), byKey) << "twin of " << t.key;  // held: every frame
        keyPressed(t.key, 0, 0);
        EXPECT_EQ(poll(), byKey) << "both held, " << t.key;
        keyUp(t.key, 0, 0);
        specialUp(t.special, 0, 0);
        EXPECT_EQ(poll(), only(-1, 0)) << "released, " << t.key;
    }

    // The letters stay case-sensitive: upper case does nothing.
    for (unsigned char c : {'Z', 'Q', 'S', 'D', 'V'})
        keyPressed(c, 0, 0);
    EXPECT_EQ(poll(), only(-1, 0));
}

TEST_F(TwinsTest, FunctionKeysSelectTheModesOfTheTopRow)
{
    for (const Twin& t : modeKeys) {
        for (bool twin : {false, true}) {
            resetTestWorld();
            typeCam = (t.mode + 2) % 5;
            if (twin)
                specialPressed(t.special, 0, 0);
            else
                keyPressed(t.key, 0, 0);
            EXPECT_EQ(poll(), only(-1, t.mode)) << "key " << (int)t.key << " twin " << twin;
            releaseAllKeys();
            EXPECT_EQ(poll(), only(-1, t.mode)) << "the mode stays after release";
        }
    }
}

TEST_F(TwinsTest, HeldModeKeysOfBothKindsFollowTheDesignedOrder)
{
    // Every set of the ten mode keys: the latest row held wins, whichever
    // kind of key holds it; with none held the mode stays.
    for (int set = 0; set < 1 << 10; set++) {
        resetTestWorld();
        typeCam = CAM_CHASE;
        int want = 1;
        for (int row = 0; row < 5; row++) {
            if (set & (1 << row))
                keyPressed(modeKeys[row].key, 0, 0);
            if (set & (1 << (row + 5)))
                specialPressed(modeKeys[row].special, 0, 0);
            if (set & (1 << row | 1 << (row + 5)))
                want = modeKeys[row].mode;
        }
        poll();
        ASSERT_EQ(typeCam, want) << "key set " << set;
    }
}

TEST_F(TwinsTest, KeyTappedBetweenTwoFramesLeavesNoTrace)
{
    std::vector<Twin> all(movers, movers + 4);
    all.insert(all.end(), modeKeys, modeKeys + 5);
    for (const Twin& t : all) {
        for (bool twin : {false, true}) {
            resetTestWorld();
            int start = (t.mode + 1) % 5;  // never the tapped key's mode
            typeCam = start;
            if (twin) {
                specialPressed(t.special, 0, 0);
                specialUp(t.special, 0, 0);
            } else {
                keyPressed(t.key, 0, 0);
                keyUp(t.key, 0, 0);
            }
            EXPECT_EQ(poll(), only(-1, start)) << "key " << (int)t.key << " twin " << twin;
            EXPECT_TRUE(nothingHeld());
        }
    }
}

TEST_F(TwinsTest, ModifierBetweenPressAndReleaseLeavesNoKeyHeld)
{
    const int modifiers[] = {GLUT_KEY_SHIFT_L, GLUT_KEY_SHIFT_R, GLUT_KEY_CTRL_L,
                             GLUT_KEY_CTRL_R,  GLUT_KEY_ALT_L,   GLUT_KEY_ALT_R};
    // A key's character without and with the modifier: letters, and top-row
    // keys whose shifted character is a digit.
    const unsigned char keys[][2] = {{'z', 'Z'}, {'v', 'V'}, {'&', '1'}, {233, '2'}};
    for (int mod : modifiers)
        for (const auto& k : keys) {
            // Key down, modifier down, key up under its new character: let
            // go at once, even while the modifier is still held.
            resetTestWorld();
            keyPressed(k[0], 0, 0);
            specialPressed(mod, 0, 0);
            keyUp(k[1], 0, 0);
            for (int i = 0; i < 256; i++)
                ASSERT_EQ(keyStates[i], 0) << "modifier " << mod << ", key " << (int)k[0];
            specialUp(mod, 0, 0);
            EXPECT_TRUE(nothingHeld());
            EXPECT_EQ(poll(), only(-1, typeCam));

            // Modifier down, key down, modifier up, key up unmodified.
            resetTestWorld();
            specialPressed(mod, 0, 0);
            keyPressed(k[1], 0, 0);
            specialUp(mod, 0, 0);
            keyUp(k[0], 0, 0);
            EXPECT_TRUE(nothingHeld()) << "modifier " << mod << ", key " << (int)k[1];
            EXPECT_EQ(poll(), only(-1, typeCam));
        }

    // A modifier down and up again while z is held, then z released.
    resetTestWorld();
    keyPressed('z', 0, 0);
    specialPressed(GLUT_KEY_SHIFT_L, 0, 0);
    specialUp(GLUT_KEY_SHIFT_L, 0, 0);
    keyUp('z', 0, 0);
    EXPECT_TRUE(nothingHeld());
    EXPECT_EQ(poll(), only(-1, 0));
}

TEST_F(TwinsTest, ArrowKeepsDrivingWhileShiftComesAndGoes)
{
    // A special key keeps its code under any modifier.
    specialPressed(GLUT_KEY_UP, 0, 0);
    specialPressed(GLUT_KEY_SHIFT_L, 0, 0);
    EXPECT_EQ(poll(), only(1, 0));
    specialUp(GLUT_KEY_SHIFT_L, 0, 0);
    EXPECT_EQ(poll(), only(1, 0));
    specialUp(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(poll(), only(-1, 0));
    EXPECT_TRUE(nothingHeld());
}

TEST_F(TwinsTest, HidingTheWindowReleasesEveryKeyOfBothTables)
{
    // Specials first: a modifier going down lets go of the characters.
    for (int i = 0; i < 256; i++)
        specialPressed(i, 0, 0);
    for (int i = 0; i < 256; i++)
        keyPressed((unsigned char)i, 0, 0);

    windowStatus(GLUT_VISIBLE);
    EXPECT_EQ(keyStates['z'], 1);
    EXPECT_EQ(specialStates[GLUT_KEY_F5], 1);

    windowStatus(GLUT_HIDDEN);
    EXPECT_TRUE(nothingHeld());
    EXPECT_EQ(poll(), only(-1, 0));
}

// The input globals as raw values, to see that nothing was written past a
// table's end.
static std::vector<int> inputMemory()
{
    std::vector<int> v(keyStates, keyStates + 256);
    v.insert(v.end(), specialStates, specialStates + 256);
    v.insert(v.end(), HBGDplay, HBGDplay + 4);
    v.insert(v.end(), camlibre485679oklm, camlibre485679oklm + 10);
    v.push_back(typeCam);
    return v;
}

TEST_F(TwinsTest, SpecialCodesOutsideTheTableAreIgnored)
{
    // Mark the ends of every input table, so that a stray write into a
    // neighbour shows (the sanitizer build sees it regardless of layout).
    keyStates[0] = keyStates[255] = 1;
    specialStates[0] = specialStates[255] = 1;
    HBGDplay[0] = HBGDplay[3] = 1;
    camlibre485679oklm[0] = camlibre485679oklm[9] = 1;
    typeCam = CAM_FREE;
    const std::vector<int> before = inputMemory();
    const int codes[] = {-1, -256, 256, 257, 1000, 0x10000, INT_MIN, INT_MAX};
    for (int code : codes) {
        specialPressed(code, 0, 0);
        EXPECT_EQ(inputMemory(), before) << "pressed " << code;
        specialUp(code, 0, 0);
        EXPECT_EQ(inputMemory(), before) << "released " << code;
    }
}

// keys.cpp -- input is a table of held keys, not a stream of presses: the
// GLUT callbacks keep the tables up to date between frames, and keyboard()
// turns them into this frame's flags and commands once, at its start.
//
// The controls, all in one place: the table below is what --help, the help
// over the game and the web page show; the README's table, the manual
// page's and the Windows README's are checked against --help's in the
// installation test. The mode characters are
// those of the unshifted top row of a French keyboard; the arrow and
// function keys work on any layout.

#include "game.h"

// Key, twin, pad, action. On the pad, A B X Y are the face buttons by
// place (bottom, right, left, top), L3 and R3 the sticks pressed in.
const char* const CONTROLS[NB_CONTROLS][4] = {
    {"z", "Up", "L stick/d-pad up", "drive forward"},
    {"s", "Down", "L stick/d-pad down", "drive back"},
    {"q", "Left", "L stick/d-pad left", "turn left"},
    {"d", "Right", "L stick/d-pad right", "turn right"},
    {"space", "", "A", "fire (one shot every 10 frames)"},
    {"v", "", "B", "punch, the arms in turn"},
    {"& (top-row 1)", "F1", "", "surveillance camera"},
    {"é (top-row 2)", "F2", "X", "chase camera"},
    {"\" (top-row 3)", "F3", "L3", "first-person camera"},
    {"' (top-row 4)", "F4", "R3", "free camera"},
    {"( (top-row 5)", "F5", "Y", "overhead map"},
    {"", "", "RB / LB", "next / previous camera"},
    {"8 / 5", "", "L stick", "free camera: move along Z, turned with its heading"},
    {"6 / 4", "", "L stick", "free camera: move along X, turned with its heading"},
    {"7 / 9", "", "RT / LT", "free camera: up / down"},
    {"o / l", "", "R stick", "free camera: tilt"},
    {"k / m", "", "R stick", "free camera: turn"},
    {"h or ?", "", "Back", "show or hide these controls"},
    {"p", "", "Start", "pause, and go on"},
    {"n", "", "", "sound off, and on"},
    {"F11", "", "", "fullscreen, and back"},
    {"Escape", "", "", "quit"},
};

static int isUpper(int key) { return key >= 'A' && key <= 'Z'; }
static int isLower(int key) { return key >= 'a' && key <= 'z'; }

// An upper-case letter with no Shift in the table means Caps Lock, unless
// the platform says otherwise: the table forgets a Shift still held when the
// window lost the focus or was hidden. Reads specialStates, capsLockState;
// writes capsLock.
static void noteCapsLock(unsigned char key)
{
    int shift = specialStates[GLUT_KEY_SHIFT_L] == 1 || specialStates[GLUT_KEY_SHIFT_R] == 1;
    if (isUpper(key) && !shift && (capsLockState == nullptr || capsLockState()))
        capsLock = 1;
    if (isLower(key))
        capsLock = 0;
}

// Marks a character key held; Escape quits, p pauses, h and ? show the
// controls, n turns the sound off and on (p, h and n in either case). Any
// key ends the start hint. Writes keyStates, hintFrames, helpShown,
// soundMuted, capsLock and, through togglePause, paused.
void keyPressed(unsigned char key, int x, int y)
{
    (void)x;
    (void)y;
    hintFrames = 0;
    // Escape, which no command uses, quits: the main loop returns and the
    // window is taken down as when it is closed.
    if (key == 27) {
        glutLeaveMainLoop();
        return;
    }
    // Unlike the commands, these answer in either case: the notes tell a
    // player with Caps Lock on to press H.
    if (key == 'p' || key == 'P')
        togglePause();
    if (key == 'h' || key == 'H' || key == '?')
        helpShown = !helpShown;
    if (key == 'n' || key == 'N')
        soundMuted = !soundMuted;
    noteCapsLock(key);
    keyStates[key] = 1;
}

// Marks a character key released. A letter pressed before Caps Lock changed
// comes up in the other case, so both cases of a letter are let go.
// Writes keyStates.
void keyUp(unsigned char key, int x, int y)
{
    (void)x;
    (void)y;
    keyStates[key] = 0;
    if (isUpper(key))
        keyStates[key - 'A' + 'a'] = 0;
    if (isLower(key))
        keyStates[key - 'a' + 'A'] = 0;
}

// A modifier turns the character a key sends into another one ('z' into 'Z',
// '&' into '1'), so a key pressed before the change is released under another
// code and would stay held forever. Whenever a modifier goes down or up,
// every character key is therefore let go.
static int isModifier(int key)
{
    return key >= GLUT_KEY_SHIFT_L && key <= GLUT_KEY_ALT_R;
}

static void releaseCharacterKeys()
{
    for (int i = 0; i < 256; i++)
        keyStates[i] = 0;
}

// Marks a special key (arrow, function key, modifier) held; in the game
// itself F11 switches to fullscreen and back. Any key ends the start hint.
// Writes specialStates, hintFrames, and keyStates when a modifier goes down.
void specialPressed(int key, int x, int y)
{
    (void)x;
    (void)y;
    hintFrames = 0;
    if (key == GLUT_KEY_F11 && playerInterface)
        glutFullScreenToggle();
    if (isModifier(key))
        releaseCharacterKeys();
    if (key >= 0 && key < 256)
        specialStates[key] = 1;
}

// Marks a special key released. Writes specialStates, and keyStates when a
// modifier comes up.
void specialUp(int key, int x, int y)
{
    (void)x;
    (void)y;
    if (isModifier(key))
        releaseCharacterKeys();
    if (key >= 0 && key < 256)
        specialStates[key] = 0;
}

// Releases every key of both tables. Writes keyStates, specialStates.
void releaseAllKeys()
{
    releaseCharacterKeys();
    for (int i = 0; i < 256; i++)
        specialStates[i] = 0;
}

// A hidden or minimised window gets no key-up events, so whatever was held
// when it went away would stay held: let everything go. The pace forgives
// the time the window was away. Writes windowHidden and the key tables.
void windowStatus(int state)
{
    windowHidden = state == GLUT_HIDDEN;
    if (windowHidden)
        releaseAllKeys();
}

static int held(int key)
{
    return keyStates[key] == 1;
}

// A character key or its layout-independent twin.
static int heldOrTwin(int key, int special)
{
    return keyStates[key] == 1 || specialStates[special] == 1;
}

// Turns the held keys into this frame's flags and commands. Writes HBGDplay,
// typeCam (only when a mode key is held) and camlibre485679oklm; fires and
// punches through fire() and punchTrigger().
void keyboard()
{
    HBGDplay[FLAG_LEFT] = heldOrTwin('q', GLUT_KEY_LEFT);
    HBGDplay[FLAG_RIGHT] = heldOrTwin('d', GLUT_KEY_RIGHT);
    HBGDplay[FLAG_BACK] = heldOrTwin('s', GLUT_KEY_DOWN);
    HBGDplay[FLAG_FORWARD] = heldOrTwin('z', GLUT_KEY_UP);

    fire();
    punchTrigger();

    // Later keys win; note the crossing: top-row 4 is the free camera
    // (mode 4), top-row 5 the overhead map (mode 3).
    if (heldOrTwin('&', GLUT_KEY_F1))
        typeCam = CAM_SURVEILLANCE;
    if (heldOrTwin(233, GLUT_KEY_F2))  // 233: é in Latin-1
        typeCam = CAM_CHASE;
    if (heldOrTwin('"', GLUT_KEY_F3))
        typeCam = CAM_FIRST_PERSON;
    if (heldOrTwin('\'', GLUT_KEY_F4))
        typeCam = CAM_FREE;
    if (heldOrTwin('(', GLUT_KEY_F5))
        typeCam = CAM_MAP;

    camlibre485679oklm[0] = held('4');
    camlibre485679oklm[2] = held('5');
    camlibre485679oklm[3] = held('6');
    camlibre485679oklm[4] = held('7');
    camlibre485679oklm[1] = held('8');
    camlibre485679oklm[5] = held('9');
    camlibre485679oklm[6] = held('o');
    camlibre485679oklm[7] = held('k');
    camlibre485679oklm[8] = held('l');
    camlibre485679oklm[9] = held('m');
}

// pad.cpp -- a game pad plays through the keyboard's held-key tables: each
// read of the pad becomes the keys it stands for, pressed and let go through
// the key callbacks, so the game cannot tell a pad from a keyboard and the
// pause, the help and the release rules hold as they do for keys. A record
// of a game played with a pad is therefore a key script like any other.
//
// The platform reads the pad (pad_sdl.cpp on the desktop, the page's
// Gamepad API in platform/web/) into a PadState; this file knows no
// platform. The layout is CONTROLS's pad column (keys.cpp).

#include "game.h"

// The camera keys in the order the shoulder buttons go through them, which
// is the order of F1..F5, and the camera each one selects.
static const int CYCLE_KEYS[5] = {GLUT_KEY_F1, GLUT_KEY_F2, GLUT_KEY_F3, GLUT_KEY_F4,
                                  GLUT_KEY_F5};
static const int CYCLE_CAMERAS[5] = {CAM_SURVEILLANCE, CAM_CHASE, CAM_FIRST_PERSON, CAM_FREE,
                                     CAM_MAP};

// The camera key `step` places (+1 next, -1 previous) from the camera in use.
static int cameraKeyFrom(int camera, int step)
{
    int at = 0;
    for (int i = 0; i < 5; i++)
        if (CYCLE_CAMERAS[i] == camera)
            at = i;
    return CYCLE_KEYS[(at + step + 5) % 5];
}

// A stick's axis pushed past the dead zone: -1, 0 or 1. Anything that is
// not a number counts as centred.
static int pushed(double value)
{
    if (value > PAD_DEAD_ZONE)
        return 1;
    if (value < -PAD_DEAD_ZONE)
        return -1;
    return 0;
}

// The shoulder buttons: a new press picks the next (RB) or previous (LB)
// camera from the one in use and holds its key while a shoulder stays down.
// Reads typeCam; writes padShoulders, padCycleKey.
static void readShoulders(const PadState& pad)
{
    int now = (pad.connected && pad.button[PAD_LEFT_SHOULDER] ? 1 : 0) |
              (pad.connected && pad.button[PAD_RIGHT_SHOULDER] ? 2 : 0);
    int pressed = now & ~padShoulders;
    if (pressed & 2)
        padCycleKey = cameraKeyFrom(typeCam, 1);
    else if (pressed & 1)
        padCycleKey = cameraKeyFrom(typeCam, -1);
    if (now == 0)
        padCycleKey = 0;
    padShoulders = now;
}

// What the pad holds, as keys of the two tables. In the free camera the
// left stick moves it and the right stick turns and tilts it, the triggers
// take it up and down; the d-pad drives in every camera.
static void wantedKeys(const PadState& pad, int keys[256], int specials[256])
{
    if (!pad.connected)
        return;
    const int* b = pad.button;
    int lx = pushed(pad.axis[PAD_LEFT_X]), ly = pushed(pad.axis[PAD_LEFT_Y]);
    int rx = pushed(pad.axis[PAD_RIGHT_X]), ry = pushed(pad.axis[PAD_RIGHT_Y]);
    int freeCamera = typeCam == CAM_FREE;

    specials[GLUT_KEY_UP] = b[PAD_UP] || (!freeCamera && ly < 0);
    specials[GLUT_KEY_DOWN] = b[PAD_DOWN] || (!freeCamera && ly > 0);
    specials[GLUT_KEY_LEFT] = b[PAD_LEFT] || (!freeCamera && lx < 0);
    specials[GLUT_KEY_RIGHT] = b[PAD_RIGHT] || (!freeCamera && lx > 0);
    if (freeCamera) {
        const struct {
            unsigned char key;
            int held;
        } flying[] = {
            {'8', ly < 0}, {'5', ly > 0}, {'6', lx > 0}, {'4', lx < 0}, {'o', ry < 0},
            {'l', ry > 0}, {'k', rx > 0}, {'m', rx < 0},
            {'7', pad.axis[PAD_RIGHT_TRIGGER] >= PAD_TRIGGER_ON},
            {'9', pad.axis[PAD_LEFT_TRIGGER] >= PAD_TRIGGER_ON},
        };
        for (const auto& fly : flying)
            keys[fly.key] = fly.held;
    }
    keys[(unsigned char)' '] = b[PAD_A] != 0;
    keys[(unsigned char)'v'] = b[PAD_B] != 0;
    keys[(unsigned char)'p'] = b[PAD_START] != 0;
    keys[(unsigned char)'h'] = b[PAD_BACK] != 0;
    specials[GLUT_KEY_F2] = b[PAD_X] != 0;
    specials[GLUT_KEY_F3] = b[PAD_LEFT_STICK] != 0;
    specials[GLUT_KEY_F4] = b[PAD_RIGHT_STICK] != 0;
    specials[GLUT_KEY_F5] = b[PAD_Y] != 0;
    if (padCycleKey != 0)
        specials[padCycleKey] = 1;
}

// Turns one read of the pad into key presses and releases: what it no
// longer holds is let go first, then what it newly holds is pressed. A pad
// that is gone (connected 0) lets go of everything it held. Reads typeCam;
// writes padKeys, padSpecials, padShoulders, padCycleKey and, through the
// key callbacks, the key tables, paused, helpShown, hintFrames.
void padFrame(const PadState& pad)
{
    readShoulders(pad);
    int keys[256] = {0}, specials[256] = {0};
    wantedKeys(pad, keys, specials);
    for (int code = 0; code < 256; code++) {
        if (padKeys[code] && !keys[code])
            keyUp((unsigned char)code, 0, 0);
        if (padSpecials[code] && !specials[code])
            specialUp(code, 0, 0);
    }
    for (int code = 0; code < 256; code++) {
        if (keys[code] && !padKeys[code])
            keyPressed((unsigned char)code, 0, 0);
        if (specials[code] && !padSpecials[code])
            specialPressed(code, 0, 0);
        padKeys[code] = keys[code] != 0;
        padSpecials[code] = specials[code] != 0;
    }
}

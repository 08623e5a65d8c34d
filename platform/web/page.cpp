// page.cpp -- the game in a web page: the functions page.js calls. At each
// animation frame the page runs the frames the game's pace calls for
// (pace.cpp: several game frames for one picture when the display is slower
// than the game), passes the keys on as the GLUT callbacks would, and in its test mode plays a key script frame by frame
// and collects the same state lines as the replay tool.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <emscripten/emscripten.h>
#include <string>
#include <vector>

#include "game.h"
#include "layer.h"
#include "replay.h"

static long framesRun;                     // frames since the start
static long shotsFired;                    // shots the robot fired so far
static std::vector<ScriptFrame> script;    // the test mode's key script
static ScriptFrame held;                   // the keys its last frame held
static char* traceText;                    // its state lines so far
static size_t traceSize;
static FILE* trace;

extern "C" {

// The game's start-up with the given seed: the player's page (player 1)
// shows the hint, the help and the notes as the desktop game does; the
// test page does not, as the replay tool does not. Writes the whole world.
EMSCRIPTEN_KEEPALIVE void webStart(unsigned seed, int immediate, int player, int w, int h)
{
    immediateDrawing = immediate;
    startGame(seed, player);
    int argc = 1;
    char name[] = "clankwise";
    char* argv[] = {name, nullptr};
    openWindow(&argc, argv);
    reshape(w, h);
}

// The canvas took a new size. Writes windowWidth, windowHeight.
EMSCRIPTEN_KEEPALIVE void webResize(int w, int h) { reshape(w, h); }

}  // extern "C"

// One frame of the page; the layer fills pixels only for a drawn one.
static void pageFrame()
{
    int cooldown = bull;
    layerRasterise = frameDrawn;
    display();
    framesRun++;
    shotsFired += bull > cooldown;  // only a shot winds the cooldown up
}

extern "C" {

// Runs `count` frames; only the last is drawn, the others keep every state
// the game reads back but fill no pixels. Writes the world; reads paused.
EMSCRIPTEN_KEEPALIVE void webFrames(int count)
{
    runFrames(count, pageFrame);
    layerRasterise = 1;
}

// An animation frame at page time `now` (ms): runs the frames the game's
// pace says are due, drawing the last. Returns how many ran.
EMSCRIPTEN_KEEPALIVE int webPace(double now)
{
    int due = framesDue(now);
    if (due > 0)
        webFrames(due);
    return due;
}

// One read of the page's pads (page.js: the Gamepad API's standard
// mapping, once per animation frame): buttons as bits in PadState's order,
// the sticks and triggers; connected 0 when there is none. Their keys are
// pressed and let go as the keyboard's are.
EMSCRIPTEN_KEEPALIVE void webPad(int connected, int buttons, double leftX, double leftY,
                                 double rightX, double rightY, double leftTrigger,
                                 double rightTrigger)
{
    PadState pad = {};
    pad.connected = connected != 0;
    for (int b = 0; b < PAD_BUTTONS; b++)
        pad.button[b] = (buttons >> b) & 1;
    const double axes[PAD_AXES] = {leftX, leftY, rightX, rightY, leftTrigger, rightTrigger};
    for (int a = 0; a < PAD_AXES; a++)
        pad.axis[a] = axes[a];
    padFrame(pad);
}

// A key event from the page: a character code (special 0) or a GLUT special
// key (special 1), down or up, as the GLUT callbacks take them.
EMSCRIPTEN_KEEPALIVE void webKey(int down, int code, int special)
{
    if (special)
        down ? specialPressed(code, 0, 0) : specialUp(code, 0, 0);
    else if (code > 0 && code < 256)
        down ? keyPressed((unsigned char)code, 0, 0) : keyUp((unsigned char)code, 0, 0);
}

// The player's first key, click or touch: browsers start no sound before
// one, so the page's sound starts here. Writes soundOutput.
EMSCRIPTEN_KEEPALIVE void webSoundStart() { soundToDevice(); }

// The page or the canvas lost the focus: no key-up will come.
EMSCRIPTEN_KEEPALIVE void webReleaseKeys() { releaseAllKeys(); }

// What the page's tests look at: 0 X0, 1 Z0, 2 typeCam, 3 keys held,
// 4 frames run, 5 shots fired, 6 to 8 the free camera's eye (X, Y,
// Z), 9 its heading, 10 its tilt, 11 frames the pace dropped, 12 the sound
// heard (1: a device open and not muted), 13 the sound muted.
EMSCRIPTEN_KEEPALIVE double webProbe(int what)
{
    int keys = 0;
    for (int i = 0; i < 256; i++)
        keys += keyStates[i] + specialStates[i];
    const double values[] = {X0, Z0, (double)typeCam, (double)keys, (double)framesRun,
                             (double)shotsFired, XCamLibre, YCamLibre, ZCamLibre,
                             angle2CamLibre, angle1CamLibre, (double)framesDropped,
                             (double)soundHeard(), (double)soundMuted};
    const int count = sizeof values / sizeof values[0];
    return what >= 0 && what < count ? values[what] : 0;
}

// One row of the controls table (key, twin, pad, action: column 0..3), for the
// page's table; "" past the end.
EMSCRIPTEN_KEEPALIVE const char* webControl(int row, int column)
{
    if (row < 0 || row >= NB_CONTROLS || column < 0 || column > 3)
        return "";
    return CONTROLS[row][column];
}

// Reads the key script the page stored at `path`. Returns its number of
// frames, or -1 (the reason went to stderr, which the page shows).
EMSCRIPTEN_KEEPALIVE int webLoadScript(const char* path)
{
    script.clear();
    if (!readScript(path, script))
        return -1;
    trace = open_memstream(&traceText, &traceSize);
    return trace != nullptr ? (int)script.size() : -1;
}

}  // extern "C"

// Lets go of the keys the new frame no longer holds, then presses its new
// ones in the order the line names them, as the replay tool does.
static void changeKeys(const std::vector<int>& before, const std::vector<int>& now, int special)
{
    for (int key : before)
        if (std::find(now.begin(), now.end(), key) == now.end())
            webKey(0, key, special);
    for (int key : now)
        if (std::find(before.begin(), before.end(), key) == before.end())
            webKey(1, key, special);
}

extern "C" {

// Plays script frame i (in order, from 0) with its keys held and adds its
// state line. Only the frames whose picture is kept (a shot, the last one)
// are drawn. Returns the shot name, "" for none.
EMSCRIPTEN_KEEPALIVE const char* webScriptFrame(int i)
{
    if (i < 0 || i >= (int)script.size() || trace == nullptr)
        return "";
    const ScriptFrame& frame = script[i];
    changeKeys(held.chars, frame.chars, 0);
    changeKeys(held.specials, frame.specials, 1);
    held = frame;
    layerRasterise = !frame.shot.empty() || i == (int)script.size() - 1;
    display();
    layerFlush();
    layerRasterise = 1;
    framesRun++;
    writeStateLine(trace, (long)i + 1);
    return frame.shot.c_str();
}

// The state lines written so far.
EMSCRIPTEN_KEEPALIVE const char* webTrace()
{
    if (trace == nullptr)
        return "";
    fflush(trace);
    return traceText;
}

}  // extern "C"

// The page starts the game itself once it knows its mode and canvas size.
int main() { return 0; }

// fuzz_keys.cpp -- libFuzzer target: the input bytes become a stream of key
// presses and releases of any code, window events and frames, run through
// the game's own callbacks and display(). After every frame the whole world
// is checked for states the game must never reach; the first broken rule
// aborts with its name.
//
// Input, one command per byte b (op = b & 7, n = b >> 3), arguments after it:
//   0  run n + 1 frames, drawing only the last, as the pace does when the
//      drawing falls behind
//   1  keyPressed(next byte)
//   2  keyUp(next byte)
//   3  specialPressed(next byte), or of the next 4 bytes as any int if n is odd
//   4  specialUp, likewise
//   5  windowStatus(next byte as a signed number)
//   6  reshape(next byte, the byte after): small sizes, zero included
//   7  run 8 * (next byte + 1) frames: the long stretches a sinking tree,
//      a punch or a wrapped heading need
// A missing argument reads as 0. Frames per input are capped so a single
// input stays quick.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game.h"
#include "gl_check.h"

const int MAX_FRAMES_PER_INPUT = 4000;

// The bytes of one input and how far they have been read.
struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

static int framesLeft;

// Next byte of the input, 0 once it is used up.
static uint8_t nextByte(Input* in)
{
    return in->pos < in->size ? in->data[in->pos++] : 0;
}

static int nextInt(Input* in)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; i++)
        v = v | (uint32_t)nextByte(in) << (8 * i);
    int result;
    memcpy(&result, &v, sizeof result);
    return result;
}

// Every global of the game back to its start value, as the game itself
// starts (the overlay drawn, the start hint up), with a fixed seed for the
// crowns. Writes the whole world state.
static void startInput()
{
    startGame(1, 1);
    glCheckReset();
}

static void check(bool ok, const char* what)
{
    if (!ok)
        glCheckFail(what);
}

static bool finiteF(float v)
{
    return std::isfinite(v);
}

// The designed heading range: the float nearest pi is the wrap's landing
// value on either side, so it bounds the range.
static bool heading(float a)
{
    return (double)a >= -3.1415927410125732 && (double)a <= 3.1415927410125732;
}

static bool flag(int v)
{
    return v == 0 || v == 1;
}

// The robot, the cameras, the punch and the inputs' derived flags.
// Reads the globals of the robot, cameras, punch, input and fire cooldown.
static void checkScalars()
{
    const float all[] = {X0, Z0, y, angle, roue1, roue2, Xc, Zc, XCamLibre, YCamLibre,
                         ZCamLibre, angle1CamLibre, angle2CamLibre, angleP1, angleP2};
    for (float v : all)
        check(finiteF(v), "a global float is NaN or infinite");
    check(y == 0, "the robot's drawing height changed");
    check(roue1 >= -15 && roue1 <= 375, "roue1 outside -15..375");
    check(roue2 >= -15 && roue2 <= 375, "roue2 outside -15..375");
    check(heading(angle), "the robot's heading outside the wrap range");
    check(heading(angle1CamLibre), "the free camera's tilt outside the wrap range");
    check(heading(angle2CamLibre), "the free camera's heading outside the wrap range");
    check(hit >= 0 && hit <= 3, "hit outside 0..3");
    check(punch >= 0 && punch <= 6, "punch outside 0..6");
    check(angleP1 >= -40 && angleP1 <= 50, "first arm joint beyond its keyframes");
    check(angleP2 >= 20 && angleP2 <= 90, "second arm joint beyond its keyframes");
    check(typeCam >= CAM_SURVEILLANCE && typeCam <= CAM_FREE, "camera mode outside 0..4");
    check(bull >= 0 && bull <= 10, "fire cooldown outside 0..10");
    for (int v : HBGDplay)
        check(flag(v), "a movement flag is neither 0 nor 1");
    for (int v : camlibre485679oklm)
        check(flag(v), "a free-camera flag is neither 0 nor 1");
    for (int i = 0; i < 256; i++)
        check(flag(keyStates[i]) && flag(specialStates[i]), "a key table entry is neither 0 nor 1");
}

// Every slot of the pool; a bullet in flight can be at most one step past
// the field, since it is culled at the field's edge before it moves.
// Reads bulletS.
static void checkBullets()
{
    for (const bu& b : bulletS) {
        check(finiteF(b.dir) && finiteF(b.X) && finiteF(b.Z), "a bullet float is NaN or infinite");
        check(flag(b.etat), "a bullet slot neither free nor in flight");
        if (b.etat == 1) {
            check(fabs(b.X) <= FIELD + 1 && fabs(b.Z) <= FIELD + 1, "a bullet in flight beyond one step of the field");
            check(heading(b.dir), "a bullet's heading outside the wrap range");
        }
    }
}

// Trees never move, lose hit points only inside the central square, and
// only sink, never rise. Reads sapinS, tab, nbsapin.
static void checkTrees()
{
    check(nbsapin == NB_TREES, "the number of trees changed");
    for (int i = 0; i < NB_TREES; i++) {
        const sa& t = sapinS[i];
        check(finiteF(t.X) && finiteF(t.Z) && finiteF(t.color) && finiteF(t.destroy),
              "a tree float is NaN or infinite");
        check(t.Z == (float)tab[2 * i] && t.X == (float)tab[2 * i + 1], "a tree moved");
        check(t.color >= 0.1f && t.color <= 0.79f, "a crown colour outside 0.10..0.79");
        check(t.Pv <= 5 && t.destroy <= 10, "a tree healed");
        bool inner = fabs(t.X) < 20 && fabs(t.Z) < 20;
        check(inner || (t.Pv == 5 && t.destroy == 10), "a tree outside the square took damage");
        check(t.destroy == 10 || t.Pv < 1, "a tree sinks with hit points left");
    }
}

// One frame through the game's own display(), then every check.
static void frame()
{
    glCheckBeginFrame();
    display();
    glCheckEndFrame();
    checkScalars();
    checkBullets();
    checkTrees();
}

static void frames(int n)
{
    for (int i = 0; i < n && framesLeft > 0; i++, framesLeft--)
        frame();
}

// n frames through the pace's own path: only the last is drawn.
static void pacedFrames(int n)
{
    n = n < framesLeft ? n : framesLeft;
    framesLeft -= n;
    runFrames(n, frame);
}

// Runs the command that starts at the input's current byte.
static void command(Input* in)
{
    uint8_t b = nextByte(in);
    int op = b & 7, n = b >> 3;
    switch (op) {
    case 0: pacedFrames(n + 1); break;
    case 1: keyPressed(nextByte(in), 0, 0); break;
    case 2: keyUp(nextByte(in), 0, 0); break;
    case 3: specialPressed(n & 1 ? nextInt(in) : nextByte(in), 0, 0); break;
    case 4: specialUp(n & 1 ? nextInt(in) : nextByte(in), 0, 0); break;
    case 5: windowStatus((int8_t)nextByte(in)); break;
    case 6: {
        int w = nextByte(in);
        reshape(w, nextByte(in));
        break;
    }
    default: frames(8 * (nextByte(in) + 1)); break;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in = {data, size, 0};
    startInput();
    framesLeft = MAX_FRAMES_PER_INPUT;
    while (in.pos < in.size)
        command(&in);
    return 0;
}

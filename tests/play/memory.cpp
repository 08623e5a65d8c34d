// memory.cpp -- the heap while playing: the same long session every run,
// in the game's real window, frame by frame with no clock. A round drives
// into the trees and back, shoots trees down in four directions, cycles
// the five cameras by both their keys, flies the free camera, punches and
// taps keys; the rounds repeat from wherever the last one left the robot.
// After WARMUP_ROUNDS (every tree seen, every list made, Mesa's pools at
// their working size) the heap in use is read at the end of each round and
// may not rise by more than MAX_GROWTH over the first reading.
//
// Why that bound: the default drawing keeps two lists per tree and one of
// the ground, made once per GL context when a tree is first seen (the first
// round shows the map, so every tree), never again (a tree's colour never
// changes), and a sinking tree is drawn afresh. So after the warm-up the
// heap moves only with Mesa's working buffers, by up to one 64 KiB buffer
// between two rounds (seen: 63 KiB); the bound allows three. Even if every
// list were made again in place once, Mesa would keep about 190 bytes of
// each (measured at the start and printed), 423 lists times that: 80 KiB.
// A leak of a kilobyte a frame or a kilobyte a key event gives well over
// MAX_GROWTH over the measured rounds (the frames and events are counted
// and printed).
//
//   memory_session [--rounds N]     exit status 1 when the heap grew too much

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game.h"
#include "play.h"

const int WARMUP_ROUNDS = 2;
const long MAX_GROWTH = 3 * 64 * 1024;  // bytes over the measured rounds

static long frames;     // frames run
static long keyEvents;  // key presses and releases sent

// One step of a round: keys pressed at its start (character, or special
// when special is set), held for `hold` frames, released, then `after`
// frames with nothing held.
struct Step {
    int key;
    int special;
    int hold;
    int after;
};

static void press(int key, int special)
{
    special ? specialPressed(key, 0, 0) : keyPressed((unsigned char)key, 0, 0);
    keyEvents++;
}

static void release(int key, int special)
{
    special ? specialUp(key, 0, 0) : keyUp((unsigned char)key, 0, 0);
    keyEvents++;
}

static void run(int count)
{
    for (int i = 0; i < count; i++, frames++)
        playFrame();
}

// Plays steps in order: each key pressed, held some frames, let go, and
// some frames more.
template <int N>
static void playSteps(const Step (&steps)[N])
{
    for (const Step& s : steps) {
        press(s.key, s.special);
        run(s.hold);
        release(s.key, s.special);
        run(s.after);
    }
}

// The round. Space is held through the shooting steps around them.
static void playRound()
{
    static const Step cameras[] = {
        {GLUT_KEY_F1, 1, 3, 1}, {GLUT_KEY_F2, 1, 3, 1}, {GLUT_KEY_F3, 1, 3, 1},
        {GLUT_KEY_F4, 1, 3, 1}, {GLUT_KEY_F5, 1, 3, 1}, {'&', 0, 3, 1},
        {233, 0, 3, 1},         {'"', 0, 3, 1},         {'\'', 0, 3, 1},
        {'(', 0, 3, 1},
    };
    static const Step drive[] = {
        {GLUT_KEY_F2, 1, 2, 0}, {'z', 0, 40, 2}, {'s', 0, 40, 2}, {'q', 0, 12, 0},
        {GLUT_KEY_UP, 1, 30, 2}, {GLUT_KEY_DOWN, 1, 30, 2}, {'d', 0, 12, 0},
    };
    static const Step shoot[] = {
        {'d', 0, 10, 40}, {'d', 0, 10, 40}, {'q', 0, 10, 40}, {'q', 0, 10, 40},
    };
    static const Step fly[] = {
        {'\'', 0, 2, 0}, {'8', 0, 8, 0}, {'5', 0, 8, 0}, {'6', 0, 4, 0}, {'4', 0, 4, 0},
        {'9', 0, 4, 0},  {'7', 0, 6, 0}, {'o', 0, 6, 0}, {'l', 0, 6, 0}, {'k', 0, 6, 0},
        {'m', 0, 6, 0},  {'(', 0, 2, 0},
    };
    playSteps(cameras);
    playSteps(drive);
    press(' ', 0);
    playSteps(shoot);
    release(' ', 0);
    playSteps(fly);
    for (int i = 0; i < 40; i++) {  // quick taps: a punch, a camera
        int key = i % 2 ? 'v' : "&\"'("[i / 2 % 4];
        press(key, 0);
        run(1);
        release(key, 0);
        run(1);
    }
}

// What Mesa keeps of a list made again in place: a tree recorded into one
// new list, then recorded again into the same name 200 times.
static long keptPerReplacedList()
{
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    sapin(3, 0, 3, 0.5f, 10);
    glEndList();
    long before = heapInUse();
    for (int i = 0; i < 200; i++) {
        glNewList(list, GL_COMPILE);
        sapin(3, 0, 3, 0.5f, 10);
        glEndList();
    }
    long kept = (heapInUse() - before) / 200;
    glDeleteLists(list, 1);
    return kept;
}

// The heap read the same way at the end of every round: keys up, the
// overhead map, the least of ten readings five frames apart (Mesa holds a
// buffer more in some frames than in others).
static long settledHeap()
{
    press(GLUT_KEY_F5, 1);
    run(20);
    release(GLUT_KEY_F5, 1);
    long least = heapInUse();
    for (int i = 0; i < 10; i++) {
        run(5);
        long heap = heapInUse();
        least = heap < least ? heap : least;
    }
    return least;
}

static int treesGone()
{
    int gone = 0;
    for (int i = 0; i < nbsapin; i++)
        gone += sapinS[i].destroy <= 0;
    return gone;
}

int main(int argc, char** argv)
{
    int rounds = argc == 3 && strcmp(argv[1], "--rounds") == 0 ? atoi(argv[2]) : 4;
    // Rasterising on this thread leaves a finished frame holding only what
    // lasts, whatever the machine's load.
    setenv("LP_NUM_THREADS", "0", 1);
    if (!openGameWindow(argv[0], 1))
        return 1;
    printf("a list made again in place keeps %ld bytes more each time\n", keptPerReplacedList());

    long first = 0, highest = 0, startFrames = 0, startEvents = 0;
    for (int r = 0; r < WARMUP_ROUNDS + rounds; r++) {
        playRound();
        long heap = settledHeap();
        printf("round %d: heap %ld KiB, %d trees gone, robot at (%g, %g) heading %g, frame %ld,"
               " %ld key events\n", r + 1, heap / 1024, treesGone(), X0, Z0, angle, frames,
               keyEvents);
        if (r + 1 == WARMUP_ROUNDS) {
            first = highest = heap;
            startFrames = frames;
            startEvents = keyEvents;
        }
        if (r + 1 > WARMUP_ROUNDS && heap > highest)
            highest = heap;
    }
    printf("over %ld frames and %ld key events after the warm-up the heap grew by %ld KiB"
           " (limit %ld KiB); %d trees are gone\n",
           frames - startFrames, keyEvents - startEvents, (highest - first) / 1024,
           MAX_GROWTH / 1024, treesGone());
    closeWindow();
    if (highest - first > MAX_GROWTH) {
        printf("FAIL: the heap grew by more than %ld KiB\n", MAX_GROWTH / 1024);
        return 1;
    }
    return 0;
}

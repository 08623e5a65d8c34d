// pace.cpp -- the game's pace. Every speed in the game is an amount per
// frame, and the game asks for a frame every 10 ms: 100 a second. Where
// the machine keeps up, each 10 ms timer tick runs one frame and shows its
// picture, as designed. Where drawing takes longer than that, the frames a
// monotonic clock says are due run all the same, and only the last of them
// is drawn: the game keeps its speed and shows fewer pictures. At most 25
// run at once; the rest are dropped, so a machine that cannot keep up even
// so (or a stall: a debugger, a suspend) slows the game down instead of
// freezing it in a burst of catching up.
//
// With CLANKWISE_DESIGNED_PACING=1 (designedPacing) the timer posts one
// redisplay every 10 ms and every frame is drawn, exactly as designed: the
// game then runs slower on a slow machine.

#include <chrono>
#include <cmath>

#include "game.h"

const int FRAME_MS = 10;             // one frame of the game
const int MOST_FRAMES_AT_ONCE = 25;  // frames one picture may catch up

static double nextDue = -1;  // clock time (ms) the next frame is due; -1: not yet started
static int framesPending;    // frames found due and not yet run

// Milliseconds on the monotonic clock. Unit tests set paceClock to a clock
// of their own.
static double steadyMilliseconds()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
double (*paceClock)() = steadyMilliseconds;

// Forgets the pace: the next frame is due at once. Writes the pace's state.
void resetPace()
{
    nextDue = -1;
    framesPending = 0;
    framesDropped = 0;
}

// The pacing rule: how many frames are due at clock time `now` (ms), 0 to
// MOST_FRAMES_AT_ONCE, counting each as run. Frames due beyond that are
// dropped. While the game stands still (paused, or the window hidden) one
// frame is due at a time and the lag is forgiven, so that going on never
// starts with a burst. Reads paused, windowHidden; writes nextDue,
// framesDropped.
int framesDue(double now)
{
    if (nextDue < 0)
        nextDue = now;
    if (now < nextDue)
        return 0;
    double late = floor((now - nextDue) / FRAME_MS);  // whole frames behind
    if (paused || windowHidden) {
        nextDue = now + FRAME_MS;
        return 1;
    }
    if (late >= MOST_FRAMES_AT_ONCE) {
        framesDropped += (long)late + 1 - MOST_FRAMES_AT_ONCE;
        nextDue = now + FRAME_MS;
        return MOST_FRAMES_AT_ONCE;
    }
    nextDue += (late + 1) * FRAME_MS;
    return (int)late + 1;
}

// Whole milliseconds from `now` until the next frame is due, at least 1.
static int millisecondsToNextFrame(double now)
{
    double wait = ceil(nextDue - now);
    return wait >= 1 ? (int)wait : 1;
}

// The game's clock, the GLUT timer: asks for a redisplay when frames are
// due and comes back when the next one is, until the window is closed (a
// timer may still fire after that, with no window to draw in). With
// designedPacing, a redisplay every 10 ms. Reads windowGone, designedPacing;
// writes framesPending.
void update(int value)
{
    (void)value;
    if (windowGone)
        return;
    if (designedPacing) {
        glutPostRedisplay();
        glutTimerFunc(FRAME_MS, update, 0);
        return;
    }
    double now = paceClock();
    framesPending += framesDue(now);
    if (framesPending > MOST_FRAMES_AT_ONCE)
        framesPending = MOST_FRAMES_AT_ONCE;
    if (framesPending > 0)
        glutPostRedisplay();
    glutTimerFunc(millisecondsToNextFrame(now), update, 0);
}

// Runs `count` frames through `frame` (display, or a tool's frame around
// it), drawing only the last. Before each, the pads (when started) are read
// into the key tables, so a tool's frame sees their keys as held ones.
// Writes frameDrawn.
void runFrames(int count, void (*frame)())
{
    for (int i = 0; i < count; i++) {
        frameDrawn = i == count - 1;
        if (padPoll != nullptr)
            padPoll();
        frame();
    }
    frameDrawn = 1;
}

// The display callback of a game played at the keyboard, around its frame:
// the frames the timer found due, and at least one, since GLUT also redraws
// on its own (an exposed or resized window) and each redraw is a frame of
// the game, as designed. Writes framesPending.
void runDueFrames(void (*frame)())
{
    int count = framesPending > 1 ? framesPending : 1;
    framesPending = 0;
    runFrames(count, frame);
}

// The game's own display callback.
void pacedDisplay()
{
    runDueFrames(display);
}

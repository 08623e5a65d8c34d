// logicbench.cpp -- the game's own per-frame work, timed without a driver:
// the movement step of each kind against the full tree table, and the logic
// of the dearest frame the game can run (a shot, 20 chase probes and 66
// bullets in flight). Linked against a GL stand-in that does nothing, so the
// few drawing calls inside the logic cost only the call itself.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "alloc_count.h"
#include "game.h"
#include "scenario.h"

// One movement step of kind `kind` with the given flags, from the robot's
// start point, over and over from the same position. The flags are those
// the game hands each kind: a bullet steps "forward", a chase probe too, a
// shot's spawn probe "back".
static void stepFromStart(benchmark::State& state, int kind, const int flags[4])
{
    startWorld();
    int hb[4];
    memcpy(hb, flags, sizeof hb);
    float heading = 0.3f;
    float wheels = 0;
    for (auto _ : state) {
        float x = 1, z = 1;
        int etat = 1;
        benchmark::DoNotOptimize(&x);
        benchmark::DoNotOptimize(&z);
        moveEn(&x, &z, &wheels, &wheels, &heading, hb, kind == 1 ? &etat : hb, kind);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(z);
        benchmark::DoNotOptimize(etat);
    }
    state.SetLabel("211 trees");
}

static void BM_MoveBullet(benchmark::State& state)
{
    const int flags[4] = {0, 1, 0, 0};
    stepFromStart(state, 1, flags);
}
BENCHMARK(BM_MoveBullet);

static void BM_MoveChaseProbe(benchmark::State& state)
{
    const int flags[4] = {0, 1, 0, 0};
    stepFromStart(state, 2, flags);
}
BENCHMARK(BM_MoveChaseProbe);

static void BM_MoveStepProbe(benchmark::State& state)
{
    const int flags[4] = {1, 0, 0, 0};
    stepFromStart(state, 3, flags);
}
BENCHMARK(BM_MoveStepProbe);

// The robot's own step also sinks and draws every tree (into the stand-in).
static void BM_MoveRobot(benchmark::State& state)
{
    const int flags[4] = {0, 1, 0, 0};
    stepFromStart(state, 0, flags);
}
BENCHMARK(BM_MoveRobot);

// The dearest frame: chase camera, z and space held with the cooldown over,
// 65 bullets in flight and one free slot, which the shot fills, so the
// bullet step moves all 66. Every frame starts from that same state.
static void worstCaseWorld()
{
    startWorld();
    typeCam = CAM_CHASE;
    keyStates['z'] = 1;
    keyStates[' '] = 1;
    bull = 0;
    fillBullets(0, NB_BULLETS - 2);
    saveBenchWorld();
}

// The logic steps of display(), in its order, without the clear, the
// ground, the robot model and the swap: keys and the fire step, the wheel
// range, the robot's step, the camera with its 20 probes, the bullet step.
static void logicOfFrame()
{
    keyboard();
    if (roue1 > 360)
        roue1 = 0;
    if (roue1 < 0)
        roue1 = 360;
    if (roue2 > 360)
        roue2 = 0;
    if (roue2 < 0)
        roue2 = 360;
    moveEn(&X0, &Z0, &roue1, &roue2, &angle, HBGDplay, HBGDplay, MOVE_ROBOT);
    placeCamera();
    moveBullets();
}

// Fails the benchmark unless the frame did what the figure claims: a shot
// fired into the last slot and all 66 bullets still in flight.
static bool frameWasWorstCase()
{
    int inFlight = 0;
    for (int i = 0; i < NB_BULLETS; i++)
        inFlight += bulletS[i].etat;
    return inFlight == NB_BULLETS && bull == 10;
}

// True when the allocation counter sees an allocation made from here; if
// it did not, a count of 0 below would prove nothing.
static bool allocCountingWorks()
{
    long before = allocCount;
    void* volatile p = malloc(16);
    // The compiler knows malloc touches none of our globals; tell it that
    // this one may have changed.
    benchmark::ClobberMemory();
    free(p);
    return allocCount == before + 1;
}

// Reports the heap allocations per frame, which must be none.
static void checkNoAllocation(benchmark::State& state, long allocs)
{
    state.counters["allocs_per_frame"] = (double)allocs / state.iterations();
    if (allocs != 0)
        state.SkipWithError("the frame allocated memory");
}

static void BM_WorstCaseFrameLogic(benchmark::State& state)
{
    worstCaseWorld();
    if (!allocCountingWorks())
        state.SkipWithError("allocations are not being counted");
    bool worst = true;
    long allocs = allocCount;
    for (auto _ : state) {
        restoreBenchWorld();
        logicOfFrame();
        worst = worst && frameWasWorstCase();
        benchmark::ClobberMemory();
    }
    checkNoAllocation(state, allocCount - allocs);
    if (!worst)
        state.SkipWithError("the frame was not the worst case");
}
BENCHMARK(BM_WorstCaseFrameLogic)->Unit(benchmark::kMicrosecond);

// The whole of display() for the same frame, drawing into the stand-in: the
// cost of the game's own code including the issuing of all its GL calls.
static void BM_WorstCaseFrameNoGL(benchmark::State& state)
{
    worstCaseWorld();
    if (!allocCountingWorks())
        state.SkipWithError("allocations are not being counted");
    // The first frame of a context makes the display lists, reading the
    // ground back through a buffer it frees again; the frames after it
    // are what the game runs on.
    display();
    long allocs = allocCount;
    for (auto _ : state) {
        restoreBenchWorld();
        display();
        benchmark::ClobberMemory();
    }
    checkNoAllocation(state, allocCount - allocs);
}
BENCHMARK(BM_WorstCaseFrameNoGL)->Unit(benchmark::kMicrosecond);

// What the restore alone costs, to be taken off the two figures above.
static void BM_RestoreWorld(benchmark::State& state)
{
    worstCaseWorld();
    for (auto _ : state) {
        restoreBenchWorld();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RestoreWorld)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

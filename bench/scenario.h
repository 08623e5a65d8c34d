// scenario.h -- the worlds that the benchmarks time: the game's own start-up
// with a fixed seed, a pool of bullets in flight ahead of the robot that keep
// clear of every tree, and a snapshot of the whole world so that a timed
// frame can be run again and again from the same state.

#ifndef CLANKWISE_BENCH_SCENARIO_H
#define CLANKWISE_BENCH_SCENARIO_H

// The seed every benchmark plants its forest with.
const unsigned BENCH_SEED = 1;

// The game's start-up without the window: seed, tables, forest.
void startWorld();

// Puts bullets into flight in slots first .. last, heading 0 (toward -X),
// at points ahead of the robot's start that stay farther than a bullet's
// reach from every tree, so none of them hits anything in its next step.
void fillBullets(int first, int last);

// Copies every mutable global of the game aside, or back.
void saveBenchWorld();
void restoreBenchWorld();

#endif

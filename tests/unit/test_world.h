// test_world.h -- puts the game back to its start between tests. Every test
// runs in the same process, and the game keeps its whole state in globals,
// so a test that moved the robot or shot a tree would otherwise leak into
// the next one.

#ifndef CLANKWISE_TEST_WORLD_H
#define CLANKWISE_TEST_WORLD_H

#include <initializer_list>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

// Every global of the game back to the value it has before main runs
// (resetWorld: the robot at (1, 1) facing 0, no key held, every bullet slot
// zeroed, every tree record at its defaults, 211 trees in use, cameras and
// punches at rest), the layout table as compiled, no player's interface; the
// designed drawing, call by call, with no display list. Also forgets every
// recorded GL call.
void resetTestWorld();

// resetTestWorld(), then the game's own start (startGame) with the seed and
// no player's interface. The command list is not printed.
void startWorld(unsigned seed = 1);

// Replaces the forest with the given trees, (X, Z) each, standing (Pv 5,
// destroy 10, colour 0.5), and sets nbsapin to their number; for tests that
// want one tree in a known place and no other in the way.
void onlyTrees(std::initializer_list<std::pair<float, float>> trees);

// Runs one whole frame and returns the arguments of its one gluLookAt
// (nine NaNs, and a failed expectation, when the frame made none or several).
std::vector<double> frameLookAt();

// A fixture whose every test starts from startWorld(1) with no GL call
// recorded.
class WorldTest : public ::testing::Test {
protected:
    void SetUp() override { startWorld(1); }
};

#endif

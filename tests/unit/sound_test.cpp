// sound_test.cpp -- the sounds the game makes: which step starts which, at
// which frame, none while paused, and the sounds themselves. No device is
// opened here (soundOutput stays SOUND_NONE): what is heard is the replay
// tool's test (tests/golden/audio_test.sh).

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "game.h"
#include "gl_record.h"
#include "test_world.h"

using SoundTest = WorldTest;

// Runs `frames` frames with the keys of `held` down from the first; returns
// every frame's events as "frame:kind" in order.
static std::vector<std::string> framesOfSounds(const std::string& held, int frames)
{
    for (char c : held)
        keyPressed((unsigned char)c, 0, 0);
    std::vector<std::string> heard;
    for (int f = 1; f <= frames; f++) {
        display();
        for (int i = 0; i < soundEventCount(); i++)
            heard.push_back(std::to_string(f) + ":" + std::to_string(soundEventKinds()[i]));
    }
    return heard;
}

// "frame:kind" for each of the frames.
static std::vector<std::string> at(int kind, std::vector<int> frames)
{
    std::vector<std::string> out;
    for (int f : frames)
        out.push_back(std::to_string(f) + ":" + std::to_string(kind));
    return out;
}

static std::vector<std::string> sorted(std::vector<std::string> a,
                                       const std::vector<std::string>& b = {})
{
    a.insert(a.end(), b.begin(), b.end());
    std::sort(a.begin(), a.end());
    return a;
}

TEST_F(SoundTest, EachStepStartsItsSoundAtItsFrame)
{
    std::vector<int> shots = {1, 11, 21, 31, 41, 51, 61};
    const struct {
        const char* what;
        std::vector<std::pair<float, float>> trees;  // (X, Z) each
        std::string held;
        int frames;
        std::vector<std::string> heard;
    } cases[] = {
        {"nothing held", {{-6, 1}}, "", 60, {}},
        // Fired from X 0, a bullet is at -k after k frames: within 1.5 of
        // the tree at -6 on its 5th. The 5th hit sinks the tree, which still
        // stops bullets, with a knock, until it is half down.
        {"five shots into a tree", {{-6, 1}}, " ", 56,
         sorted(at(SOUND_SHOT, {1, 11, 21, 31, 41, 51}),
                sorted(at(SOUND_TREE_HIT, {5, 15, 25, 35, 55}), at(SOUND_SINKING, {45})))},
        {"a tree outside the central square never sinks", {{-23, 1}}, " ", 70,
         sorted(at(SOUND_SHOT, shots), at(SOUND_TREE_HIT, {22, 32, 42, 52, 62}))},
        {"v held: the arms punch in turn", {}, "v", 60, at(SOUND_PUNCH, {1, 26, 51})},
        // At 0.25 a frame, the robot's radius of 2.5 meets the tree at -2 on
        // the 3rd frame: one bump, not one a frame while it stays against it.
        {"driving into a tree", {{-2, 1}}, "z", 40, at(SOUND_BUMP, {3})},
        {"turning beside a tree", {{-2, 1}}, "q", 40, {}},
    };
    for (const auto& c : cases) {
        startWorld(1);
        nbsapin = 0;
        for (const auto& t : c.trees) {
            sapinS[nbsapin] = sa{};
            sapinS[nbsapin].X = t.first;
            sapinS[nbsapin].Z = t.second;
            nbsapin++;
        }
        EXPECT_EQ(sorted(framesOfSounds(c.held, c.frames)), sorted(c.heard)) << c.what;
    }
}

// A paused game runs its frames on a world that is put back: a bullet one
// step from a tree when the pause came strikes it in every paused frame,
// unheard, and once more, heard, when the game goes on.
TEST_F(SoundTest, APausedGameMakesNoSoundAndTheHitComesAfterIt)
{
    onlyTrees({{-6, 1}});
    EXPECT_EQ(framesOfSounds(" ", 4), at(SOUND_SHOT, {1}));
    keyUp(' ', 0, 0);
    keyPressed('p', 0, 0);
    EXPECT_EQ(framesOfSounds("zv ", 30), std::vector<std::string>{});
    keyUp('z', 0, 0), keyUp('v', 0, 0), keyUp(' ', 0, 0);
    keyPressed('p', 0, 0);
    EXPECT_EQ(framesOfSounds("", 5), at(SOUND_TREE_HIT, {1}));
}

// The sounds: each made, within full scale and not faint; the sinking as
// long as a tree sinks (100 frames); the motor a loop whose end meets its
// start; the same samples from every start.
TEST_F(SoundTest, TheSoundsAreMadeOnceAndTheSameEveryStart)
{
    std::vector<short> first[NB_SOUNDS];
    for (int kind = 0; kind < NB_SOUNDS; kind++) {
        int n = 0;
        const short* s = soundSamples(kind, &n);
        ASSERT_NE(s, nullptr) << kind;
        int peak = 0;
        for (int i = 0; i < n; i++)
            peak = std::max(peak, std::abs((int)s[i]));
        EXPECT_GT(peak, 32767 / 8) << "sound " << kind << " is faint";
        EXPECT_LT(n, SOUND_RATE * 11 / 10) << "sound " << kind << " is long";
        first[kind].assign(s, s + n);
    }
    int n = 0;
    soundSamples(SOUND_SINKING, &n);
    EXPECT_EQ(n, 100 * SOUND_FRAME_SAMPLES);
    const short* motor = soundSamples(SOUND_MOTOR, &n);
    EXPECT_LT(std::abs(motor[n - 1] - motor[0]), 600) << "the motor's loop clicks";
    EXPECT_EQ(soundSamples(NB_SOUNDS, &n), nullptr);
    startWorld(2);
    for (int kind = 0; kind < NB_SOUNDS; kind++) {
        const short* s = soundSamples(kind, &n);
        EXPECT_EQ(std::vector<short>(s, s + n), first[kind]) << kind;
    }
}

// options_test.cpp -- the game's command line: --help and --version answer,
// GLUT's own options pass, anything else is refused with status 2.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game.h"

// readCommandLine on the program name and the given words.
static int run(std::vector<std::string> words)
{
    words.insert(words.begin(), "clankwise");
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    return readCommandLine((int)words.size(), argv.data());
}

TEST(CommandLineTest, AnswersStartsOrRefuses)
{
    const struct {
        std::vector<std::string> words;
        int status;  // -1: start the game
    } cases[] = {
        {{}, -1},
        {{"--help"}, 0},
        {{"--version"}, 0},
        {{"-display", ":5", "-geometry", "300x300+0+0", "-iconic", "-sync"}, -1},
        {{"-direct", "-indirect", "-gldebug"}, -1},
        {{"-display"}, 2},               // GLUT's option without its value
        {{"-geometry", "1x1", "-display"}, 2},
        {{"--helpme"}, 2},
        {{"-help"}, 2},
        {{"level2"}, 2},
        {{"-sync", "--bogus"}, 2},
        {{"--bogus", "--help"}, 2},      // the first bad word decides
        {{"--mute", "--no-hint"}, -1},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& w : c.words)
            line += w + " ";
        soundMuted = 0;
        EXPECT_EQ(run(c.words), c.status) << "clankwise " << line;
        EXPECT_EQ(soundMuted, line.find("--mute") != std::string::npos) << line;
    }
    soundMuted = 0;
}

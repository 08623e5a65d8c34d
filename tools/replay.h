// replay.h -- what the pieces of the replay tool share: a key script read
// into frames, the tool's settings, and the writers of pictures and state
// lines. The tool drives the real game frame by frame from a script instead
// of a keyboard, so runs can be repeated, compared and looked at.

#ifndef CLANKWISE_REPLAY_H
#define CLANKWISE_REPLAY_H

#include <cstdio>
#include <string>
#include <vector>

// One frame of a script: the keys held while it runs and the picture, if
// any, to write once it is drawn.
struct ScriptFrame {
    std::vector<int> chars;     // character codes held, in the order written
    std::vector<int> specials;  // GLUT special keys held (arrows, F keys)
    std::string shot;           // picture name without ".png", "" for none
    int line = 0;               // script line the frame comes from
};

// Settings, from the command line (replay.cpp).
extern unsigned replaySeed;       // seed of the crown colours
extern std::string replayScript;  // the key script
extern std::string replayOut;     // folder for the pictures
extern std::string replayTrace;   // state lines: "" none, "-" stdout
extern int replayEvery;           // also picture every Nth frame, 0 never
extern int replayCheckOnly;       // 1: read the script, report, stop
extern std::string replayAudio;   // the WAV of the game's sound, "" for none

// Script reading (replay_script.cpp). Both print their own error message,
// naming the line and the word, and return 0 on bad input.
int readScript(const std::string& path, std::vector<ScriptFrame>& frames);
int parseScriptLine(const std::string& text, int line, const std::string& source,
                    std::vector<ScriptFrame>& frames);

// The script name of a character key (special 0) or GLUT special key
// (special 1), "" if the format has none (replay_script.cpp).
std::string keyName(int code, int special);

// Output (replay_output.cpp).
// A whole decimal number in [low, high], or -1 (for the command lines).
long long wholeNumber(const char* text, long long low, long long high);

int prepareOutFolder(const std::string& dir);
// Puts stdout in binary mode where the platform has a text mode (Windows).
void binaryStdout();
int writeFrontBufferPng(const std::string& path);
void writeStateLine(FILE* out, long frame);

// Sound (replay_audio.cpp): a WAV of the game's mix, one frame's 10 ms at a
// time from the loopback device. Each prints its own error and returns 0.
int openAudioFile(const std::string& path);
int writeAudioFrame();
int closeAudioFile();

#endif

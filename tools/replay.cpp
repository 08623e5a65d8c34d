// replay.cpp -- plays the game from a key script instead of a keyboard: the
// game's own start-up with a fixed seed, then one display() per script line
// with the keys of that line held, pictures of the marked frames and,
// optionally, one line of game state per frame.
//
//   replay --script FILE [--seed N] [--out DIR] [--trace FILE|-] [--every N] [--check]
//          [--immediate] [--audio FILE] [--mute]
//
// Installed as clankwise-replay, the name its usage gives.
//
// Exit status: 0 done, 2 bad command line or script or output folder,
// 1 the window or a picture failed.

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "replay.h"
#include "game.h"

unsigned replaySeed = 1;
std::string replayScript;
std::string replayOut = ".";
std::string replayTrace;
int replayEvery = 0;
int replayCheckOnly = 0;
std::string replayAudio;


// The command line: on standard output when asked for with --help, on
// standard error after a mistake.
static void usage(FILE* out)
{
    fputs("usage: clankwise-replay --script FILE [--seed N] [--out DIR] [--trace FILE|-]"
          " [--every N] [--check] [--immediate]\n"
          "                        [--audio FILE] [--mute]\n"
          "       clankwise-replay --help | --version\n"
          "  --seed N    seed of the crown colours (default 1)\n"
          "  --out DIR   folder for the pictures (default .; created if missing)\n"
          "  --trace F   one line of game state per frame to F, - for stdout\n"
          "  --every N   also write frame-NNNNNN.png every N frames\n"
          "  --check     read the script, print its length, open no window\n"
          "  --immediate draw as designed, every call every frame (as\n"
          "              CLANKWISE_IMMEDIATE=1), not from display lists\n"
          "  --audio F   the game's sound to the WAV file F (stereo floats,\n"
          "              48000 a second, 10 ms a frame)\n"
          "  --mute      the game muted, as after its n key\n"
          "  --help      print this and exit\n"
          "  --version   print the version and exit\n"
          "Exit status: 0 done, 1 the window or a picture failed, 2 bad command\n"
          "line, script or output folder. See clankwise-replay(1).\n",
          out);
}

// Reads the command line into the settings. Returns 0 after an error.
// Writes the replay* settings.
static int readOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; i++) {
        std::string opt = argv[i];
        if (opt == "--check") {
            replayCheckOnly = 1;
            continue;
        }
        if (opt == "--immediate") {
            immediateDrawing = 1;
            continue;
        }
        if (opt == "--mute") {
            soundMuted = 1;
            continue;
        }
        if (opt == "--version") {
            printf("clankwise-replay %s\n", CLANKWISE_VERSION);
            exit(0);
        }
        if (opt == "--help") {
            usage(stdout);
            exit(0);
        }
        if (i + 1 >= argc) {
            fprintf(stderr, "replay: unknown option or missing value: %s\n", argv[i]);
            return 0;
        }
        const char* value = argv[++i];
        long long n = 0;
        if (opt == "--script") {
            replayScript = value;
        } else if (opt == "--out") {
            replayOut = value;
        } else if (opt == "--trace") {
            replayTrace = value;
        } else if (opt == "--audio") {
            replayAudio = value;
        } else if (opt == "--seed" && (n = wholeNumber(value, 0, 4294967295LL)) >= 0) {
            replaySeed = (unsigned)n;
        } else if (opt == "--every" && (n = wholeNumber(value, 1, 1000000)) >= 0) {
            replayEvery = (int)n;
        } else {
            fprintf(stderr, "replay: bad option or value: %s %s\n", opt.c_str(), value);
            return 0;
        }
    }
    if (replayScript.empty())
        fputs("replay: no --script given\n", stderr);
    return !replayScript.empty();
}

// Makes the held keys those of the new frame: first lets go of the keys no
// longer held, then presses the new ones in the order the line names them.
static void changeKeys(const std::vector<int>& before, const std::vector<int>& now,
                       void (*up)(int), void (*down)(int))
{
    for (int key : before)
        if (std::find(now.begin(), now.end(), key) == now.end())
            up(key);
    for (int key : now)
        if (std::find(before.begin(), before.end(), key) == before.end())
            down(key);
}

// The game's key callbacks, as GLUT would call them (mouse at 0, 0).
static void charUp(int key) { keyUp((unsigned char)key, 0, 0); }
static void charDown(int key) { keyPressed((unsigned char)key, 0, 0); }
static void specialKeyUp(int key) { specialUp(key, 0, 0); }
static void specialKeyDown(int key) { specialPressed(key, 0, 0); }

// The pictures a frame asks for: its own shot and, with --every, the
// numbered one. Returns 0 after an error.
static int writeFramePictures(const ScriptFrame& frame, long number)
{
    if (!frame.shot.empty() && !writeFrontBufferPng(replayOut + "/" + frame.shot + ".png"))
        return 0;
    if (replayEvery > 0 && number % replayEvery == 0) {
        char name[32];
        snprintf(name, sizeof name, "/frame-%06ld.png", number);
        if (!writeFrontBufferPng(replayOut + name))
            return 0;
    }
    return 1;
}

// Runs the script's frames in order: set the keys, run the game's frame,
// wait for GL to finish, then write the pictures, the state line and the
// frame's 10 ms of sound.
// Returns 0 after an error.
static int playFrames(const std::vector<ScriptFrame>& frames, FILE* trace)
{
    ScriptFrame held;  // nothing held before the first frame
    for (size_t i = 0; i < frames.size(); i++) {
        const ScriptFrame& frame = frames[i];
        changeKeys(held.chars, frame.chars, charUp, charDown);
        changeKeys(held.specials, frame.specials, specialKeyUp, specialKeyDown);
        held = frame;
        display();
        glFinish();
        if (!writeFramePictures(frame, (long)i + 1)) {
            fprintf(stderr, "replay: at frame %zu (script line %d)\n", i + 1, frame.line);
            return 0;
        }
        if (trace != nullptr)
            writeStateLine(trace, (long)i + 1);
        if (!replayAudio.empty() && !writeAudioFrame())
            return 0;
    }
    return 1;
}

// Opens the state-line output, if one was asked for. Returns 0 after an error.
static int openTrace(FILE** trace)
{
    *trace = nullptr;
    if (replayTrace.empty())
        return 1;
    if (replayTrace == "-")
        binaryStdout();
    *trace = replayTrace == "-" ? stdout : fopen(replayTrace.c_str(), "wb");
    if (*trace == nullptr)
        fprintf(stderr, "replay: cannot write trace \"%s\": %s\n", replayTrace.c_str(),
                strerror(errno));
    return *trace != nullptr;
}

// Does the run write any picture? Reads replayEvery.
static int needsOutFolder(const std::vector<ScriptFrame>& frames)
{
    if (replayEvery > 0)
        return 1;
    for (const ScriptFrame& f : frames)
        if (!f.shot.empty())
            return 1;
    return 0;
}

// Reads the command line and the script, opens the window and plays the
// script. See the top of the file for the exit status.
int main(int argc, char** argv)
{
    std::vector<ScriptFrame> frames;
    if (!readOptions(argc, argv)) {
        usage(stderr);
        return 2;
    }
    if (!readScript(replayScript, frames))
        return 2;
    if (replayCheckOnly) {
        printf("%zu frames\n", frames.size());
        return 0;
    }
    FILE* trace = nullptr;
    if ((needsOutFolder(frames) && !prepareOutFolder(replayOut)) || !openTrace(&trace))
        return 2;

    // The game's start-up, with a known seed instead of the clock. The
    // command list is left out: it would only clutter a trace on stdout.
    // With --audio, the sound goes to the loopback device and the file.
    if (!replayAudio.empty()) {
        if (!openAudioFile(replayAudio))
            return 2;
        soundOutput = SOUND_LOOPBACK;
    }
    startGame(replaySeed, 0);
    if (!openShownWindow(argv[0]))
        return 1;
    int ok = playFrames(frames, trace);
    closeWindow();
    if (!replayAudio.empty() && !closeAudioFile())
        ok = 0;
    if (trace != nullptr && (fflush(trace) != 0 || ferror(trace))) {
        fprintf(stderr, "replay: writing the trace failed\n");
        ok = 0;
    }
    if (trace != nullptr && trace != stdout)
        fclose(trace);
    return ok ? 0 : 1;
}

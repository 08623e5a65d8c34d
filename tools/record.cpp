// record.cpp -- plays the game at the keyboard as usual, and writes what was
// held in every frame as a key script for replay: one line per frame, runs
// of equal lines folded into "xN". Replayed with the same seed, the script
// gives the same game, frame for frame.
//
//   record --out FILE [--seed N] [--frames N] [--trace FILE]
//
// Installed as clankwise-record, the name its usage gives.
//
// It ends when the window is closed, on the Escape key (which the game does
// not use) or after --frames frames. Exit status: 0 done, 2 bad command
// line or unwritable output.

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "replay.h"
#include "game.h"

static FILE* recordOut = nullptr;    // the script being written
static FILE* recordTrace = nullptr;  // state lines, or none
static std::string pendingLine;      // held keys of the last frames
static long pendingCount = 0;        // how many frames in a row held them
static long framesDone = 0;
static long frameLimit = 0;          // 0: until the window is closed
static long unnamedFrames = 0;       // frames with a key the format cannot name

// The keys held now, as a script line: character keys in code order, then
// special keys; "-" when none. Reads keyStates, specialStates.
static std::string heldKeysLine()
{
    std::string line;
    int unnamed = 0;
    for (int special = 0; special <= 1; special++) {
        const int* table = special ? specialStates : keyStates;
        for (int code = 0; code < 256; code++) {
            if (table[code] != 1)
                continue;
            std::string name = keyName(code, special);
            if (name.empty())
                unnamed = 1;
            else
                line += (line.empty() ? "" : " ") + name;
        }
    }
    unnamedFrames += unnamed;
    return line.empty() ? "-" : line;
}

// Writes the run of equal frames that has just ended.
static void writePendingLine()
{
    if (pendingCount == 0)
        return;
    if (pendingCount == 1)
        fprintf(recordOut, "%s\n", pendingLine.c_str());
    else
        fprintf(recordOut, "%s x%ld\n", pendingLine.c_str(), pendingCount);
    fflush(recordOut);
}

// One frame: note the held keys, then run the game's frame.
static void recordFrame()
{
    std::string line = heldKeysLine();
    if (line == pendingLine && pendingCount < 100000) {
        pendingCount++;
    } else {
        writePendingLine();
        pendingLine = line;
        pendingCount = 1;
    }
    display();
    framesDone++;
    if (recordTrace != nullptr) {
        writeStateLine(recordTrace, framesDone);
        fflush(recordTrace);
    }
    if (frameLimit > 0 && framesDone >= frameLimit)
        glutLeaveMainLoop();
}

// The display callback: the frames due at the game's own pace, each noted,
// so that a recording made on a slow machine still holds 100 frames a
// second of play. Past --frames, nothing more runs.
static void recordDisplay()
{
    runDueFrames([] {
        if (frameLimit == 0 || framesDone < frameLimit)
            recordFrame();
    });
}

// Escape ends the recording; every other key goes to the game.
static void recordKeyPressed(unsigned char key, int x, int y)
{
    if (key == 27)
        glutLeaveMainLoop();
    else
        keyPressed(key, x, y);
}

// Reads the command line and opens the outputs. Returns 0 after an error.
// Writes the seed, frameLimit, recordOut, recordTrace.
static int readOptions(int argc, char** argv, unsigned* seed)
{
    std::string out, trace;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string opt = argv[i];
        long long n = 0;
        if (opt == "--out")
            out = argv[i + 1];
        else if (opt == "--trace")
            trace = argv[i + 1];
        else if (opt == "--seed" && (n = wholeNumber(argv[i + 1], 0, 4294967295LL)) >= 0)
            *seed = (unsigned)n;
        else if (opt == "--frames" && (n = wholeNumber(argv[i + 1], 1, 1000000)) >= 0)
            frameLimit = n;
        else
            return 0;
    }
    if (out.empty() || argc % 2 == 0)
        return 0;
    recordOut = fopen(out.c_str(), "wb");
    if (!trace.empty())
        recordTrace = fopen(trace.c_str(), "wb");
    if (recordOut == nullptr || (!trace.empty() && recordTrace == nullptr)) {
        fprintf(stderr, "record: cannot write %s: %s\n",
                recordOut == nullptr ? out.c_str() : trace.c_str(), strerror(errno));
        exit(2);
    }
    return 1;
}

// The command line: on standard output when asked for with --help, on
// standard error after a mistake.
static void usage(FILE* out)
{
    fputs("usage: clankwise-record --out FILE [--seed N] [--frames N] [--trace FILE]\n"
          "       clankwise-record --help | --version\n"
          "  --out FILE    the key script to write\n"
          "  --seed N      seed of the crown colours (default 1)\n"
          "  --frames N    stop after N frames (default: Escape or closing the window)\n"
          "  --trace FILE  one line of game state per frame\n"
          "  --help        print this and exit\n"
          "  --version     print the version and exit\n"
          "Exit status: 0 done, 2 bad command line or unwritable output.\n"
          "See clankwise-record(1).\n",
          out);
}

// The game's own start-up and main loop, with a known seed and the frame
// wrapped; closing the window returns from the loop so the last line can be
// written.
int main(int argc, char** argv)
{
    unsigned seed = 1;
    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        printf("clankwise-record %s\n", CLANKWISE_VERSION);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "--help") == 0) {
        usage(stdout);
        return 0;
    }
    if (!readOptions(argc, argv, &seed)) {
        usage(stderr);
        return 2;
    }
    fprintf(recordOut, "# recorded by record --seed %u\n", seed);
    startGame(seed, 0);
    printCommands();
    int glutArgc = 1;
    char* glutArgv[] = {argv[0], nullptr};
    openWindow(&glutArgc, glutArgv);
    glutDisplayFunc(recordDisplay);
    glutKeyboardFunc(recordKeyPressed);
    playInWindow();
    writePendingLine();
    if (unnamedFrames > 0)
        fprintf(stderr, "record: %ld frames held keys a script cannot name; left out\n",
                unnamedFrames);
    fprintf(stderr, "record: %ld frames\n", framesDone);
    fclose(recordOut);
    if (recordTrace != nullptr)
        fclose(recordTrace);
    return 0;
}

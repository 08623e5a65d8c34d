// options.cpp -- the game's command line, read before any window opens:
// --help and --version answer and end the program; the options GLUT takes
// (-display, -geometry and its few switches) are left for glutInit; any
// other word is refused with one line and exit status 2, so a mistyped
// option never starts a game the player did not ask for.

#include <cstdio>
#include <cstring>

#include "game.h"

// The X options glutInit understands, and whether each takes a value.
struct GlutOption {
    const char* name;
    int takesValue;
};
static const GlutOption GLUT_OPTIONS[] = {
    {"-display", 1}, {"-geometry", 1}, {"-direct", 0}, {"-indirect", 0},
    {"-iconic", 0},  {"-gldebug", 0},  {"-sync", 0},
};

// Characters of a UTF-8 string as the terminal shows them (é is one).
static int shownWidth(const char* text)
{
    int width = 0;
    for (const char* c = text; *c != '\0'; c++)
        width += ((unsigned char)*c & 0xC0) != 0x80;
    return width;
}

// Prints the controls table, columns padded by shown width. Reads CONTROLS.
static void printControls(FILE* out)
{
    for (int i = 0; i < NB_CONTROLS; i++) {
        const char* const* row = CONTROLS[i];
        fprintf(out, "  %s%*s%s%*s%s%*s%s\n", row[0], 15 - shownWidth(row[0]), "", row[1],
                7 - shownWidth(row[1]), "", row[2], 21 - shownWidth(row[2]), "", row[3]);
    }
}

// The --help screen, on standard output.
static void printHelp(const char* program)
{
    printf("Usage: %s [OPTION]...\n"
           "Drive a two-wheeled robot across a field of fir trees, shoot the trees\n"
           "down, punch, and watch through five cameras.\n"
           "\n"
           "Options:\n"
           "  --help                show this help and exit\n"
           "  --version             show the version and exit\n"
           "  --no-hint             start without the \"H: help\" hint in the corner\n"
           "  --mute                start with the sound off (n turns it on)\n"
           "  -display DISPLAY      the X display to open the window on\n"
           "  -geometry WxH+X+Y     the window's size and place (500x500+100+100)\n"
           "  GLUT also takes -direct, -indirect, -iconic, -gldebug and -sync.\n"
           "\n"
           "Controls (held keys act once every frame; Escape or closing the window quits):\n",
           program);
    printControls(stdout);
    printf("\nThe character keys are those of a French (AZERTY) keyboard; the arrow and\n"
           "function keys do the same on any layout. The help shown by h or ? lists the\n"
           "controls over the game, says when the game is paused or Caps Lock is on\n"
           "(the letter keys need lower case), and gives the pictures a second and the\n"
           "game's speed.\n"
           "\n"
           "A game pad plays too, plugged in before or while playing: A B X Y are its\n"
           "face buttons by place (bottom, right, left, top), L3 and R3 its sticks\n"
           "pressed in, LB RB LT RT its shoulder buttons and triggers. The left stick\n"
           "drives once pushed past a third of its way; in the free camera the sticks\n"
           "fly it. The pad holds the keys of its rows: no pad, or none readable, is\n"
           "no error.\n"
           "\n"
           "Environment:\n"
           "  CLANKWISE_DESIGNED_PACING=1\n"
           "        one frame per 10 ms tick, every frame drawn: where the machine cannot\n"
           "        draw 100 pictures a second, the game runs slower (by default it keeps\n"
           "        its speed and shows fewer pictures)\n"
           "  CLANKWISE_IMMEDIATE=1\n"
           "        draw call by call, every frame, not from display lists\n");
}

// Reads the command line. Returns -1 when the game should start, otherwise
// the exit status, after printing the answer or the error. --no-hint
// writes startHint, --mute soundMuted.
int readCommandLine(int argc, char** argv)
{
    const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "clankwise";
    if (strrchr(program, '/') != nullptr)
        program = strrchr(program, '/') + 1;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0) {
            printHelp(program);
            return 0;
        }
        if (strcmp(argv[i], "--version") == 0) {
            printf("clankwise %s\n", CLANKWISE_VERSION);
            return 0;
        }
        if (strcmp(argv[i], "--no-hint") == 0) {
            startHint = 0;
            continue;
        }
        if (strcmp(argv[i], "--mute") == 0) {
            soundMuted = 1;
            continue;
        }
        int known = 0;
        for (const GlutOption& opt : GLUT_OPTIONS) {
            if (strcmp(argv[i], opt.name) != 0)
                continue;
            known = 1;
            if (opt.takesValue && ++i >= argc) {
                fprintf(stderr, "%s: option %s needs a value (try --help)\n", program, opt.name);
                return 2;
            }
        }
        if (!known) {
            fprintf(stderr, "%s: unknown option '%s' (try --help)\n", program, argv[i]);
            return 2;
        }
    }
    return -1;
}

// main.cpp -- Clankwise: drive a two-wheeled robot across a field of fir
// trees, shoot the trees down, punch, and watch through five cameras.

#include <cstdlib>
#include <ctime>

#include "game.h"

const int START_HINT_FRAMES = 600;  // the "H: help" hint: 6 s at full speed

// Answers --help and --version or refuses a bad option before anything
// else, and says what to do when there is no display; otherwise the start-up
// in order, the main loop until Escape or the window's close button, and the
// window taken down cleanly. The game itself, unlike the tools, shows the
// player the start hint, the help, the notes and takes F11.
int main(int argc, char** argv)
{
    playerInterface = 1;
    hintFrames = START_HINT_FRAMES;
    int status = readCommandLine(argc, argv);
    if (status >= 0)
        return status;
    if (!checkDisplay("clankwise", argc, argv))
        return 1;
    seedForest((unsigned)time(NULL));
    printCommands();
    clearTables();
    plantTrees();
    openWindow(&argc, argv);
    nameWindow();
    capsLockState = keyboardCapsLock;
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutCloseFunc(windowClosing);
    glutTimerFunc(10, update, 0);
    glutTimerFunc(10, watchFocus, 0);
    glutMainLoop();
    closeWindow();
    return 0;
}

// main.cpp -- Clankwise: drive a two-wheeled robot across a field of fir
// trees, shoot the trees down, punch, and watch through five cameras.

#include <cstdlib>
#include <ctime>

#include "game.h"

// Answers --help and --version or refuses a bad option before anything
// else; otherwise the start-up in order, the main loop until Escape or the
// window's close button, and the window taken down cleanly.
int main(int argc, char** argv)
{
    int status = readCommandLine(argc, argv);
    if (status >= 0)
        return status;
    srand(time(NULL));
    printCommands();
    clearTables();
    plantTrees();
    openWindow(&argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutTimerFunc(10, update, 0);
    glutMainLoop();
    closeWindow();
    return 0;
}

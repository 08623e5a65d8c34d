// main.cpp -- Clankwise: drive a two-wheeled robot across a field of fir
// trees, shoot the trees down, punch, and watch through five cameras.

#include <cstdlib>
#include <ctime>

#include "game.h"

int main(int argc, char** argv)
{
    srand(time(NULL));
    printCommands();
    clearTables();
    plantTrees();
    openWindow(&argc, argv);
    glutTimerFunc(10, update, 0);
    glutMainLoop();
    return 0;
}

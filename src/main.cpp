// main.cpp -- Clankwise: drive a two-wheeled robot across a field of fir
// trees, shoot the trees down, punch, and watch through five cameras.

#include <ctime>

#include "game.h"

// Answers --help and --version or refuses a bad option before anything
// else, and says what to do when there is no display; otherwise the game's
// start with the clock as its seed and the player's interface on (the start
// hint, the help, the notes, F11) and its sound on the audio device, if
// there is one, the command list, the window, and the
// main loop until Escape or the window's close button.
int main(int argc, char** argv)
{
    int status = readCommandLine(argc, argv);
    if (status >= 0)
        return status;
    if (!checkDisplay("clankwise", argc, argv))
        return 1;
    soundOutput = SOUND_DEVICE;
    startGame((unsigned)time(NULL), 1);
    printCommands();
    openWindow(&argc, argv);
    nameWindow();
    capsLockState = keyboardCapsLock;
    playInWindow();
    return 0;
}

// pad_none.cpp -- the pads of a build without SDL (the Windows zip, until
// SDL2 is built for it): none, and the game plays at the keyboard.

#include "game.h"

// No pad support: the game plays on as it is. Returns 0.
int startPad()
{
    return 0;
}

// Nothing to let go of.
void stopPad()
{
}

// play.h -- what the in-process tests share: the game's start-up with a
// fixed seed in its real window, and the frame as the game runs it.

#ifndef CLANKWISE_TESTS_PLAY_H
#define CLANKWISE_TESTS_PLAY_H

#include <vector>

// Plants the forest with `seed` and opens the game's 500 by 500 window,
// waiting for GLUT's events until it is shown and has its projection.
// Returns 0 if it does not come up within 10 s.
int openGameWindow(char* program, unsigned seed);

// One frame of the game, finished to the last pixel.
void playFrame();

// The window's pixels as RGB rows, bottom row first.
std::vector<unsigned char> readWindow();

// The heap in use, in bytes, from malloc's own books.
long heapInUse();

#endif

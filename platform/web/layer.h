// layer.h -- what the pieces of the web build's GL layer share: the
// fixed-function pipeline is done here on the CPU (matrices, per-vertex
// lighting, display lists, feedback), and WebGL only fills the triangles it
// is handed, already in clip coordinates with their lit colours. So the
// numbers the game reads back (matrices, the light) are the same as the
// ones it draws with, and a frame that will not be shown can skip the
// filling alone.

#ifndef CLANKWISE_WEB_LAYER_H
#define CLANKWISE_WEB_LAYER_H

#include <GL/freeglut.h>

// 1: triangles are lit and handed to WebGL; 0: the frame will not be shown,
// so only the state the game can read back is kept (gl_layer.cpp).
extern int layerRasterise;

// Sends what is batched to WebGL (gl_layer.cpp).
void layerFlush();

// The JavaScript side (webgl.js).
extern "C" {
void webglDraw(const float* vertices, int count, int flags, int vx, int vy, int vw, int vh,
               int blend);
void webglClear(float r, float g, float b, float a, int mask);
void webglFullscreen();
void webglText(int x, int y, float r, float g, float b, int size, const char* text);
int webglTextWidth(int size, const char* text);
}

// Flags of webglDraw.
const int DRAW_DEPTH_TEST = 1;
const int DRAW_CULL_BACK = 2;

#endif

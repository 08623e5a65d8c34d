// layer.h -- what the pieces of the web build's GL layer share. The layer
// keeps the fixed-function state on the CPU (the matrix stacks, the light,
// the current colour, normal and materials, feedback), so the numbers the
// game reads back are the ones it draws with. Immediate-mode triangles are
// transformed and lit here and handed to WebGL in clip coordinates with
// their colours; a display list goes once, at glEndList, into a static
// WebGL buffer in object coordinates, and each glCallList draws it with a
// vertex shader doing the same transform and lighting, the matrices and
// the light passed as uniforms. A frame that will not be shown skips the
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
// A static buffer of `count` list vertices; returns its name (> 0).
int webglListBuffer(const float* vertices, int count);
void webglListFree(int buffer);
// Draws vertices first .. first + count - 1 of a list buffer.
void webglListDraw(int buffer, int first, int count, const float* uniforms, int flags, int vx,
                   int vy, int vw, int vh, int blend);
void webglClear(float r, float g, float b, float a, int mask);
void webglFullscreen();
void webglText(int x, int y, float r, float g, float b, int size, const char* text);
int webglTextWidth(int size, const char* text);
}

// The two vertex layouts and the uniform block, in floats. webgl.js names
// the same ones in its `layout` object: change both together.
// Immediate mode (webglDraw): clip x, y, z, w, then the lit colour.
const int BATCH_CLIP = 0, BATCH_COLOUR = 4, BATCH_FLOATS = 8;
// Display lists (webglListBuffer): object x, y, z, the normal, the colour
// current at the vertex (unclamped: the shader clamps it as GL does).
const int LIST_POSITION = 0, LIST_NORMAL = 3, LIST_COLOUR = 6, LIST_FLOATS = 10;
// What webglListDraw's uniforms hold: the model-view and projection
// matrices (column-major), the normal matrix (3x3, column-major), the
// switches (lighting, colour material, normalise, the light on), the
// ambient and diffuse materials, the light's diffuse colour, position and
// spot direction in eye coordinates, the spot (cone on, cosine of the
// cut-off, exponent) and the constant, linear and quadratic attenuation.
const int U_MODELVIEW = 0, U_PROJECTION = 16, U_NORMAL_MATRIX = 32, U_SWITCHES = 41,
          U_AMBIENT = 45, U_DIFFUSE = 49, U_LIGHT_DIFFUSE = 53, U_LIGHT_POSITION = 57,
          U_SPOT_DIRECTION = 61, U_SPOT = 64, U_ATTENUATION = 67, U_FLOATS = 70;

// Flags of webglDraw and webglListDraw.
const int DRAW_DEPTH_TEST = 1;
const int DRAW_CULL_BACK = 2;

#endif

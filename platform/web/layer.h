// layer.h -- what the pieces of the web build's GL layer share. The layer
// keeps the fixed-function state on the CPU (the matrix stacks, the light,
// the current colour, normal and materials, feedback), so the numbers the
// game reads back are the ones it draws with. WebGL's vertex shader does
// the per-vertex transform and lighting, with the matrices and the light
// as uniforms: a display list goes once, at glEndList, into static WebGL
// buffers (flattened: in the coordinates of its call, its own matrices
// taken into its vertices), and each glCallList draws it, the draws of
// several lists in a row batched into one; immediate-mode triangles are
// streamed in the same layout (in eye coordinates), a buffer a draw. Feedback mode is done here on the CPU (the same formulas). A frame
// that will not be shown skips the filling alone.

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
// Draws once the triangles of `indexCount` indices into `count` vertices
// (in the lists' layout), whose vertices use `segments` of the uniforms'
// matrices.
void webglStreamDraw(const float* vertices, int count, const unsigned short* indices,
                     int indexCount, int segments, const float* uniforms, int flags, int vx,
                     int vy, int vw, int vh, int blend);
// Static buffers of `count` list vertices and `indexCount` 16-bit indices
// into them (three a triangle); returns their name (> 0).
int webglListBuffer(const float* vertices, int count, const unsigned short* indices,
                    int indexCount);
void webglListFree(int buffer);
// A static buffer of room for `count` vertices in the lists' layout (a page
// several lists share); returns its name (> 0).
int webglPageCreate(int count);
// Writes `count` vertices into a page from vertex `first` on.
void webglPageWrite(int page, int first, const float* vertices, int count);
// Draws once the triangles of `indexCount` indices into a page's vertices,
// one segment (the uniforms' first matrices).
void webglPageDraw(int page, const unsigned short* indices, int indexCount, const float* uniforms,
                   int flags, int vx, int vy, int vw, int vh, int blend);
// Draws the triangles of indices first .. first + count - 1 of a list,
// whose vertices use `segments` of the uniforms' matrices.
void webglListDraw(int buffer, int first, int count, int segments, const float* uniforms,
                   int flags, int vx, int vy, int vw, int vh, int blend);
void webglClear(float r, float g, float b, float a, int mask);
void webglFullscreen();
void webglText(int x, int y, float r, float g, float b, int size, const char* text);
int webglTextWidth(int size, const char* text);
}

// The vertex layout and the uniform block, in floats. webgl.js names the
// same ones in its `layout` object: change both together.
// Display lists (webglListBuffer) and immediate mode (webglStreamDraw): object x, y, z, the normal, the colour
// current at the vertex (unclamped: the shader clamps it as GL does), and
// which of its draw's segments (matrices) it belongs to.
const int LIST_POSITION = 0, LIST_NORMAL = 3, LIST_COLOUR = 6, LIST_SEGMENT = 10,
          LIST_FLOATS = 11;
// A draw holds up to LIST_SEGMENTS stretches, each under the model-view
// matrix the list (or immediate mode) had there. 1: SwiftShader runs a
// vertex shader that picks its matrix by a per-vertex index so much slower
// (about a third more for the whole frame, as the game starts) that a draw
// for each matrix costs less; the shader then reads matrix 0 alone.
const int LIST_SEGMENTS = 1;
// What webglListDraw's uniforms hold: the projection (column-major), the
// switches (lighting, colour material, normalise, the light on), the
// ambient and diffuse materials, the light's diffuse colour, position and
// spot direction in eye coordinates, the spot (cone on, cosine of the
// cut-off, exponent), the constant, linear and quadratic attenuation, then
// each segment's model-view matrix (column-major) and normal matrix (3x3,
// column-major).
const int U_PROJECTION = 0, U_SWITCHES = 16, U_AMBIENT = 20, U_DIFFUSE = 24,
          U_LIGHT_DIFFUSE = 28, U_LIGHT_POSITION = 32, U_SPOT_DIRECTION = 36, U_SPOT = 39,
          U_ATTENUATION = 42, U_MODELVIEWS = 45, U_NORMAL_MATRICES = U_MODELVIEWS + 16 * LIST_SEGMENTS,
          U_FLOATS = U_NORMAL_MATRICES + 9 * LIST_SEGMENTS;

// Flags of webglStreamDraw and webglListDraw.
const int DRAW_DEPTH_TEST = 1;
const int DRAW_CULL_BACK = 2;
// webglListDraw: the light adds nothing to these vertices (the scene's
// ambient light alone): drawn by a shader that leaves it out.
const int DRAW_AMBIENT_ONLY = 4;

#endif

// gl_layer.cpp -- fixed-function OpenGL for the web build, as the game uses
// it: the two matrix stacks, glBegin/glEnd cut into triangles, per-vertex
// lighting (the global ambient light and one spot light, colour material,
// normalised normals, smooth shading), display lists, feedback and
// glPushAttrib. Matrices are kept in single precision, as desktop GL keeps
// them, so what the game reads back with glGetDoublev is what it would read
// there.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "layer.h"

int layerRasterise = 1;

namespace {

struct Mat {
    float m[16];  // column-major, as GL hands matrices out
};

const int STACK_DEPTH = 32;

Mat stacks[2][STACK_DEPTH];   // 0 model-view, 1 projection
int stackTop[2];              // index of the current matrix of each stack
int matrixMode;               // 0 or 1, as stacks' first index

// Enables and state that glPushAttrib can save.
struct Attrib {
    GLbitfield mask;
    bool lighting, light2, depthTest, colorMaterial, normalize, blend, cullFace;
    int viewport[4];
    float color[4], normal[3];
    int matrixMode;
};
Attrib cur = {0, false, false, false, false, false, false, false, {0, 0, 500, 500},
              {1, 1, 1, 1}, {0, 0, 1}, 0};
std::vector<Attrib> attribStack;

// The one light the game uses, in eye coordinates, and the scene's ambient.
float lightDiffuse[4] = {0, 0, 0, 1};
float lightPosition[4] = {0, 0, 1, 0};
float spotDirection[3] = {0, 0, -1};
float spotCutoff = 180, spotExponent = 0;
float attenuation[3] = {1, 0, 0};
const float SCENE_AMBIENT = 0.2f;
float materialAmbient[4] = {0.2f, 0.2f, 0.2f, 1}, materialDiffuse[4] = {0.8f, 0.8f, 0.8f, 1};

float clearColour[4];

// The primitive being built: in feedback mode eye x, y, z, clip x, y, z, w
// and the lit r, g, b, a of each vertex; otherwise each vertex in the
// lists' layout (LIST_FLOATS: object coordinates, the current normal and
// colour), for the shader to transform and light.
GLenum primitive;
bool inPrimitive;
std::vector<float> primVerts;  // its first primUsed floats
size_t primUsed;

// Room for n more floats of the primitive (grown by doubling, so that a
// vertex costs no allocation and no clearing).
float* primTake(size_t n)
{
    size_t at = primUsed;
    primUsed += n;
    if (primUsed > primVerts.size())
        primVerts.resize(std::max(primUsed, 2 * primVerts.size()));
    return &primVerts[at];
}
const int FEEDBACK_FLOATS = 11;
// The immediate-mode triangles not yet handed to WebGL: each primitive's
// vertices once, in the lists' layout, and its triangles as indices, with the uniforms and fill state they are drawn under: a new
// draw when the light, the projection, a material or the fill state
// changes, a new segment when the model-view matrix does.
std::vector<float> stream;
std::vector<unsigned short> streamIndices;  // three a triangle, into stream
float streamUniforms[U_FLOATS];
int streamSegments, streamFlags, streamBlend, streamViewport[4];
Mat normalMatrix;              // inverse transpose of the model-view, this primitive
// Immediate mode streams each vertex in eye coordinates when the model-view
// is affine (its last row 0, 0, 0, 1; the game's always is): the position
// through the model-view and the normal through normalMatrix, as the
// shader would take them, so that the stream's draws need not end where
// the model-view changes (the robot was a draw for each of its parts).
// The segment's matrix is then the identity.
bool eyeStream;
Mat normalMatrixOf = {{NAN}};  // the model-view normalMatrix was made from

// Display lists: the calls recorded between glNewList and glEndList. A list
// records glPushMatrix, glPopMatrix, glTranslate*, glRotatef, glScalef,
// glColor*, glNormal3f, glVertex3f, glBegin, glEnd and glMaterialfv
// (ambient and diffuse); every other call runs at once, even while a list
// is recorded.
enum Op { OP_PUSH, OP_POP, OP_TRANSLATE, OP_ROTATE, OP_SCALE, OP_COLOR, OP_NORMAL,
          OP_VERTEX, OP_BEGIN, OP_END, OP_MATERIAL };
struct Call {
    int op;
    float a[4];
};
std::vector<std::vector<Call>> lists(1);  // list 0 is never used
// What each list leaves behind when nothing is drawn: its last colour,
// normal and materials, or, when it moves the matrix outside a push and
// pop, every call but the vertices.
std::vector<std::vector<Call>> residues(1);
// What glEndList makes of a list for WebGL: its vertices in one static
// buffer (LIST_FLOATS a vertex, each distinct one once), the indices of its
// triangles (cut as glEnd cuts them), and the steps of a call: each
// recorded call but the vertices, replayed on the layer's own state, a mark
// where a segment of the list starts (its model-view matrix taken then),
// and a draw of up to LIST_SEGMENTS segments (cut short by a material
// change, which the shader takes as a uniform too).
//
// A list's matrix calls are relative to the model-view it is called under
// (glLoadMatrix and the like run at once, never recorded), so where they
// never pop below that matrix the list is flattened: each vertex is taken
// through the list's own matrices of the moment (and its normal through
// their inverse transpose) once, here, and the whole list is one segment
// under the model-view of the call. A flattened list that ends as it
// began (every push popped, no move outside them) also needs none of its
// matrix calls replayed: `quick` holds its steps without them, with the
// last colour and normal alone (the vertices carry their own colours, so
// only the materials matter to a draw).
//
// A list whose vertices take a colour or normal from before the call, that
// changes a matrix or a material inside glBegin/glEnd, or that holds more
// vertices than 16-bit indices reach, is left unbaked and replayed as
// recorded.
enum StepKind { STEP_CALL, STEP_MARK, STEP_DRAW };
struct Step {
    int kind;
    Call call;         // STEP_CALL
    int segment;       // STEP_MARK: which; STEP_DRAW: how many
    int first, count;  // STEP_DRAW: the range of indices
    int piece, pieces;    // STEP_DRAW of a flat list: its pieces (Baked::pieces)
};
// A flat list's draw is cut into pieces where the list's own matrix
// changes (a tree: each cone and the trunk): a range of indices and a
// sphere around its vertices, in the coordinates of the call, to tell
// whether the light can reach them (see unreached).
struct Piece {
    int first, count;
    float centre[3], radius;
};
struct Baked {
    bool ok;
    int buffer;  // webglListBuffer's name, 0 for none
    std::vector<Step> steps;
    bool flat;         // one segment under the model-view of the call
    int depth;         // the most pushes the list holds at once
    std::vector<Step> quick;  // a flat list that ends as it began: see above
    std::vector<Piece> pieces;
    // A flat list's vertices lie in a page (see Page) instead of a buffer
    // of their own: page -1 for none, else vertices base .. base + count - 1
    // of it, and its indices (into the page) kept here, to be sent with
    // others.
    int page, base, count;
    std::vector<unsigned short> indices;
};
// Flat lists are drawn under the model-view of their call (for the trees,
// the same for all of them), so the draws of several lists in a row can go
// as one: their vertices share pages, static WebGL buffers of up to 65,536
// vertices (16-bit indices), and the indices of the list draws since the
// last other draw, taken to their page, wait in the batch while the page,
// the shader, the uniforms and the fill state stay the same.
const int PAGE_VERTICES = 65536;
struct Page {
    int name;   // webglPageCreate's
    int used;   // vertices 0 .. used - 1 were handed out
    std::vector<std::pair<int, int>> holes;  // freed since: first, count, in order
};
std::vector<Page> pages;
std::vector<unsigned short> batch;
int batchPage, batchFlags, batchViewport[4], batchBlend;
float batchUniforms[U_FLOATS];
std::vector<Baked> baked(1);
std::vector<Call>* recording;           // nullptr when not recording
GLuint recordingName;

// Feedback mode.
bool feedback;
GLfloat* feedbackBuffer;
int feedbackSize, feedbackUsed;
bool feedbackOverflow;

Mat& top() { return stacks[matrixMode][stackTop[matrixMode]]; }

// r = a * b, in single precision as GL multiplies its matrices.
void multiply(Mat& r, const Mat& a, const Mat& b)
{
    Mat t;
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++) {
            float sum = 0;
            for (int k = 0; k < 4; k++)
                sum += a.m[k * 4 + row] * b.m[col * 4 + k];
            t.m[col * 4 + row] = sum;
        }
    r = t;
}

Mat identity()
{
    Mat i = {};
    i.m[0] = i.m[5] = i.m[10] = i.m[15] = 1;
    return i;
}

// Multiplies the current matrix on the right by m.
void apply(const Mat& m) { multiply(top(), top(), m); }

// The matrices glTranslatef and glScalef multiply by.
Mat translation(float x, float y, float z)
{
    Mat t = identity();
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return t;
}

Mat scaling(float x, float y, float z)
{
    Mat s = identity();
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    return s;
}

// glRotatef's matrix, into r; false (and nothing to multiply by) for an
// axis of length 0.
bool rotation(float angle, float x, float y, float z, Mat& r)
{
    float len = std::sqrt(x * x + y * y + z * z);
    if (len == 0)
        return false;
    x /= len;
    y /= len;
    z /= len;
    float rad = angle * (float)M_PI / 180;
    float s = std::sin(rad), c = std::cos(rad), t = 1 - c;
    r = identity();
    r.m[0] = x * x * t + c;
    r.m[1] = y * x * t + z * s;
    r.m[2] = z * x * t - y * s;
    r.m[4] = x * y * t - z * s;
    r.m[5] = y * y * t + c;
    r.m[6] = z * y * t + x * s;
    r.m[8] = x * z * t + y * s;
    r.m[9] = y * z * t - x * s;
    r.m[10] = z * z * t + c;
    return true;
}

void transform(const Mat& m, const float v[4], float out[4])
{
    for (int row = 0; row < 4; row++)
        out[row] = m.m[row] * v[0] + m.m[4 + row] * v[1] + m.m[8 + row] * v[2] +
                   m.m[12 + row] * v[3];
}

// The inverse transpose of the upper 3x3 of m, in the upper 3x3 of a Mat,
// for carrying normals into eye coordinates: each element is its cofactor
// over the determinant. Element (r, c) of a matrix is m[c * 4 + r].
Mat inverseTranspose3(const Mat& a, bool* invertible = nullptr)
{
    auto at = [&a](int r, int c) { return (double)a.m[(c % 3) * 4 + r % 3]; };
    double cof[3][3];
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)  // cyclic order gives the cofactor's sign
            cof[r][c] = at(r + 1, c + 1) * at(r + 2, c + 2) - at(r + 1, c + 2) * at(r + 2, c + 1);
    double det = at(0, 0) * cof[0][0] + at(0, 1) * cof[0][1] + at(0, 2) * cof[0][2];
    Mat n = identity();
    if (invertible != nullptr)
        *invertible = det != 0;
    if (det == 0)
        return n;
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            n.m[c * 4 + r] = (float)(cof[r][c] / det);
    return n;
}

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// The colour of a vertex at eye position p with the current normal: the
// scene's ambient light on the ambient material, plus the spot light's
// diffuse part, attenuated with distance and by the cone. Specular light is
// left out: the game's light has none.
void lightVertex(const float p[4], float out[4])
{
    const float* amb = cur.colorMaterial ? cur.color : materialAmbient;
    const float* dif = cur.colorMaterial ? cur.color : materialDiffuse;
    float n[3];
    for (int row = 0; row < 3; row++)
        n[row] = normalMatrix.m[row] * cur.normal[0] + normalMatrix.m[4 + row] * cur.normal[1] +
                 normalMatrix.m[8 + row] * cur.normal[2];
    float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (cur.normalize && len > 0)
        for (float& c : n)
            c /= len;
    for (int k = 0; k < 3; k++)
        out[k] = SCENE_AMBIENT * amb[k];
    out[3] = dif[3];
    if (!cur.light2)
        return;
    float l[3], d = 1, att = 1, spot = 1;
    for (int k = 0; k < 3; k++)
        l[k] = lightPosition[3] != 0 ? lightPosition[k] - p[k] : lightPosition[k];
    d = std::sqrt(l[0] * l[0] + l[1] * l[1] + l[2] * l[2]);
    if (d > 0)
        for (float& c : l)
            c /= d;
    if (lightPosition[3] != 0) {
        att = 1 / (attenuation[0] + attenuation[1] * d + attenuation[2] * d * d);
        if (spotCutoff != 180) {
            const float* s = spotDirection;
            float sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
            float c = sl > 0 ? -(l[0] * s[0] + l[1] * s[1] + l[2] * s[2]) / sl : 0;
            spot = c < std::cos(spotCutoff * (float)M_PI / 180) ? 0 : std::pow(c, spotExponent);
        }
    }
    float nl = n[0] * l[0] + n[1] * l[1] + n[2] * l[2];
    if (nl > 0)
        for (int k = 0; k < 3; k++)
            out[k] += att * spot * nl * lightDiffuse[k] * dif[k];
}

// --- uniforms -------------------------------------------------------------

// The uniforms of a list's draw that hold for all of its segments: the
// projection and the light.
void listUniforms(float u[U_FLOATS])
{
    memcpy(u + U_PROJECTION, stacks[1][stackTop[1]].m, 16 * sizeof(float));
    u[U_SWITCHES + 0] = cur.lighting;
    u[U_SWITCHES + 1] = cur.colorMaterial;
    u[U_SWITCHES + 2] = cur.normalize;
    u[U_SWITCHES + 3] = cur.light2;
    // (with colour material on, the shader takes the vertex's colour: the
    // materials would only change, and be sent again, for nothing)
    static const float unused[4] = {};
    memcpy(u + U_AMBIENT, cur.colorMaterial ? unused : materialAmbient, 4 * sizeof(float));
    memcpy(u + U_DIFFUSE, cur.colorMaterial ? unused : materialDiffuse, 4 * sizeof(float));
    memcpy(u + U_LIGHT_DIFFUSE, lightDiffuse, 4 * sizeof(float));
    memcpy(u + U_LIGHT_POSITION, lightPosition, 4 * sizeof(float));
    memcpy(u + U_SPOT_DIRECTION, spotDirection, 3 * sizeof(float));
    u[U_SPOT + 0] = spotCutoff != 180;
    u[U_SPOT + 1] = std::cos(spotCutoff * (float)M_PI / 180);
    u[U_SPOT + 2] = spotExponent;
    memcpy(u + U_ATTENUATION, attenuation, 3 * sizeof(float));
}

// Segment k's matrices: the model-view mv (by default as it is now), and
// its normal matrix.
void segmentUniforms(float u[U_FLOATS], int k, const Mat& mv = stacks[0][stackTop[0]])
{
    memcpy(u + U_MODELVIEWS + 16 * k, mv.m, 16 * sizeof(float));
    Mat n = cur.lighting ? inverseTranspose3(mv) : identity();
    for (int col = 0; col < 3; col++)
        for (int row = 0; row < 3; row++)
            u[U_NORMAL_MATRICES + 9 * k + col * 3 + row] = n.m[col * 4 + row];
}

}  // namespace

// --- immediate mode ---------------------------------------------------------

namespace {

// Hands the batched list draws to WebGL.
void flushBatch()
{
    if (!batch.empty())
        webglPageDraw(pages[batchPage].name, batch.data(), (int)batch.size(), batchUniforms,
                      batchFlags, batchViewport[0], batchViewport[1], batchViewport[2],
                      batchViewport[3], batchBlend);
    batch.clear();
}

// Hands the streamed triangles to WebGL with the state they were made under.
void flushStream()
{
    if (!streamIndices.empty())
        webglStreamDraw(stream.data(), (int)(stream.size() / LIST_FLOATS), streamIndices.data(),
                        (int)streamIndices.size(), streamSegments, streamUniforms, streamFlags,
                        streamViewport[0], streamViewport[1], streamViewport[2], streamViewport[3],
                        streamBlend);
    stream.clear();
    streamIndices.clear();
    streamSegments = 0;
}

}  // namespace

// Hands what waits to WebGL: the batch or the stream (never both: each is
// drawn before the other takes anything).
void layerFlush()
{
    flushBatch();
    flushStream();
}

namespace {

// The flags of a draw under the current depth test and culling. Reads cur.
int fillFlags()
{
    return (cur.depthTest ? DRAW_DEPTH_TEST : 0) | (cur.cullFace ? DRAW_CULL_BACK : 0);
}

// Before a primitive goes into the stream: a new draw whenever the state
// the triangles are filled or lit under changes, a new segment whenever
// the model-view matrix does.
void matchStreamState()
{
    flushBatch();  // the list draws before come first
    static float u[U_FLOATS];
    int flags = fillFlags();
    listUniforms(u);
    if (flags != streamFlags || (int)cur.blend != streamBlend ||
        memcmp(cur.viewport, streamViewport, sizeof streamViewport) != 0 ||
        memcmp(u, streamUniforms, U_MODELVIEWS * sizeof(float)) != 0) {
        layerFlush();
        streamFlags = flags;
        streamBlend = cur.blend;
        memcpy(streamViewport, cur.viewport, sizeof streamViewport);
        memcpy(streamUniforms, u, U_MODELVIEWS * sizeof(float));
    }
    static const Mat eye = identity();
    const Mat& mv = eyeStream ? eye : stacks[0][stackTop[0]];
    if (streamSegments > 0 &&
        memcmp(mv.m, streamUniforms + U_MODELVIEWS + 16 * (streamSegments - 1), 16 * sizeof(float)) == 0)
        return;
    if (streamSegments == LIST_SEGMENTS)
        layerFlush();
    segmentUniforms(streamUniforms, streamSegments++, mv);
}

void putFeedback(float v)
{
    if (feedbackUsed < feedbackSize)
        feedbackBuffer[feedbackUsed++] = v;
    else
        feedbackOverflow = true;
}

// One triangle of vertices a, b, c of the primitive, in feedback mode:
// into the buffer as a polygon in window coordinates (only if wholly
// inside the view volume: the layer clips nothing it hands back).
void emitTriangle(int a, int b, int c)
{
    const float* v[3] = {&primVerts[a * FEEDBACK_FLOATS], &primVerts[b * FEEDBACK_FLOATS],
                         &primVerts[c * FEEDBACK_FLOATS]};
    for (const float* p : v)
        for (int k = 0; k < 3; k++)
            if (!(std::fabs(p[3 + k]) <= p[6]))
                return;
    putFeedback(GL_POLYGON_TOKEN);
    putFeedback(3);
    for (const float* p : v) {
        putFeedback((p[3] / p[6] + 1) * 0.5f * cur.viewport[2] + cur.viewport[0]);
        putFeedback((p[4] / p[6] + 1) * 0.5f * cur.viewport[3] + cur.viewport[1]);
        putFeedback((p[5] / p[6] + 1) * 0.5f);
        for (int k = 7; k < 11; k++)
            putFeedback(p[k]);
    }
}

// One triangle's corners a, b, c written at `at`, which moves past them.
void putCorners(int*& at, int a, int b, int c)
{
    at[0] = a;
    at[1] = b;
    at[2] = c;
    at += 3;
}

// The triangles of a primitive of n vertices, as index triples into out,
// each keeping its winding. A quad is split from its second corner, as the
// desktop's renderer does (feedback hands it back from its first).
void cutPrimitive(GLenum mode, int n, bool forFeedback, std::vector<int>& out)
{
    // (at most 3 (n - 2) corners: room made once, then written in place)
    out.resize(n > 2 ? 3 * (n - 2) : 0);
    int* at = out.data();
    switch (mode) {
    case GL_TRIANGLES:
        for (int i = 0; i + 2 < n; i += 3)
            putCorners(at, i, i + 1, i + 2);
        break;
    case GL_TRIANGLE_STRIP:
    case GL_QUAD_STRIP:
        for (int i = 0; i + 2 < n; i++)
            i % 2 == 0 ? putCorners(at, i, i + 1, i + 2) : putCorners(at, i + 1, i, i + 2);
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (int i = 1; i + 1 < n; i++)
            putCorners(at, 0, i, i + 1);
        break;
    case GL_QUADS:
        for (int i = 0; i + 3 < n; i += 4) {
            if (forFeedback) {
                putCorners(at, i, i + 1, i + 2);
                putCorners(at, i, i + 2, i + 3);
            } else {
                putCorners(at, i, i + 1, i + 3);
                putCorners(at, i + 1, i + 2, i + 3);
            }
        }
        break;
    default:  // points and lines: the game draws none
        break;
    }
    out.resize(at - out.data());
}

std::vector<int> corners;  // scratch for cutPrimitive

// The finished primitive, in feedback mode: its triangles, as feedback
// hands a quad back, into the feedback buffer. Reads primVerts; writes
// corners and the buffer.
void emitFeedback()
{
    cutPrimitive(primitive, (int)(primUsed / FEEDBACK_FLOATS), true, corners);
    for (size_t i = 0; i + 2 < corners.size(); i += 3)
        emitTriangle(corners[i], corners[i + 1], corners[i + 2]);
}

// Room in the stream for n more vertices under 16-bit indices: when they
// would not fit, what is streamed is drawn, and a new draw with the same
// uniforms starts under the current matrix alone. Writes stream,
// streamIndices, streamSegments and streamUniforms.
void streamRoom(int n)
{
    if (stream.size() / LIST_FLOATS + n <= 65536)
        return;
    layerFlush();
    static const Mat eye = identity();
    segmentUniforms(streamUniforms, streamSegments++, eyeStream ? eye : stacks[0][stackTop[0]]);
}

// A primitive too big for its vertices to share 16-bit indices: each
// triangle streamed with corners of its own. Reads primVerts and corners;
// writes stream and streamIndices.
void streamApart()
{
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        streamRoom(3);
        for (size_t k = i; k < i + 3; k++) {
            streamIndices.push_back((unsigned short)(stream.size() / LIST_FLOATS));
            const float* p = &primVerts[corners[k] * LIST_FLOATS];
            stream.insert(stream.end(), p, p + LIST_FLOATS);
            stream.back() = (float)(streamSegments - 1);
        }
    }
}

// The primitive's n vertices streamed in one copy, under the current
// segment, and its triangles as indices into them. Reads primVerts and
// corners; writes stream and streamIndices.
void streamShared(int n)
{
    streamRoom(n);
    int base = (int)(stream.size() / LIST_FLOATS);
    stream.insert(stream.end(), primVerts.begin(), primVerts.begin() + primUsed);
    float segment = (float)(streamSegments - 1);
    for (int v = 0; v < n; v++)
        stream[(base + v) * LIST_FLOATS + LIST_SEGMENT] = segment;
    size_t at = streamIndices.size();
    streamIndices.resize(at + corners.size());
    for (size_t k = 0; k < corners.size(); k++)
        streamIndices[at + k] = (unsigned short)(base + corners[k]);
}

// Cuts the finished primitive into triangles: into the feedback buffer, or
// into the stream under the current segment (the stream's state matched
// first, so that a primitive that makes no triangle changes nothing).
// Reads primitive and primVerts; writes corners, the stream or the buffer.
void emitPrimitive()
{
    corners.clear();
    if (feedback) {
        emitFeedback();
        return;
    }
    int n = (int)(primUsed / LIST_FLOATS);
    cutPrimitive(primitive, n, false, corners);
    if (corners.empty())
        return;
    matchStreamState();
    if (n > 65536)  // too many to share
        streamApart();
    else
        streamShared(n);
}

bool record(int op, float a0 = 0, float a1 = 0, float a2 = 0, float a3 = 0)
{
    if (recording == nullptr)
        return false;
    recording->push_back({op, {a0, a1, a2, a3}});
    return true;
}

bool* capability(GLenum cap)
{
    switch (cap) {
    case GL_LIGHTING: return &cur.lighting;
    case GL_LIGHT2: return &cur.light2;
    case GL_DEPTH_TEST: return &cur.depthTest;
    case GL_COLOR_MATERIAL: return &cur.colorMaterial;
    case GL_NORMALIZE: return &cur.normalize;
    case GL_BLEND: return &cur.blend;
    case GL_CULL_FACE: return &cur.cullFace;
    default: return nullptr;
    }
}

}  // namespace

// --- state ----------------------------------------------------------------

void glEnable(GLenum cap)
{
    if (bool* b = capability(cap))
        *b = true;
}

void glDisable(GLenum cap)
{
    if (bool* b = capability(cap))
        *b = false;
}

void glShadeModel(GLenum) {}
void glPointSize(GLfloat) {}
void glBlendFunc(GLenum, GLenum) {}  // the game blends only by source alpha
void glPixelStorei(GLenum, GLint) {}
GLenum glGetError() { return GL_NO_ERROR; }
void glFlush() { layerFlush(); }
void glFinish() { layerFlush(); }

// Kept clamped, as GL keeps it. Writes clearColour.
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    float c[4] = {r, g, b, a};
    for (int k = 0; k < 4; k++)
        clearColour[k] = clamp01(c[k]);
}

// Clears colour and depth (and the text over the picture), unless the
// frame will not be shown.
void glClear(GLbitfield mask)
{
    layerFlush();
    if (layerRasterise)
        webglClear(clearColour[0], clearColour[1], clearColour[2], clearColour[3],
                   (int)(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)));
}

// Writes cur.viewport; a negative size counts as 0.
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h)
{
    cur.viewport[0] = x;
    cur.viewport[1] = y;
    cur.viewport[2] = w < 0 ? 0 : w;
    cur.viewport[3] = h < 0 ? 0 : h;
}

// --- matrices -------------------------------------------------------------

void glMatrixMode(GLenum mode) { cur.matrixMode = matrixMode = mode == GL_PROJECTION ? 1 : 0; }
void glLoadIdentity() { top() = identity(); }

// A push past the stack's depth or a pop of its last matrix is refused, as
// GL refuses it (with an error the game never asks for).
void glPushMatrix()
{
    if (record(OP_PUSH))
        return;
    if (stackTop[matrixMode] + 1 < STACK_DEPTH) {
        stacks[matrixMode][stackTop[matrixMode] + 1] = top();
        stackTop[matrixMode]++;
    }
}

void glPopMatrix()
{
    if (record(OP_POP))
        return;
    if (stackTop[matrixMode] > 0)
        stackTop[matrixMode]--;
}

// Multiplies the current matrix by m, rounded to single precision.
void glMultMatrixd(const GLdouble* m)
{
    Mat f;
    for (int k = 0; k < 16; k++)
        f.m[k] = (float)m[k];
    apply(f);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (record(OP_TRANSLATE, x, y, z))
        return;
    apply(translation(x, y, z));
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z)
{
    glTranslatef((float)x, (float)y, (float)z);
}

// The rotation of `angle` degrees about the axis (x, y, z), normalised.
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    if (record(OP_ROTATE, angle, x, y, z))
        return;
    Mat r;
    if (rotation(angle, x, y, z, r))
        apply(r);
}

// Scales the current matrix.
void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    if (record(OP_SCALE, x, y, z))
        return;
    apply(scaling(x, y, z));
}

// The parallel projection, in double precision as GL computes it; a
// degenerate box is refused.
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    if (l == r || b == t || n == f)
        return;
    double m[16] = {};
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    m[15] = 1;
    glMultMatrixd(m);
}

// The matrices and the viewport, as the game reads them back.
void glGetDoublev(GLenum pname, GLdouble* params)
{
    int which = pname == GL_PROJECTION_MATRIX ? 1 : 0;
    if (pname == GL_MODELVIEW_MATRIX || pname == GL_PROJECTION_MATRIX)
        for (int k = 0; k < 16; k++)
            params[k] = stacks[which][stackTop[which]].m[k];
    if (pname == GL_VIEWPORT)
        for (int k = 0; k < 4; k++)
            params[k] = cur.viewport[k];
}

// The current normal and colour, and the matrices.
void glGetFloatv(GLenum pname, GLfloat* params)
{
    if (pname == GL_CURRENT_NORMAL)
        memcpy(params, cur.normal, sizeof cur.normal);
    if (pname == GL_CURRENT_COLOR)
        memcpy(params, cur.color, sizeof cur.color);
    if (pname == GL_MODELVIEW_MATRIX || pname == GL_PROJECTION_MATRIX) {
        int which = pname == GL_PROJECTION_MATRIX ? 1 : 0;
        memcpy(params, stacks[which][stackTop[which]].m, 16 * sizeof(float));
    }
}

// --- vertices -------------------------------------------------------------

void glBegin(GLenum mode)
{
    if (record(OP_BEGIN, (float)mode))
        return;
    primitive = mode;
    inPrimitive = true;
    primUsed = 0;
    const Mat& mv = stacks[0][stackTop[0]];
    eyeStream = !feedback && mv.m[3] == 0 && mv.m[7] == 0 && mv.m[11] == 0 && mv.m[15] == 1;
    if ((cur.lighting && feedback) || eyeStream) {
        if (memcmp(&normalMatrixOf, &mv, sizeof mv) != 0) {
            normalMatrix = inverseTranspose3(mv);
            normalMatrixOf = mv;
        }
    }
}

// Cuts the primitive into triangles, for the stream or the feedback buffer.
void glEnd()
{
    if (record(OP_END))
        return;
    inPrimitive = false;
    if (!layerRasterise && !feedback)
        return;
    emitPrimitive();
}

// The current colour, which colour material also makes the ambient and
// diffuse material. Writes cur.color and the material.
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    if (record(OP_COLOR, r, g, b, a))
        return;
    cur.color[0] = r;
    cur.color[1] = g;
    cur.color[2] = b;
    cur.color[3] = a;
    if (cur.colorMaterial) {
        memcpy(materialAmbient, cur.color, sizeof cur.color);
        memcpy(materialDiffuse, cur.color, sizeof cur.color);
    }
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1); }

// The current normal. Writes cur.normal.
void glNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (record(OP_NORMAL, x, y, z))
        return;
    cur.normal[0] = x;
    cur.normal[1] = y;
    cur.normal[2] = z;
}

// A vertex: in feedback mode to eye and clip coordinates, lit or in the
// current colour; otherwise kept with the current normal and colour for the
// shader. Skipped altogether when the frame will not be shown.
void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (record(OP_VERTEX, x, y, z))
        return;
    if (!inPrimitive || (!layerRasterise && !feedback))
        return;
    if (!feedback) {
        float* v = primTake(LIST_FLOATS);
        v[LIST_POSITION] = x;
        v[LIST_POSITION + 1] = y;
        v[LIST_POSITION + 2] = z;
        memcpy(v + LIST_NORMAL, cur.normal, sizeof cur.normal);
        memcpy(v + LIST_COLOUR, cur.color, sizeof cur.color);
        v[LIST_SEGMENT] = 0;
        if (eyeStream) {
            const Mat& m = stacks[0][stackTop[0]];
            const float* n = cur.normal;
            for (int row = 0; row < 3; row++) {
                v[LIST_POSITION + row] = m.m[row] * x + m.m[4 + row] * y + m.m[8 + row] * z +
                                         m.m[12 + row];
                v[LIST_NORMAL + row] = normalMatrix.m[row] * n[0] + normalMatrix.m[4 + row] * n[1] +
                                       normalMatrix.m[8 + row] * n[2];
            }
        }
        return;
    }
    float v[4] = {x, y, z, 1}, eye[4], clip[4], colour[4];
    transform(stacks[0][stackTop[0]], v, eye);
    transform(stacks[1][stackTop[1]], eye, clip);
    if (cur.lighting)
        lightVertex(eye, colour);
    else
        memcpy(colour, cur.color, sizeof colour);
    float* f = primTake(FEEDBACK_FLOATS);
    memcpy(f, eye, 3 * sizeof(float));
    memcpy(f + 3, clip, 4 * sizeof(float));
    for (int k = 0; k < 4; k++)
        f[7 + k] = clamp01(colour[k]);
}

// --- lighting -------------------------------------------------------------

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    (void)face;
    if (pname != GL_AMBIENT && pname != GL_DIFFUSE)
        return;  // no specular light, no emission in this game
    if (record(OP_MATERIAL, (float)pname, params[0], params[1], params[2]))
        return;
    if (!cur.colorMaterial)  // colour material owns them while on
        memcpy(pname == GL_AMBIENT ? materialAmbient : materialDiffuse, params,
               4 * sizeof(float));
}

// The light's position and direction are stored in eye coordinates, through
// the model-view matrix of the moment, as GL stores them.
void glLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    if (light != GL_LIGHT2)
        return;
    const Mat& mv = stacks[0][stackTop[0]];
    if (pname == GL_DIFFUSE)
        memcpy(lightDiffuse, params, 4 * sizeof(float));
    if (pname == GL_POSITION)
        transform(mv, params, lightPosition);
    if (pname == GL_SPOT_DIRECTION) {
        float d[4] = {params[0], params[1], params[2], 0}, out[4];
        transform(mv, d, out);
        memcpy(spotDirection, out, sizeof spotDirection);
    }
    if (pname == GL_SPOT_EXPONENT || pname == GL_SPOT_CUTOFF ||
        (pname >= GL_CONSTANT_ATTENUATION && pname <= GL_QUADRATIC_ATTENUATION))
        glLightf(light, pname, params[0]);
}

// The spot light's cone and attenuation, within the ranges GL accepts.
void glLightf(GLenum light, GLenum pname, GLfloat param)
{
    if (light != GL_LIGHT2)
        return;
    if (pname == GL_SPOT_EXPONENT && param >= 0 && param <= 128)
        spotExponent = param;
    if (pname == GL_SPOT_CUTOFF && ((param >= 0 && param <= 90) || param == 180))
        spotCutoff = param;
    if (pname >= GL_CONSTANT_ATTENUATION && pname <= GL_QUADRATIC_ATTENUATION && param >= 0)
        attenuation[pname - GL_CONSTANT_ATTENUATION] = param;
}

// The light as stored: position and direction in eye coordinates.
void glGetLightfv(GLenum light, GLenum pname, GLfloat* params)
{
    if (light != GL_LIGHT2)
        return;
    if (pname == GL_POSITION)
        memcpy(params, lightPosition, sizeof lightPosition);
    if (pname == GL_SPOT_DIRECTION)
        memcpy(params, spotDirection, sizeof spotDirection);
    if (pname == GL_DIFFUSE)
        memcpy(params, lightDiffuse, sizeof lightDiffuse);
    if (pname == GL_SPOT_CUTOFF)
        params[0] = spotCutoff;
    if (pname == GL_SPOT_EXPONENT)
        params[0] = spotExponent;
}

// --- attributes -----------------------------------------------------------

void glPushAttrib(GLbitfield mask)
{
    Attrib saved = cur;
    saved.mask = mask;
    attribStack.push_back(saved);
}

// Puts back the groups the matching push saved, and only those.
void glPopAttrib()
{
    if (attribStack.empty())
        return;
    Attrib s = attribStack.back();
    attribStack.pop_back();
    if (s.mask & GL_ENABLE_BIT) {
        cur.lighting = s.lighting;
        cur.light2 = s.light2;
        cur.depthTest = s.depthTest;
        cur.colorMaterial = s.colorMaterial;
        cur.normalize = s.normalize;
        cur.blend = s.blend;
        cur.cullFace = s.cullFace;
    }
    if (s.mask & GL_COLOR_BUFFER_BIT)
        cur.blend = s.blend;
    if (s.mask & GL_VIEWPORT_BIT)
        memcpy(cur.viewport, s.viewport, sizeof cur.viewport);
    if (s.mask & GL_CURRENT_BIT) {
        memcpy(cur.color, s.color, sizeof cur.color);
        memcpy(cur.normal, s.normal, sizeof cur.normal);
    }
    if (s.mask & GL_TRANSFORM_BIT)
        glMatrixMode(s.matrixMode == 1 ? GL_PROJECTION : GL_MODELVIEW);
}

// --- display lists --------------------------------------------------------

namespace {

// A sphere around the vertices piece d uses: the middle of
// their box, and the farthest of them from it, widened by a thousandth
// (the shader's sums round otherwise than these).
void bound(const std::vector<float>& vertices, const std::vector<unsigned short>& indices,
           Piece& d)
{
    double low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (int i = d.first; i < d.first + d.count; i++)
        for (int k = 0; k < 3; k++) {
            double v = vertices[indices[i] * LIST_FLOATS + LIST_POSITION + k];
            low[k] = std::min(low[k], v);
            high[k] = std::max(high[k], v);
        }
    double centre[3], far = 0;
    for (int k = 0; k < 3; k++)
        centre[k] = (low[k] + high[k]) / 2;
    for (int i = d.first; i < d.first + d.count; i++) {
        double sum = 0;
        for (int k = 0; k < 3; k++) {
            double e = vertices[indices[i] * LIST_FLOATS + LIST_POSITION + k] - centre[k];
            sum += e * e;
        }
        far = std::max(far, sum);
    }
    for (int k = 0; k < 3; k++)
        d.centre[k] = (float)centre[k];
    d.radius = std::isfinite(far) ? (float)(std::sqrt(far) * 1.001 + 1e-4) : -1;
}

// Room for `count` vertices in a page: the first hole they fit, else the
// end of a page, else a new page.
void pageTake(int count, int& page, int& first)
{
    for (size_t p = 0; p < pages.size(); p++)
        for (auto hole = pages[p].holes.begin(); hole != pages[p].holes.end(); ++hole)
            if (hole->second >= count) {
                page = (int)p;
                first = hole->first;
                hole->first += count;
                hole->second -= count;
                if (hole->second == 0)
                    pages[p].holes.erase(hole);
                return;
            }
    for (size_t p = 0; p < pages.size(); p++)
        if (pages[p].used + count <= PAGE_VERTICES) {
            page = (int)p;
            first = pages[p].used;
            pages[p].used += count;
            return;
        }
    pages.push_back(Page{webglPageCreate(PAGE_VERTICES), count, {}});
    page = (int)pages.size() - 1;
    first = 0;
}

// Gives vertices first .. first + count - 1 of a page back, joined to the
// holes beside them (a hole that reaches the end gives the end back).
void pageGive(int page, int first, int count)
{
    Page& p = pages[page];
    auto& holes = p.holes;
    auto at = holes.begin();
    while (at != holes.end() && at->first < first)
        ++at;
    at = holes.insert(at, {first, count});
    if (at + 1 != holes.end() && at->first + at->second == (at + 1)->first) {
        at->second += (at + 1)->second;
        holes.erase(at + 1);
    }
    if (at != holes.begin() && (at - 1)->first + (at - 1)->second == at->first) {
        (at - 1)->second += at->second;
        at = holes.erase(at) - 1;
    }
    if (at->first + at->second == p.used) {
        p.used = at->first;
        holes.erase(at);
    }
}

bool isMove(int op) { return op == OP_TRANSLATE || op == OP_ROTATE || op == OP_SCALE; }

// What bake has made of a list so far, passed to its helpers: the list as
// baked (b), its distinct vertices and the indices of its triangles, the
// primitive being recorded, the colour and normal current in the list, and
// where the draws, segments and pieces stand.
struct Baking {
    bool flat = false;
    Baked b = Baked{false, 0, {}, false, 0, {}, {}, -1, 0, 0, {}};
    std::vector<float> vertices, prim;
    std::vector<unsigned short> indices;
    std::vector<int> order;  // scratch for cutPrimitive
    float colour[4] = {}, normal[3] = {};
    bool haveColour = false, haveNormal = false, inside = false, marked = false;
    int mode = 0, drawn = 0, segments = 0;
    // Flattened: the list's own matrix stack, relative to the call's
    // model-view, and the normal matrix of its top.
    std::vector<Mat> own = std::vector<Mat>(1, identity());
    Mat ownNormal = identity();
    bool ownNormalStale = false;
    int pieceFrom = 0, drawnPieces = 0;
    std::unordered_multimap<uint32_t, int> seen;  // a vertex's hash to its index
};

// What a recorded call does to bake: it goes on, the list is left unbaked
// (replayed as recorded, which bake still counts as done), or it cannot be
// flattened (bake fails, to be tried again unflattened).
enum BakeVerdict { BAKE_ON, BAKE_UNBAKED, BAKE_NOT_FLAT };

// A flat list's triangles since the last piece, as a piece with its
// sphere. Reads indices and vertices; writes pieceFrom and b.pieces.
void bakePiece(Baking& w)
{
    int total = (int)w.indices.size();
    if (w.flat && total > w.pieceFrom) {
        Piece p = {w.pieceFrom, total - w.pieceFrom, {}, -1};
        bound(w.vertices, w.indices, p);
        w.b.pieces.push_back(p);
    }
    w.pieceFrom = total;
}

// The triangles since the last draw, as a draw step (its pieces closed
// first); a list that is not flat starts its segments again after it.
// Writes b.steps, drawn, drawnPieces, and segments and marked.
void bakeDraw(Baking& w)
{
    int total = (int)w.indices.size();
    bakePiece(w);
    if (total > w.drawn)
        w.b.steps.push_back({STEP_DRAW, {}, w.flat ? 1 : w.segments, w.drawn, total - w.drawn,
                             w.drawnPieces, (int)w.b.pieces.size() - w.drawnPieces});
    w.drawnPieces = (int)w.b.pieces.size();
    w.drawn = total;
    if (!w.flat) {
        w.segments = 0;
        w.marked = false;
    }
}

// Index of vertex v (LIST_FLOATS floats), added when new: equal vertices
// share one (any such pair lights and places alike), so the shader runs
// once for each. -1 past what 16-bit indices reach. Writes vertices and
// seen.
int bakeIndexOf(Baking& w, const float* v)
{
    uint32_t h = 2166136261u;
    for (int k = 0; k < LIST_FLOATS; k++) {
        uint32_t bits;
        memcpy(&bits, &v[k], sizeof bits);
        h = (h ^ bits) * 16777619u;
    }
    auto range = w.seen.equal_range(h);
    for (auto it = range.first; it != range.second; ++it)
        if (memcmp(&w.vertices[it->second * LIST_FLOATS], v, LIST_FLOATS * sizeof(float)) == 0)
            return it->second;
    int count = (int)(w.vertices.size() / LIST_FLOATS);
    if (count > 65535)
        return -1;
    w.vertices.insert(w.vertices.end(), v, v + LIST_FLOATS);
    w.seen.emplace(h, count);
    return count;
}

// A recorded glVertex3f, into the primitive in the lists' layout; in a
// flat list taken through the list's own matrix (its normal through that
// matrix's inverse transpose, made again only after the matrix changed).
// Writes prim, ownNormal and ownNormalStale.
BakeVerdict bakeVertex(Baking& w, const Call& c)
{
    if (!w.inside)
        return BAKE_ON;
    if (!w.haveColour || !w.haveNormal)
        return BAKE_UNBAKED;  // the call's own colour or normal: replayed instead
    float p[4] = {c.a[0], c.a[1], c.a[2], 1}, n[3];
    memcpy(n, w.normal, sizeof n);
    if (w.flat) {
        float q[4];
        transform(w.own.back(), p, q);
        memcpy(p, q, sizeof p);
        if (w.ownNormalStale) {
            bool invertible;
            w.ownNormal = inverseTranspose3(w.own.back(), &invertible);
            if (!invertible)
                return BAKE_NOT_FLAT;
            w.ownNormalStale = false;
        }
        const Mat& m = w.ownNormal;
        for (int row = 0; row < 3; row++)
            n[row] = m.m[row] * w.normal[0] + m.m[4 + row] * w.normal[1] +
                     m.m[8 + row] * w.normal[2];
    }
    w.prim.insert(w.prim.end(), p, p + 3);
    w.prim.insert(w.prim.end(), n, n + 3);
    w.prim.insert(w.prim.end(), w.colour, w.colour + 4);
    w.prim.push_back(0);
    return BAKE_ON;
}

// A recorded glEnd: the primitive's triangles as indices, under a segment
// marked where the first triangles under this matrix come (a draw ended
// first when the draw has all the segments it can hold). Writes order,
// b.steps, segments, marked, vertices and indices.
BakeVerdict bakeEnd(Baking& w)
{
    if (!w.inside)
        return BAKE_ON;
    w.inside = false;
    w.order.clear();
    cutPrimitive((GLenum)w.mode, (int)(w.prim.size() / LIST_FLOATS), false, w.order);
    if (w.order.empty())
        return BAKE_ON;
    if (!w.marked) {
        if (w.segments == LIST_SEGMENTS)
            bakeDraw(w);
        w.b.steps.push_back({STEP_MARK, {}, w.segments, 0, 0, 0, 0});
        w.segments++;
        w.marked = true;
    }
    for (int v : w.order) {
        float* vertex = &w.prim[v * LIST_FLOATS];
        vertex[LIST_SEGMENT] = (float)(w.segments - 1);
        int index = bakeIndexOf(w, vertex);
        if (index < 0)
            return BAKE_UNBAKED;  // past 16-bit indices: replayed instead
        w.indices.push_back((unsigned short)index);
    }
    return BAKE_ON;
}

// A recorded matrix call, kept as a step: in a list that is not flat what
// follows is a new segment; in a flat list it ends a piece and moves the
// list's own stack (a pop below the call's matrix cannot be flattened).
// Writes b.steps, marked, pieces, own, b.depth and ownNormalStale.
BakeVerdict bakeMatrix(Baking& w, const Call& c)
{
    if (w.inside)
        return BAKE_UNBAKED;
    w.b.steps.push_back({STEP_CALL, c, 0, 0, 0, 0, 0});
    if (!w.flat) {
        w.marked = false;
        return BAKE_ON;
    }
    bakePiece(w);
    Mat& top = w.own.back();  // (not used past a push or pop, which move it)
    if (c.op == OP_PUSH) {
        w.own.push_back(w.own.back());
        w.b.depth = std::max(w.b.depth, (int)w.own.size() - 1);
    } else if (c.op == OP_POP) {
        if (w.own.size() == 1)
            return BAKE_NOT_FLAT;  // below the call's matrix
        w.own.pop_back();
    } else if (c.op == OP_TRANSLATE) {
        multiply(top, top, translation(c.a[0], c.a[1], c.a[2]));
    } else if (c.op == OP_SCALE) {
        multiply(top, top, scaling(c.a[0], c.a[1], c.a[2]));
    } else {
        Mat r;
        if (rotation(c.a[0], c.a[1], c.a[2], c.a[3], r))
            multiply(top, top, r);
    }
    w.ownNormalStale = true;
    return BAKE_ON;
}

// One recorded call, into the working state: vertices and primitives into
// triangles, the current colour and normal noted and kept as steps, a
// material change ending the draw (the shader takes it as a uniform).
BakeVerdict bakeCall(Baking& w, const Call& c)
{
    switch (c.op) {
    case OP_VERTEX: return bakeVertex(w, c);
    case OP_END: return bakeEnd(w);
    case OP_BEGIN:
        w.inside = true;
        w.mode = (int)c.a[0];
        w.prim.clear();
        return BAKE_ON;
    case OP_COLOR:
        memcpy(w.colour, c.a, sizeof w.colour);
        w.haveColour = true;
        break;
    case OP_NORMAL:
        memcpy(w.normal, c.a, sizeof w.normal);
        w.haveNormal = true;
        break;
    case OP_MATERIAL:
        if (w.inside)
            return BAKE_UNBAKED;  // changed inside glBegin/glEnd: replayed instead
        bakeDraw(w);
        break;
    default:
        return bakeMatrix(w, c);
    }
    w.b.steps.push_back({STEP_CALL, c, 0, 0, 0, 0, 0});
    return BAKE_ON;
}

// The quick steps of a flat list that ends as it began (see Baked): the
// steps without the matrix calls, then the last colour and normal. Reads
// the list's calls and b.steps; writes b.quick.
void bakeQuick(Baking& w, const std::vector<Call>& calls)
{
    int depth = 0;
    bool neutral = true;
    for (const Call& c : calls) {
        depth += c.op == OP_PUSH ? 1 : (c.op == OP_POP ? -1 : 0);
        neutral = neutral && !(isMove(c.op) && depth == 0);
    }
    if (!neutral || depth != 0)
        return;
    const Step* last[2] = {nullptr, nullptr};  // colour, normal
    for (const Step& s : w.b.steps) {
        if (s.kind == STEP_CALL && (s.call.op == OP_COLOR || s.call.op == OP_NORMAL))
            last[s.call.op == OP_NORMAL] = &s;
        else if (s.kind != STEP_CALL || s.call.op == OP_MATERIAL)
            w.b.quick.push_back(s);
    }
    for (const Step* s : last)
        if (s != nullptr)
            w.b.quick.push_back(*s);
}

// Hands the list's vertices to WebGL: a flat list's into room in a page,
// its indices taken to the page once and kept for the batch; any other's
// with its indices into a buffer of its own. Writes b and pages.
void bakeSend(Baking& w)
{
    Baked& b = w.b;
    if (w.indices.empty())
        return;
    if (w.flat) {
        b.count = (int)(w.vertices.size() / LIST_FLOATS);
        pageTake(b.count, b.page, b.base);
        webglPageWrite(pages[b.page].name, b.base, w.vertices.data(), b.count);
        for (unsigned short& index : w.indices)
            index = (unsigned short)(index + b.base);
        b.indices = std::move(w.indices);
    } else {
        b.buffer = webglListBuffer(w.vertices.data(), (int)(w.vertices.size() / LIST_FLOATS),
                                   w.indices.data(), (int)w.indices.size());
    }
}

// Turns list `name`'s recorded calls into baked[name] (see Baked),
// flattened when `flat`; false when a flat list pops below the matrix of
// the call or holds a matrix that cannot be inverted (baked[name] is then
// left as it was, and nothing is sent to WebGL). A list left unbaked also
// leaves baked[name] as it was, and gives true.
bool bake(GLuint name, bool flat)
{
    const std::vector<Call>& calls = lists[name];
    Baking w;
    w.flat = w.b.flat = flat;
    if (flat) {  // the one segment: the model-view as the call starts
        w.b.steps.push_back({STEP_MARK, {}, 0, 0, 0, 0, 0});
        w.segments = 1;
        w.marked = true;
    }
    for (const Call& c : calls) {
        BakeVerdict verdict = bakeCall(w, c);
        if (verdict != BAKE_ON)
            return verdict == BAKE_UNBAKED;
    }
    if (w.inside)
        return true;
    bakeDraw(w);
    if (flat)
        bakeQuick(w, calls);
    bakeSend(w);
    w.b.ok = true;
    baked[name] = std::move(w.b);
    return true;
}

// Piece p's sphere in eye coordinates under the model-view m (column-major):
// its centre, and its radius times the most the matrix stretches a length
// (at most the square root of the largest row sum of |M^T M| over the
// upper 3x3), so that the sphere still holds the piece's vertices. Reads
// and writes nothing else.
void eyeSphere(const Piece& p, const float* m, double centre[3], double& radius)
{
    double gram[3][3], stretch = 0;
    for (int row = 0; row < 3; row++)
        centre[row] = (double)m[row] * p.centre[0] + (double)m[4 + row] * p.centre[1] +
                      (double)m[8 + row] * p.centre[2] + m[12 + row];
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            gram[i][j] = (double)m[i * 4] * m[j * 4] + (double)m[i * 4 + 1] * m[j * 4 + 1] +
                         (double)m[i * 4 + 2] * m[j * 4 + 2];
    for (int i = 0; i < 3; i++)
        stretch = std::max(stretch, std::fabs(gram[i][0]) + std::fabs(gram[i][1]) + std::fabs(gram[i][2]));
    radius = p.radius * std::sqrt(stretch);
}

// Whether the spot light adds nothing to any vertex of piece p (none: a
// list that is not flat) under the model-view in u (segment 0): lighting
// or the light off, or the piece's sphere wholly outside the light's cone,
// widened by a degree (the shader's cone test rounds in single precision).
// Those vertices get the ambient part alone, exactly as the shader would
// light them, so a shader without the light can draw them. When unsure,
// false.
bool unreached(const Piece* p, const float u[U_FLOATS])
{
    if (!cur.lighting || !cur.light2)
        return true;
    if (p == nullptr || p->radius < 0 || lightPosition[3] == 0 || spotCutoff >= 89)
        return false;
    static float cutoff = -1;
    static double cosWide, sinWide;  // of the cut-off widened by a degree
    if (cutoff != spotCutoff) {
        cutoff = spotCutoff;
        cosWide = std::cos((cutoff + 1) * M_PI / 180);
        sinWide = std::sin((cutoff + 1) * M_PI / 180);
    }
    double centre[3], radius;
    eyeSphere(*p, u + U_MODELVIEWS, centre, radius);
    double v[3], dist = 0, along = 0, sl = 0;
    for (int k = 0; k < 3; k++) {
        v[k] = centre[k] - lightPosition[k];
        dist += v[k] * v[k];
        sl += (double)spotDirection[k] * spotDirection[k];
        along += v[k] * spotDirection[k];
    }
    dist = std::sqrt(dist);
    sl = std::sqrt(sl);
    if (!(sl > 0) || !(dist > radius + 0.01) || !std::isfinite(dist))
        return false;
    // Outside when the angle between the spot's axis and the centre
    // exceeds the widened cut-off plus the sphere's own half angle
    // (sine radius / dist): compared by their cosines, both angles being
    // under 90 degrees.
    double sinReach = radius / dist, cosReach = std::sqrt(1 - sinReach * sinReach);
    return along / (dist * sl) < cosWide * cosReach - sinWide * sinReach;
}

void replay(const Call& c)
{
    const float* a = c.a;
    switch (c.op) {
    case OP_PUSH: glPushMatrix(); break;
    case OP_POP: glPopMatrix(); break;
    case OP_TRANSLATE: glTranslatef(a[0], a[1], a[2]); break;
    case OP_ROTATE: glRotatef(a[0], a[1], a[2], a[3]); break;
    case OP_SCALE: glScalef(a[0], a[1], a[2]); break;
    case OP_COLOR: glColor4f(a[0], a[1], a[2], a[3]); break;
    case OP_NORMAL: glNormal3f(a[0], a[1], a[2]); break;
    case OP_VERTEX: glVertex3f(a[0], a[1], a[2]); break;
    case OP_BEGIN: glBegin((GLenum)a[0]); break;
    case OP_END: glEnd(); break;
    case OP_MATERIAL: {
        float m[4] = {a[1], a[2], a[3], 1};
        glMaterialfv(GL_FRONT, (GLenum)a[0], m);
        break;
    }
    }
}

}  // namespace


GLuint glGenLists(GLsizei range)
{
    if (range <= 0)
        return 0;
    GLuint first = (GLuint)lists.size();
    lists.resize(lists.size() + range);
    residues.resize(lists.size());
    baked.resize(lists.size());
    return first;
}

GLboolean glIsList(GLuint list) { return list != 0 && list < lists.size(); }

// Starts recording into `list` (replacing what it held); the calls are
// kept, not run, until glEndList.
void glNewList(GLuint list, GLenum mode)
{
    (void)mode;
    if (list == 0 || list >= lists.size() || recording != nullptr)
        return;
    lists[list].clear();
    if (baked[list].buffer != 0)
        webglListFree(baked[list].buffer);  // or each new recording would keep one
    if (baked[list].page >= 0) {
        flushBatch();  // it may still hold the list's indices
        pageGive(baked[list].page, baked[list].base, baked[list].count);
    }
    baked[list] = Baked{false, 0, {}, false, 0, {}, {}, -1, 0, 0, {}};
    recording = &lists[list];
    recordingName = list;
}

// Works out the list's residue (see residues).
void glEndList()
{
    if (recording == nullptr)
        return;
    std::vector<Call>& residue = residues[recordingName];
    residue.clear();
    int depth = 0;
    bool neutral = true;
    for (const Call& c : *recording) {
        depth += c.op == OP_PUSH ? 1 : (c.op == OP_POP ? -1 : 0);
        bool moves = c.op == OP_TRANSLATE || c.op == OP_ROTATE || c.op == OP_SCALE;
        neutral = neutral && depth >= 0 && !(moves && depth == 0);
        if (c.op != OP_VERTEX && c.op != OP_BEGIN && c.op != OP_END)
            residue.push_back(c);
    }
    if (neutral && depth == 0) {
        // Only the last of each kind of current value counts.
        std::vector<Call> last;
        for (auto c = residue.rbegin(); c != residue.rend(); ++c) {
            bool seen = false;
            for (const Call& l : last)
                seen = seen || (l.op == c->op && (c->op != OP_MATERIAL || l.a[0] == c->a[0]));
            if (!seen && c->op != OP_PUSH && c->op != OP_POP && c->op != OP_TRANSLATE &&
                c->op != OP_ROTATE && c->op != OP_SCALE)
                last.insert(last.begin(), *c);
        }
        residue = last;
    }
    if (!bake(recordingName, true))
        bake(recordingName, false);
    recording = nullptr;
}

namespace {

// Indices first .. first + count - 1 of a flat list in a page, into the
// batch: what is batched is drawn first when the page, the shader, the
// uniforms or the fill state differ, since a batch is one draw under one
// of each. Reads cur; writes batch and its state.
void batchIndices(const Baked& b, int first, int count, const float u[U_FLOATS], int drawFlags)
{
    if (!batch.empty() &&
        (batchPage != b.page || batchFlags != drawFlags || batchBlend != (int)cur.blend ||
         memcmp(batchViewport, cur.viewport, sizeof batchViewport) != 0 ||
         memcmp(batchUniforms, u, sizeof batchUniforms) != 0))
        flushBatch();
    if (batch.empty()) {
        batchPage = b.page;
        batchFlags = drawFlags;
        batchBlend = cur.blend;
        memcpy(batchViewport, cur.viewport, sizeof batchViewport);
        memcpy(batchUniforms, u, sizeof batchUniforms);
    }
    batch.insert(batch.end(), b.indices.begin() + first, b.indices.begin() + first + count);
}

// Draws indices first .. first + count - 1 of list b under `segments`
// matrices: a list in a buffer of its own at once (after the batch, which
// came before), a list in a page by way of the batch. Reads cur.
void drawRange(const Baked& b, int first, int count, int segments, const float u[U_FLOATS],
               int drawFlags)
{
    if (b.page >= 0) {
        batchIndices(b, first, count, u, drawFlags);
        return;
    }
    flushBatch();
    webglListDraw(b.buffer, first, count, segments, u, drawFlags, cur.viewport[0],
                  cur.viewport[1], cur.viewport[2], cur.viewport[3], cur.blend);
}

// A draw step of list b, with the segments' matrices already in u: the
// projection and the light into u, then its pieces, those in a row that
// the same shader draws (the light reaching them or not) as one draw; a
// list without pieces as one draw. Writes u; reads cur.
void drawStep(const Baked& b, const Step& s, float u[U_FLOATS])
{
    flushStream();  // what came before is drawn first
    listUniforms(u);
    int flags = fillFlags();
    const Piece* pieces = b.pieces.data() + s.piece;
    for (int i = 0; i < std::max(s.pieces, 1);) {
        bool ambient = unreached(s.pieces > 0 ? &pieces[i] : nullptr, u);
        int first = s.pieces > 0 ? pieces[i].first : s.first;
        int count = s.pieces > 0 ? pieces[i].count : s.count;
        for (i++; i < s.pieces && unreached(&pieces[i], u) == ambient; i++)
            count += pieces[i].count;
        drawRange(b, first, count, s.segment, u, flags | (ambient ? DRAW_AMBIENT_ONLY : 0));
    }
}

// Runs a baked list's steps (its quick ones when it has them): its calls
// replayed on the layer's state, each segment's matrices taken where it
// starts, its draws. The uniforms are kept from call to call (static), so
// that what a step leaves in them is what the next batch compares.
void callBaked(const Baked& b)
{
    static float u[U_FLOATS];
    for (const Step& s : b.quick.empty() ? b.steps : b.quick) {
        if (s.kind == STEP_CALL)
            replay(s.call);
        else if (s.kind == STEP_MARK)
            segmentUniforms(u, s.segment);
        else
            drawStep(b, s, u);
    }
}

}  // namespace

// Draws a baked list from its buffer while replaying its other calls on the
// layer's state; in feedback mode, or for a list left unbaked, replays its
// calls; when nothing is drawn, only its residue (a list called while
// recording is left out: the game never nests them).
void glCallList(GLuint list)
{
    if (list == 0 || list >= lists.size() || recording != nullptr)
        return;
    // (its matrix calls move the model-view stack: the game calls lists in
    // that mode only; in the other, the shader's matrices would not follow)
    const Baked& b = baked[list];
    // (a flat list whose pushes the stack cannot all hold is replayed, so
    // that its refused pushes draw as they would)
    if (layerRasterise && !feedback && b.ok && matrixMode == 0 &&
        (!b.flat || stackTop[0] + b.depth < STACK_DEPTH)) {
        callBaked(b);
        return;
    }
    for (const Call& c : (layerRasterise || feedback) ? lists[list] : residues[list])
        replay(c);
}

// --- feedback and the rest ------------------------------------------------

void glFeedbackBuffer(GLsizei size, GLenum type, GLfloat* buffer)
{
    (void)type;  // the game asks for GL_3D_COLOR only
    feedbackBuffer = buffer;
    feedbackSize = size;
}

// Switching back to rendering returns the number of values written, or -1
// when the buffer was too small, as GL does.
GLint glRenderMode(GLenum mode)
{
    GLint result = 0;
    if (feedback)
        result = feedbackOverflow ? -1 : feedbackUsed;
    feedback = mode == GL_FEEDBACK && feedbackBuffer != nullptr;
    feedbackUsed = 0;
    feedbackOverflow = false;
    return result;
}

void glRasterPos2i(GLint x, GLint y);  // glut_layer.cpp, with the text

void glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*) {}

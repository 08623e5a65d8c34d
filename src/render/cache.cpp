// cache.cpp -- the default drawing of the ground and the trees: what
// terrain() and sapin() draw is recorded once into display lists and
// replayed, a tree whose bounding sphere lies wholly outside the view
// volume is not drawn at all, and the back faces of a tree seen from
// outside are culled (the tests of a sphere against the view and the light
// are in cull.cpp). Under Mesa's software renderer most of a frame went to
// sending the same 220,000 small triangles call by call.
//
// A tree the robot's spot light cannot reach is lit by the ambient light
// alone, one flat colour per part, so the stacks its cones and trunk are
// cut into along their axes (flat facets split into smaller flat pieces)
// cannot show: such a tree comes from a second list, recorded with one
// stack instead of ten: 140 triangles instead of 1,040.
//
// The shapes are still described only by terrain() and sapin(): a list is
// their recorded output, made again whenever what it depends on changes (a
// tree's colour, a new GL context); a sinking tree is drawn afresh. With
// immediateDrawing (CLANKWISE_IMMEDIATE=1, read by startGame) the game
// draws as designed instead: every tree, every call, every frame.

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <malloc.h>

#include "game.h"

// The lists: each tree's as designed, each tree's with one stack, the ground.
const int FULL_LISTS = 0;
const int COARSE_LISTS = NB_TREES;
const int GROUND_LIST = 2 * NB_TREES;
const int NB_LISTS = 2 * NB_TREES + 1;
const int COARSE_STACKS = 1;

static GLuint listBase;              // first of the NB_LISTS names; 0 none
static float listColor[NB_LISTS];    // crown green each tree list was recorded with
static bool listMade[NB_LISTS];      // the list holds a recording
static double clip[16];              // projection times model-view of this frame's trees
static double modelview[16];         // model-view of this frame's trees
static double lightPos[4];           // the spot light in eye coordinates, as GL holds it
static double lightDir[3];           // its direction, eye coordinates
static double lightCutoff;           // its half angle, degrees (180: no spot)
static bool eyeAboveGround;          // the trees' eye is above the ground (y -2)
static bool cullingFaces;            // GL_CULL_FACE is on for the trees

// A tree's bounding sphere, from its drawing: a crown of radius 1.9 at most
// and a trunk, from 2.1 below the base point to 3.5 above it when standing,
// both lowered with the sink level.
const double TREE_RADIUS = 3.4;
const double TREE_CENTRE_Y = 0.7;

// The height of the eye of a model-view matrix that is the camera's rigid
// transform: the eye sits at minus its rotation's transpose times its
// translation.
static double eyeHeight(const double m[16])
{
    return -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]);
}

// Makes the lists, once per GL context: a new context knows none of them.
// Writes listBase, listMade.
static void makeLists()
{
    if (listBase != 0 && glIsList(listBase))
        return;
    listBase = glGenLists(NB_LISTS);
    memset(listMade, 0, sizeof listMade);
    // Display lists and their buffers come and go with the frames; without
    // this, glibc hands the top of the heap back to the kernel after nearly
    // every frame and the next frame faults it in again.
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

// Before the trees of a frame: the lists exist, and the matrices and the
// light the trees will be drawn with are read back.
// Writes clip, modelview, lightPos, lightDir, lightCutoff, eyeAboveGround.
void startCachedTrees()
{
    double projection[16];
    makeLists();
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++) {
            double sum = 0;
            for (int k = 0; k < 4; k++)
                sum += projection[k * 4 + row] * modelview[col * 4 + k];
            clip[col * 4 + row] = sum;
        }
    eyeAboveGround = eyeHeight(modelview) > -2;

    GLfloat position[4], direction[3], cutoff;
    glGetLightfv(GL_LIGHT2, GL_POSITION, position);
    glGetLightfv(GL_LIGHT2, GL_SPOT_DIRECTION, direction);
    glGetLightfv(GL_LIGHT2, GL_SPOT_CUTOFF, &cutoff);
    for (int k = 0; k < 4; k++)
        lightPos[k] = position[k];
    for (int k = 0; k < 3; k++)
        lightDir[k] = direction[k];
    lightCutoff = cutoff;
}

// Can the spot light reach the sphere of radius r around (x, y, z)?
// Reads modelview and the light.
static bool inLight(double x, double y, double z, double r)
{
    double centre[3];
    for (int row = 0; row < 3; row++)
        centre[row] = modelview[row] * x + modelview[4 + row] * y + modelview[8 + row] * z +
                      modelview[12 + row];
    return sphereInSpot(lightPos, lightDir, lightCutoff, centre, r);
}

// After the trees of a frame: back faces are drawn again.
void endCachedTrees()
{
    if (cullingFaces)
        glDisable(GL_CULL_FACE);
    cullingFaces = false;
}

// A tree's back faces are hidden behind its front faces, and need not be
// drawn, whenever the eye is outside it: above the ground (below it, the
// trunk's open end faces the eye) and with the whole tree beyond the near
// plane (which would otherwise cut it open) and short of the far plane.
static void cullBackFaces(bool cull)
{
    if (cull != cullingFaces)
        cull ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    cullingFaces = cull;
}

// Records tree i, as sapin() draws it with `stacks` stacks, into `list`
// unless the list already holds it in the tree's colour.
// Reads sapinS[i]; writes the list and, while recording, treeStacks.
static void recordTree(int i, int list, int stacks)
{
    const sa& tree = sapinS[i];
    if (listMade[list] && listColor[list] == tree.color)
        return;
    int designed = treeStacks;
    glNewList(listBase + list, GL_COMPILE);
    treeStacks = stacks;
    sapin((int)tree.X, 0, (int)tree.Z, tree.color, tree.destroy);
    treeStacks = designed;
    glEndList();
    listMade[list] = true;
    listColor[list] = tree.color;
}

// Tree i, as sapin() draws it, if it can be seen. A standing tree comes
// from one of its two lists, both made when it is first seen and again
// when its colour changes (so that the light sweeping over the trees makes
// none): the one-stack list when the light cannot reach it. A sinking tree
// changes every frame and is drawn afresh. (Making its list again at every
// sink step would draw the same, but Mesa keeps the storage of a replaced
// list for as long as other lists share its buffer: the heap grew by most
// of a megabyte a minute while trees were shot down.)
// Reads sapinS[i]; writes its lists.
void drawCachedTree(int i)
{
    const sa& tree = sapinS[i];
    int x = (int)tree.X, z = (int)tree.Z;
    double centreY = TREE_CENTRE_Y + ((double)tree.destroy - 10);
    int seen = sphereVisibility(clip, x, centreY, z, TREE_RADIUS);
    if (seen == 0)
        return;
    cullBackFaces(seen == 2 && eyeAboveGround);
    if (tree.destroy != 10) {
        sapin(x, 0, z, tree.color, tree.destroy);
        return;
    }
    recordTree(i, FULL_LISTS + i, treeStacks);
    recordTree(i, COARSE_LISTS + i, COARSE_STACKS);
    bool lit = inLight(x, centreY, z, TREE_RADIUS);
    glCallList(listBase + (lit ? FULL_LISTS : COARSE_LISTS) + i);
}

// The ground is 2,916 squares, each moved into place by a matrix of its
// own; replayed as recorded, that is 2,916 draws and matrix changes a
// frame. Instead terrain() is run once in GL's feedback mode, which hands
// back each triangle it would draw, and those are recorded in world
// coordinates as one batch. (Feedback splits each square along the other
// diagonal than the renderer does a lone square: where the spot light
// falls on the ground, some pixels come out up to 3 levels of 255 apart.)
// The projection maps world to window coordinates by adding 32 (x, y) and
// by z -> 0.5 - z / 64, both exact for the ground's half units. Feedback
// gives no normals: terrain() sets one and only moves, never turns, its
// squares, so its last normal holds in world coordinates too.
const int GROUND_FEEDBACK_MAX = 2 * 54 * 54 * (2 + 3 * 7);  // floats: 2 triangles a square

// Records the polygons of a feedback buffer (GL_3D_COLOR, in the window
// coordinates above) as triangles in world coordinates into the ground
// list, each polygon fanned out from its first corner, under one normal.
// A colour is recorded only where it changes, so that one colour for all
// stays out of the stored vertices.
static void recordPolygons(const GLfloat* feedback, int used, const GLfloat normal[3])
{
    const int VERTEX = 7;  // x, y, z, r, g, b, a
    const GLfloat* colour = used > 2 + VERTEX ? &feedback[2 + 3] : nullptr;
    glNewList(listBase + GROUND_LIST, GL_COMPILE);
    glNormal3f(normal[0], normal[1], normal[2]);
    if (colour != nullptr)
        glColor4f(colour[0], colour[1], colour[2], colour[3]);
    glBegin(GL_TRIANGLES);
    for (int at = 0; at < used;) {
        if (feedback[at] != GL_POLYGON_TOKEN || at + 1 >= used) {
            at++;  // only polygons come from the ground; skip anything else
            continue;
        }
        int count = (int)feedback[at + 1];
        const GLfloat* corner = &feedback[at + 2];
        at += 2 + count * VERTEX;
        for (int k = 1; k + 1 < count && at <= used; k++)
            for (int v : {0, k, k + 1}) {
                const GLfloat* f = corner + v * VERTEX;
                if (memcmp(f + 3, colour, 4 * sizeof(GLfloat)) != 0)
                    glColor4f(f[3], f[4], f[5], f[6]);
                colour = f + 3;
                glVertex3f(f[0] - 32, f[1] - 32, (0.5f - f[2]) * 64);
            }
    }
    glEnd();
    glEndList();
}

// Records what terrain() draws, in world coordinates, into the ground list.
static void recordGround(GLfloat* feedback)
{
    glPushAttrib(GL_VIEWPORT_BIT | GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);  // the colours come back as given
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-32, 32, -32, 32, -32, 32);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glFeedbackBuffer(GROUND_FEEDBACK_MAX, GL_3D_COLOR, feedback);
    glRenderMode(GL_FEEDBACK);
    terrain();
    int used = glRenderMode(GL_RENDER);
    GLfloat normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);  // as the ground is always drawn
    glPopAttrib();

    recordPolygons(feedback, used, normal);
}

// The ground, as terrain() draws it; it never changes. Below the ground it
// is drawn as designed, square by square: a sinking tree passes levels
// where the base of one of its cones lies in the ground plane, and seen
// from below that base and the ground tie in depth. Which one a pixel shows
// then hangs on the last bits of the depths, and the list, in world
// coordinates, rounds otherwise than squares each moved by a matrix of
// their own (1,545 pixels of a view apart). From above, the cone's own side
// hides its base. Reads the model-view matrix.
void drawCachedGround()
{
    double view[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, view);
    if (!(eyeHeight(view) > -2)) {
        terrain();
        return;
    }
    makeLists();
    if (!listMade[GROUND_LIST]) {
        GLfloat* feedback = (GLfloat*)malloc(GROUND_FEEDBACK_MAX * sizeof(GLfloat));
        recordGround(feedback);
        free(feedback);
        listMade[GROUND_LIST] = true;
    }
    glCallList(listBase + GROUND_LIST);
}

// Forgets every list, as a new GL context would. Writes listBase, listMade.
void forgetCachedLists()
{
    listBase = 0;
    memset(listMade, 0, sizeof listMade);
}

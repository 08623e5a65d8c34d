// move.cpp -- the one movement step of the game, shared by the robot, the
// bullets, the camera probes and the spawn point of a shot, with its
// collision against the trees. The robot's step also sinks and draws the
// trees, once per frame.

#include <cmath>

#include "game.h"

double sqr(double a)
{
    return a * a;
}

// Distance from a tree to a point, in double precision from the floats.
static double treeDistance(const sa& tree, float x, float z)
{
    return sqrt(sqr((double)tree.X - (double)x) + sqr((double)tree.Z - (double)z));
}

// Turns and moves the mover by its flags. Every result is formed in double
// precision and rounded to float once, when stored. A wrapped heading jumps
// to the far end of the range: the overshoot is dropped, not carried.
static void turnAndStep(float* Xm, float* Zm, float* r1, float* r2,
                        float* anglem, const int* HBGDm, int typem, float vit)
{
    if (HBGDm[FLAG_LEFT] == 1) {
        *r1 += 5;
        *r2 -= 5;
        *anglem = (float)((double)*anglem - 0.1);
        if ((double)*anglem < -PI)
            *anglem = PI_F;
    }
    if (HBGDm[FLAG_RIGHT] == 1) {
        *r2 += 5;
        *r1 -= 5;
        *anglem = (float)((double)*anglem + 0.1);
        if ((double)*anglem > PI)
            *anglem = -PI_F;
    }
    if (HBGDm[FLAG_BACK] == 1) {
        *r1 += 10;
        *r2 += 10;
        *Xm = (float)((double)*Xm + cos(-(double)*anglem) / (double)vit);
        *Zm = (float)((double)*Zm + sin((double)*anglem) / (double)vit);
    }
    if (HBGDm[FLAG_FORWARD] == 1) {
        if (typem != MOVE_BULLET) {
            *r2 -= 10;
            *r1 -= 10;
        }
        *Xm = (float)((double)*Xm - cos(-(double)*anglem) / (double)vit);
        *Zm = (float)((double)*Zm + sin(-(double)*anglem) / (double)vit);
    }
}

// Sinks a sinking tree a notch. Writes tree.destroy.
static void sinkTree(sa& tree)
{
    if (tree.destroy < 10)
        tree.destroy = (float)((double)tree.destroy - 0.1);
}

// The robot's per-frame work on one tree, as designed: sink it, and draw it
// while it is above ground, with whatever matrix is current.
static void sinkAndDrawTree(sa& tree)
{
    glPushMatrix();
    glScalef(1, 1, 1);
    sinkTree(tree);
    if (tree.destroy > 0)
        sapin((int)tree.X, 0, (int)tree.Z, tree.color, tree.destroy);
    glPopMatrix();
}

// Every tree's per-frame work, drawn as designed or, by default, from the
// tree lists (render/cache.cpp), where the push, the unit scale and the pop
// around each tree are left out: they change nothing drawn. A frame that
// is not drawn only sinks them.
// Reads immediateDrawing, frameDrawn, nbsapin; writes sapinS[].destroy.
static void sinkAndDrawTrees()
{
    if (!frameDrawn) {
        for (int i = 0; i < nbsapin; i++)
            sinkTree(sapinS[i]);
        return;
    }
    if (immediateDrawing) {
        for (int i = 0; i < nbsapin; i++)
            sinkAndDrawTree(sapinS[i]);
        return;
    }
    startCachedTrees();
    for (int i = 0; i < nbsapin; i++) {
        sinkTree(sapinS[i]);
        if (sapinS[i].destroy > 0)
            drawCachedTree(i);
    }
    endCachedTrees();
}

// A bullet touched a tree: it stops, and a tree inside the central square
// loses a hit point. The hit that finds the tree standing with no hit point
// left starts it sinking, so a tree starts sinking once: that hit sounds the
// sinking, every other one a knock.
static void bulletHitsTree(sa& tree, int* etatm)
{
    *etatm = 0;
    int sinks = 0;
    if (-20 < tree.X && tree.X < 20 && -20 < tree.Z && tree.Z < 20) {
        tree.Pv = tree.Pv - 1;
        if (tree.Pv < 1 && tree.destroy == 10) {
            tree.destroy = (float)((double)tree.destroy - 0.1);
            sinks = 1;
        }
    }
    soundAt(sinks ? SOUND_SINKING : SOUND_TREE_HIT, tree.X, tree.Z);
}

// Tests the mover at its new position against every tree in table order.
// A bullet that touches a tree stops and may damage it; any other mover is
// pushed back, axis by axis, toward (TmpX, TmpZ), its position on entry.
// Once X has gone back (etat), it stays back for the rest of the call.
// Reads and writes the mover through the pointers and sapinS (kind 1).
static void collideWithTrees(float* Xm, float* Zm, float TmpX, float TmpZ,
                             int* etatm, int typem, float col)
{
    int etat = 0;
    // The mover's position as it stands, kept in step with every write.
    double x = *Xm, z = *Zm;

    for (int i = 0; i < nbsapin; i++) {
        sa& tree = sapinS[i];

        // A tree at least col away along one axis cannot be touched, and the
        // distance below could not come out under col either: skip the
        // square root. This passes over nearly every tree.
        double dx = (double)tree.X - x;
        if (fabs(dx) >= col)
            continue;
        double dz = (double)tree.Z - z;
        if (fabs(dz) >= col)
            continue;
        if (!(sqrt(sqr(dx) + sqr(dz)) < col && tree.destroy > 5))
            continue;

        if (typem == MOVE_BULLET) {
            bulletHitsTree(tree, etatm);
            continue;
        }
        if (treeDistance(tree, *Xm, TmpZ) < col)
            etat = 1;
        if (treeDistance(tree, TmpX, *Zm) < col) {
            *Zm = TmpZ;
            z = TmpZ;
        }
        if (etat == 1) {
            *Xm = TmpX;
            x = TmpX;
        }
    }
}

// moveEn: one movement step of a mover of kind typem (0 robot, 1 bullet,
// 2 chase probe, 3 step probe). Reads and writes the mover through the
// pointers, and sapinS (kind 0 sinks trees, kind 1 damages them). Kind 0
// draws the trees and writes robotBumping. The robot's bump and a bullet's
// hit start their sounds.
//
// A mover other than a bullet that touches a tree slides along it: each
// coordinate whose move alone would touch the tree goes back to its value on
// entry.
void moveEn(float* Xm, float* Zm, float* r1, float* r2, float* anglem,
            int* HBGDm, int* etatm, int typem)
{
    float TmpZ = *Zm;
    float TmpX = *Xm;

    float col = 1.5f;  // collision radius
    float vit = 1;     // speed divisor; negative runs the mover backwards
    if (typem == MOVE_ROBOT) {
        col = 2.5f;
        vit = 4;
    } else if (typem == MOVE_CHASE_PROBE) {
        col = 2;
        vit = -4;
    } else if (typem == MOVE_STEP_PROBE) {
        col = 1.5f;
        vit = -1;
    }

    turnAndStep(Xm, Zm, r1, r2, anglem, HBGDm, typem, vit);

    // Sinking and drawing a tree moves no mover, and a tree's touch test
    // reads only its own sink level, so the robot sinks and draws every tree
    // first and then tests them all: the same result, and a collision loop
    // free of calls.
    if (typem == MOVE_ROBOT)
        sinkAndDrawTrees();

    float movedX = *Xm, movedZ = *Zm;
    collideWithTrees(Xm, Zm, TmpX, TmpZ, etatm, typem, col);

    // The robot pushed back by a tree: a bump as it runs into it, not again
    // while it stays against it.
    if (typem == MOVE_ROBOT) {
        int pushed = *Xm != movedX || *Zm != movedZ;
        if (pushed && !robotBumping)
            soundAt(SOUND_BUMP, *Xm, *Zm);
        robotBumping = pushed;
    }
}

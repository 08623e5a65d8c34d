// bullets.cpp -- the robot's gun: the fire step, run by the key polling, and
// the bullet step, run by the frame. Bullets live in a fixed pool of 66
// slots; a bullet flies one unit per frame until it leaves the field or
// touches a tree (the movement step handles the hit).

#include "game.h"

const int COOLDOWN = 10;  // frames between two shots

// Fire step, once per frame: count the cooldown down and, with the space bar
// held and the cooldown over, put a bullet into the first free slot, one unit
// ahead of the robot. A shot with no free slot is dropped, but the cooldown
// still restarts. Reads keyStates, X0, Z0, angle; writes bull, bulletS.
void fire()
{
    int i = 0;
    float Xb = 0, Zb = 0;
    float tmpCamF = 0;
    int bullhb[4] = {0};
    bullhb[FLAG_BACK] = 1;  // the step probe runs reversed: back is ahead

    if (bull > 0)
        bull = bull - 1;
    if (!(keyStates[32] == 1 && bull == 0))  // 32: the space bar
        return;

    while (i <= NB_BULLETS - 1 && bulletS[i].etat != 0)
        i++;
    if (i <= NB_BULLETS - 1) {
        // A step-probe step with the back flag runs forward: the spawn point
        // is one unit ahead, pulled back axis by axis from any tree.
        Zb = Z0;
        Xb = X0;
        moveEn(&Xb, &Zb, &tmpCamF, &tmpCamF, &angle, bullhb, bullhb, MOVE_STEP_PROBE);
        bulletS[i].Z = Zb;
        bulletS[i].X = Xb;
        bulletS[i].etat = 1;
        bulletS[i].dir = angle;
        soundAt(SOUND_SHOT, Xb, Zb);
    }
    bull = COOLDOWN;
}

// Draws one bullet: a red ellipsoid at height 0, its long axis along its line
// of flight.
static void drawBullet(const bu& b)
{
    glPushMatrix();
    glColor3f(1, 0, 0);
    glTranslatef(b.X, 0, b.Z);
    glRotatef((float)((double)b.dir * DEGREES_PER_RADIAN + 270), 0, -1, 0);
    glScalef(0.5, 0.5, 0.8);
    glutSolidSphere(0.4, 10, 10);
    glPopMatrix();
}

// Bullet step, once per frame for every slot in order: free a bullet that
// left the field, then draw the bullet where it is (in a drawn frame) and
// move it one unit. So a bullet is never drawn where it hits a tree or once
// it has left the field. Reads frameDrawn; reads and writes bulletS; the
// moves may damage sapinS.
void moveBullets()
{
    int bullhb[4] = {0};
    bullhb[FLAG_FORWARD] = 1;

    for (int i = 0; i < NB_BULLETS; i++) {
        bu& b = bulletS[i];
        if (b.X < -FIELD || b.X > FIELD || b.Z < -FIELD || b.Z > FIELD)
            b.etat = 0;
        if (b.etat != 1)
            continue;
        if (frameDrawn)
            drawBullet(b);
        // A bullet has no wheels: both wheel pointers go to its own Z, which
        // the bullet kind never turns.
        moveEn(&b.X, &b.Z, &b.Z, &b.Z, &b.dir, bullhb, &b.etat, MOVE_BULLET);
    }
}
